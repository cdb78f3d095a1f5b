// The RTF writer. The body is written first, numbering fonts and colours
// as they come; the tables are put in front of it at the end. Only what
// changes from one stretch of text to the next is written.
#include "RtfWriter.h"

#include "RtfWriterChars.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace rtf {

namespace {

class Writer {
public:
    Writer(const QTextDocument& document, const WriteOptions& options)
        : doc_(document), chars_(document, options, body_, delimit_)
    {
    }

    QByteArray run();

private:
    QByteArray header() const;

    const QTextDocument& doc_;
    QByteArray body_;
    bool delimit_ = false; // the last thing written was a control word
    writing::Characters chars_;
};

QByteArray Writer::run()
{
    body_.reserve(doc_.characterCount() + doc_.characterCount() / 4 + 64);
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                chars_.fragment(fragment);
        }
        // Every paragraph ends with its mark, the last one too.
        chars_.paragraphEnd();
        body_.append("\\par\r\n");
        delimit_ = false;
    }
    return header() + body_ + "}\r\n";
}

QByteArray Writer::header() const
{
    return "{\\rtf1\\ansi" + chars_.documentWords() + "\\uc1\r\n" + chars_.tables()
        + "{\\*\\generator Lectova;}\\viewkind4\\pard\\plain\r\n";
}

} // namespace

QByteArray write(const QTextDocument& document, const WriteOptions& options)
{
    return Writer(document, options).run();
}

} // namespace rtf
