// The RTF writer. The body is written first, numbering fonts and colours
// as they come; the tables are put in front of it at the end. Only what
// changes from one stretch of text to the next is written.
#include "RtfWriter.h"

#include "RtfWriterBlocks.h"
#include "RtfWriterChars.h"
#include "RtfWriterGroups.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <functional>

namespace rtf {

namespace {

class Writer {
public:
    Writer(const QTextDocument& document, const WriteOptions& options)
        : doc_(document), chars_(document, options, body_, delimit_),
          groups_(document, options.kept, options.groupsAt, body_, delimit_)
    {
    }

    QByteArray run();

private:
    QByteArray header(const QByteArray& lists) const;

    const QTextDocument& doc_;
    QByteArray body_;
    bool delimit_ = false; // the last thing written was a control word
    writing::Characters chars_;
    writing::Groups groups_;
};

QByteArray Writer::run()
{
    body_.reserve(doc_.characterCount() + doc_.characterCount() / 4 + 64);
    // Every paragraph ends with its mark, the last one too. The marks and
    // the structure around the paragraphs change no character format; the
    // groups of their own they write are closed again.
    writing::BlockWriter blocks(doc_, body_, delimit_);
    const std::function<bool(const QTextBlock&)> text = [&](const QTextBlock& block) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            if (fragment.charFormat().isImageFormat()) {
                chars_.objectFragment(fragment);
                blocks.picture(fragment);
                continue;
            }
            groups_.fragment(fragment, chars_);
        }
        chars_.paragraphEnd();
        return groups_.paragraphGoesOn(block);
    };
    blocks.write(text);
    return header(blocks.listTables()) + body_ + groups_.trailing() + "}\r\n";
}

QByteArray Writer::header(const QByteArray& lists) const
{
    return "{\\rtf1\\ansi" + chars_.documentWords() + "\\uc1\r\n" + chars_.tables() + lists
        + "{\\*\\generator Lectova;}" + groups_.leading() + "\\viewkind4\\pard\\plain\r\n";
}

} // namespace

QByteArray write(const QTextDocument& document, const WriteOptions& options)
{
    return Writer(document, options).run();
}

} // namespace rtf
