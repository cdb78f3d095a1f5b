#pragma once
// What the RTF writer writes of a document's paragraph-level structure:
// each paragraph's properties (\pard...), its end (\par, \cell,
// \nestcell), the rows of its tables, the list table its lists need, and
// pictures.

#include <QByteArray>
#include <QHash>
#include <QTextBlock>

#include <functional>
#include <map>
#include <vector>

class QTextDocument;
class QTextFragment;
class QTextFrame;
class QTextList;
class QTextTable;

namespace rtf::writing {

class BlockWriter {
public:
    // Writes into `out`; `delimit` tells that a control word was written
    // last, as the writer keeps it.
    BlockWriter(const QTextDocument& document, QByteArray& out, bool& delimit)
        : doc_(document), out_(out), delimit_(delimit)
    {
    }

    // Walks the document's blocks in order, writing the structure around
    // each and calling `text` to write its characters; true from it: the
    // paragraph's mark is not written, the next paragraph goes on in it.
    void write(const std::function<bool(const QTextBlock&)>& text);
    // The picture of an image fragment (each of its characters).
    void picture(const QTextFragment& fragment);
    // The list table and the override table, for the header; empty when
    // the document has no list.
    QByteArray listTables() const;

private:
    void writeFrame(const QTextFrame* frame, int depth);
    void writeTable(const QTextTable* table, int depth);
    void writeBlock(const QTextBlock& block, int depth, const char* end);
    QByteArray rowDefinition(const QTextTable* table, int row) const;
    QByteArray paragraphWords(const QTextBlock& block, int depth);
    void listText(const QTextBlock& block);
    void word(const char* w, int param);

    const QTextDocument& doc_;
    QByteArray& out_;
    bool& delimit_;
    const std::function<bool(const QTextBlock&)>* text_ = nullptr;
    QByteArray written_; // the paragraph words in force

    // The file's list (\ls) and level of each of the document's lists.
    struct Placed {
        int number = 0;
        int level = 0;
    };
    QHash<const QTextList*, Placed> placed_;
    // For each list number, the format of each of its levels met.
    std::map<int, std::map<int, const QTextList*>> levels_;
    std::map<int, int> numberOf_; // the file's list number -> the number written
    int lastNumber_ = 0;
};

} // namespace rtf::writing
