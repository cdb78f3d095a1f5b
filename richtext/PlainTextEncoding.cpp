#include "PlainTextEncoding.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

#include <algorithm>

namespace {

const char kWindowsCodePage[] = "windows-1252";
constexpr char16_t kFirstStrayByte = 0xDC80; // the byte 0x80
constexpr char16_t kLastStrayByte = 0xDCFF;  // the byte 0xFF

// The length of the UTF-8 sequence that starts at p (1 for ASCII), or 0 when
// no well-formed sequence starts there: a stray byte.
int sequenceLength(const uchar* p, qsizetype left)
{
    const uchar lead = p[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (int k = 2; k < length; ++k)
        if (p[k] < 0x80 || p[k] > 0xBF)
            return 0;
    return length;
}

// Whether bytes that are not all UTF-8 are still mostly UTF-8: more of its
// characters beyond ASCII than stray bytes. Text in the Windows code page
// almost never forms such characters.
bool mostlyUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype wide = 0, stray = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = sequenceLength(p + i, bytes.size() - i);
        wide += length > 1;
        stray += length == 0;
        i += length ? length : 1;
    }
    return wide > stray;
}

// UTF-8 text in which every stray byte becomes one character of
// U+DC80..U+DCFF. The well-formed stretches are converted whole.
QString decodeKeepingStrayBytes(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    QString text;
    text.reserve(bytes.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        if (const int length = sequenceLength(p + i, bytes.size() - i)) {
            i += length;
            continue;
        }
        text += QString::fromUtf8(bytes.sliced(from, i - from));
        text += QChar(char16_t(kFirstStrayByte - 0x80 + p[i]));
        from = ++i;
    }
    text += QString::fromUtf8(bytes.sliced(from));
    return text;
}

// The other way: each lone U+DC80..U+DCFF is written as its byte.
QByteArray encodeKeepingStrayBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < kFirstStrayByte || c > kLastStrayByte || (i > 0 && text[i - 1].isHighSurrogate()))
            continue;
        bytes += text.sliced(from, i - from).toUtf8();
        bytes += char(c - kFirstStrayByte + 0x80);
        from = i + 1;
    }
    bytes += text.sliced(from).toUtf8();
    return bytes;
}

QString decodeWindowsCodePage(const QByteArray& bytes)
{
    QStringDecoder windows(kWindowsCodePage);
    if (windows.isValid()) {
        QString text = windows(bytes);
        if (!windows.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

// A text is converted and encoded this many characters at a time: parts
// large enough that the work per part does not count, small enough that a
// part stays in the processor's cache from its conversion to its encoding.
constexpr qsizetype kPartLength = qsizetype(1) << 16;

// Encodes a text a part at a time, as the whole text would be encoded.
class PartEncoder {
public:
    explicit PartEncoder(const PlainTextEncoding& encoding) : encoding_(encoding)
    {
        if (!encoding.unicode) {
            encoder_.emplace(kWindowsCodePage);
            if (!encoder_->isValid())
                encoder_.emplace(QStringConverter::Latin1);
        } else if (*encoding.unicode != QStringConverter::Utf8) {
            encoder_.emplace(*encoding.unicode, encoding.byteOrderMark ? QStringConverter::Flag::WriteBom
                                                                       : QStringConverter::Flag::Default);
        }
    }

    // False when the part holds a character the code page lacks.
    bool append(QStringView part, QByteArray& out)
    {
        const bool first = first_;
        first_ = false;
        if (encoder_) {
            out += QByteArray(encoder_->encode(part));
            return encoding_.unicode || !encoder_->hasError();
        }
        if (first && encoding_.byteOrderMark)
            out += "\xEF\xBB\xBF";
        out += encoding_.strayBytes ? encodeKeepingStrayBytes(part) : part.toUtf8();
        return true;
    }

private:
    PlainTextEncoding encoding_;
    std::optional<QStringEncoder> encoder_;
    bool first_ = true;
};

} // namespace

QString DecodePlainText(const QByteArray& bytes, PlainTextEncoding& found)
{
    found = PlainTextEncoding();
    const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
    if (marked && *marked != QStringConverter::Utf8) {
        found.unicode = *marked;
        found.byteOrderMark = true;
        QStringDecoder decoder(*marked);
        return decoder(bytes);
    }
    found.byteOrderMark = marked.has_value();
    const QByteArrayView body = QByteArrayView(bytes).sliced(found.byteOrderMark ? 3 : 0);
    // Stateless: a sequence cut off at the end is an error, not dropped.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    // A byte order mark says UTF-8 whatever follows.
    if (found.byteOrderMark || mostlyUtf8(body)) {
        found.strayBytes = true;
        return decodeKeepingStrayBytes(body);
    }
    found.unicode.reset();
    return decodeWindowsCodePage(bytes);
}

QByteArray EncodePlainText(QStringView source, const PlainTextConversion& convert, PlainTextEncoding& encoding)
{
    for (;;) {
        PartEncoder encoder(encoding);
        QByteArray bytes;
        // Room for a text mostly in ASCII; other texts grow the buffer.
        bytes.reserve(source.size() + source.size() / 8 + 4);
        QString part;
        bool whole = true;
        qsizetype from = 0;
        do {
            qsizetype to = std::min(from + kPartLength, source.size());
            if (to < source.size() && source[to - 1].isHighSurrogate())
                ++to;
            part.clear();
            convert(source.sliced(from, to - from), part);
            whole = encoder.append(part, bytes);
            from = to;
        } while (whole && from < source.size());
        if (whole)
            return bytes;
        // The code page lacks a character: the whole text goes as UTF-8.
        encoding = PlainTextEncoding();
    }
}
