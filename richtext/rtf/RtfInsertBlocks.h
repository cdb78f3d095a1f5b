#pragma once
// Putting the paragraph-level structure of what the reader made into the
// editor as its text goes in: block formats, lists, tables and pictures.

#include "RtfReader.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

#include <vector>

class QTextList;
class QTextTable;

namespace rtf {

class BlockInserter {
public:
    BlockInserter(const Document& document, QTextCursor& cursor);

    // Inserts [from, from + length) of the document's text in `format`,
    // and the structure it holds.
    void insert(qsizetype from, qsizetype length, const QTextCharFormat& format);

private:
    // A place in the text where something other than text happens.
    void stop(qsizetype at, const QTextCharFormat& format);
    void applyParagraphFormat(int run);
    void beginTable();
    void nextCell();
    void endTable();
    void insertPicture(const QTextCharFormat& format);

    const Document& doc_;
    const Blocks& blocks_;
    QTextCursor& cursor_;
    // Where paragraph formats change and where cells, table ends and
    // pictures stand, in order; and the next of them.
    std::vector<qsizetype> stops_;
    std::size_t nextStop_ = 0;
    std::size_t nextRun_ = 0; // of blocks_.paragraphs
    std::size_t nextTable_ = 0;
    std::size_t nextPicture_ = 0;
    int pictureNames_ = 0;
    std::vector<QTextBlockFormat> blockFormats_; // made as needed
    std::vector<bool> blockFormatMade_;
    std::vector<QTextList*> lists_; // of blocks_.lists, once made

    struct Open {
        QTextTable* table;
        const Table* plan;
        std::size_t nextCell;
    };
    std::vector<Open> open_;
};

} // namespace rtf
