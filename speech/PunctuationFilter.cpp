#include "ReadingState.h"

#include <QStringView>

namespace {

// The words a mark is read as, or null for a character kept as it is.
//
// The filter is defined as 24 replace-all passes, one mark after the other.
// No replacement holds a mark of a later pass, and the commas that later
// passes insert come after the comma pass, so one pass over the text that
// writes each mark out gives the same result.
const char16_t* wordsFor(char16_t c)
{
    switch (c) {
    case u',': return u", comma, ";
    case u'.': return u", period, ";
    case u'!': return u", excalmatay mark, ";
    case u':': return u", colon, ";
    case u';': return u", semi colon, ";
    case u'\'': return u" 'quotation mark, ";
    case u'"': return u" \"quotation mark, ";
    case u'{':
    case u'<':
    case u'[':
    case u'(': return u", left parenthesis, ";
    case u'}':
    case u'>':
    case u']':
    case u')': return u", right parenthesis, ";
    case u'?': return u", question mark, ";
    case u'/': return u", slash, ";
    case u'\\': return u" , slash, ";
    case u'-': return u" , dash, ";
    case u'*': return u" star mark, ";
    case u'#': return u" pound mark, ";
    case u'@': return u" art mark, ";
    case u'&': return u" and mark, ";
    case u'%': return u" percentage mark, ";
    default: return nullptr;
    }
}

} // namespace

QString PunctuationToWords(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 2);
    const QChar* begin = text.constData();
    const QChar* runStart = begin;
    const QChar* const end = begin + text.size();
    for (const QChar* p = begin; p != end; ++p) {
        const char16_t* words = wordsFor(p->unicode());
        if (!words)
            continue;
        out.append(runStart, p - runStart);
        out.append(QStringView(words));
        runStart = p + 1;
    }
    out.append(runStart, end - runStart);
    return out;
}
