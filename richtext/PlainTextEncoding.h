#pragma once
// How the bytes of a plain-text file become text and go back again. A text
// file is written in the encoding it was read in, so that a file opened,
// edited and saved keeps every byte the user did not touch:
//
// - A byte order mark names the encoding (UTF-8, UTF-16, UTF-32); the file
//   is written back in it, with its mark.
// - Without one, a file that is UTF-8 is UTF-8. A file that is nearly all
//   UTF-8 (more UTF-8 characters beyond ASCII than bytes that fit no UTF-8
//   sequence) is UTF-8 too; each stray byte is kept in the text as one
//   character of U+DC80..U+DCFF (a lone surrogate, which no text read as
//   UTF-8 can hold otherwise) and written back as the byte it was.
// - Any other file was written in the Windows code page (Windows-1252),
//   which gives every byte a character, and is written back in it.
//
// A text read in Windows-1252 into which the user has put characters that
// code page cannot hold is written as UTF-8 instead, from then on: dropping
// the characters, or writing "?" for them, would lose what was typed.

#include <QByteArray>
#include <QString>
#include <QStringConverter>
#include <QStringView>

#include <functional>
#include <optional>

struct PlainTextEncoding {
    // The Unicode encoding; none for the Windows code page.
    std::optional<QStringConverter::Encoding> unicode = QStringConverter::Utf8;
    bool byteOrderMark = false;
    // UTF-8 with bytes that fit no UTF-8 sequence, kept as U+DC80..U+DCFF.
    bool strayBytes = false;

    bool operator==(const PlainTextEncoding&) const = default;
};

// The text of a file's bytes, and how it was encoded.
QString DecodePlainText(const QByteArray& bytes, PlainTextEncoding& found);

// The bytes in `encoding` of the text that `convert` makes of `source`. The
// source is converted a part at a time (a part never ends between the two
// halves of a surrogate pair), each part appended to the string given, and
// encoded as it comes: a long text is never held twice over. When the text
// holds characters the encoding cannot (only the Windows code page can lack
// some), it is written as UTF-8, and `encoding` becomes UTF-8.
using PlainTextConversion = std::function<void(QStringView part, QString& text)>;
QByteArray EncodePlainText(QStringView source, const PlainTextConversion& convert, PlainTextEncoding& encoding);
