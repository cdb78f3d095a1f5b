#include "RtfFields.h"

#include <QStringList>

namespace rtf {

namespace {

// The instruction's words: quoted ones without their quotes, switches as
// they are (\l). A quote also ends a word that is not quoted, so that no
// word holds one.
QStringList words(QStringView instruction)
{
    QStringList out;
    qsizetype i = 0;
    while (i < instruction.size()) {
        if (instruction[i].isSpace()) {
            ++i;
            continue;
        }
        QString word;
        if (instruction[i] == u'"') {
            const qsizetype end = instruction.indexOf(u'"', i + 1);
            const qsizetype stop = end < 0 ? instruction.size() : end;
            word = instruction.sliced(i + 1, stop - i - 1).toString();
            i = stop + 1;
        } else {
            const qsizetype from = i;
            while (i < instruction.size() && !instruction[i].isSpace() && instruction[i] != u'"')
                ++i;
            word = instruction.sliced(from, i - from).toString();
        }
        out << word;
    }
    return out;
}

} // namespace

QString hyperlinkAddress(QStringView instruction)
{
    const QStringList w = words(instruction);
    if (w.isEmpty() || w.front().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive) != 0)
        return {};
    QString url;
    QString place;
    for (qsizetype i = 1; i < w.size(); ++i) {
        const QString& word = w[i];
        if (word.startsWith(u'\\')) {
            // \l names a place; \o and \t take an argument of their own.
            const bool takesArgument = word.size() == 2 && QStringLiteral("lot").contains(word[1].toLower());
            if (takesArgument && i + 1 < w.size()) {
                if (word[1].toLower() == u'l')
                    place = w[i + 1];
                ++i;
            }
        } else if (url.isEmpty()) {
            url = word;
        }
    }
    if (!place.isEmpty())
        url += u'#' + place;
    return url.isEmpty() ? QString() : url;
}

QString wholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar(0xFFFD);
    }
    return text;
}

QString hyperlinkInstruction(const QString& href)
{
    QString quoted = href;
    quoted.remove(u'"');
    return QStringLiteral("HYPERLINK \"%1\"").arg(quoted);
}

} // namespace rtf
