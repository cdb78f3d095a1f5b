#include "speech/ReadingState.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <utility>

namespace {

// The filter as defined: 24 replace-all passes over the whole text, one
// mark after the other.
QString punctuationBySteps(QString text)
{
    const std::pair<const char*, const char*> steps[] = {
        {",", ", comma, "},
        {".", ", period, "},
        {"!", ", excalmatay mark, "},
        {":", ", colon, "},
        {";", ", semi colon, "},
        {"'", " 'quotation mark, "},
        {"\"", " \"quotation mark, "},
        {"{", ", left parenthesis, "},
        {"<", ", left parenthesis, "},
        {"[", ", left parenthesis, "},
        {"(", ", left parenthesis, "},
        {"}", ", right parenthesis, "},
        {">", ", right parenthesis, "},
        {"]", ", right parenthesis, "},
        {")", ", right parenthesis, "},
        {"?", ", question mark, "},
        {"/", ", slash, "},
        {"\\", " , slash, "},
        {"-", " , dash, "},
        {"*", " star mark, "},
        {"#", " pound mark, "},
        {"@", " art mark, "},
        {"&", " and mark, "},
        {"%", " percentage mark, "},
    };
    for (const auto& [mark, words] : steps)
        text.replace(QLatin1String(mark), QLatin1String(words), Qt::CaseSensitive);
    return text;
}

const QString kMarks = QStringLiteral(",.!:;'\"{<[(}>])?/\\-*#@&%");

TEST(PunctuationFilter, WritesMarksOutAsWords)
{
    EXPECT_EQ(PunctuationToWords(QString()), QString());
    EXPECT_EQ(PunctuationToWords(QStringLiteral("a,b")), QStringLiteral("a, comma, b"));
    EXPECT_EQ(PunctuationToWords(QStringLiteral("end.")), QStringLiteral("end, period, "));
    EXPECT_EQ(PunctuationToWords(QStringLiteral("Wow!")), QStringLiteral("Wow, excalmatay mark, "));
    // The quote marks stay in front of their words.
    EXPECT_EQ(PunctuationToWords(QStringLiteral("it's")), QStringLiteral("it 'quotation mark, s"));
    EXPECT_EQ(PunctuationToWords(QStringLiteral("\"x\"")),
              QStringLiteral(" \"quotation mark, x \"quotation mark, "));
    // A backslash is read with the same words as a slash.
    EXPECT_EQ(PunctuationToWords(QStringLiteral("\\")), QStringLiteral(" , slash, "));
    EXPECT_EQ(PunctuationToWords(QStringLiteral("/")), QStringLiteral(", slash, "));
    // The commas written in by later marks are not read as "comma".
    EXPECT_EQ(PunctuationToWords(QStringLiteral("(a)")),
              QStringLiteral(", left parenthesis, a, right parenthesis, "));
    EXPECT_EQ(PunctuationToWords(QStringLiteral("50%-x")), QStringLiteral("50 percentage mark,  , dash, x"));
}

TEST(PunctuationFilter, LeavesOtherCharactersAlone)
{
    const QString plain = QStringLiteral("Plain words 123 + = ~ ^ $ | _ \t\r\n ")
        + QChar(0x2018) + QChar(0x2019) + QChar(0x201A) + QChar(0x201B) + QChar(0x201C) + QChar(0x201D)
        + QStringLiteral(" \u00e9\u00fc \u2014 ") + QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(PunctuationToWords(plain), plain);

    const QString original = QStringLiteral("a,b.");
    const QString copy = original;
    PunctuationToWords(original);
    EXPECT_EQ(original, copy);
}

TEST(PunctuationFilter, OnePassEqualsTheStepByStepDefinition)
{
    for (const QChar mark : kMarks)
        EXPECT_EQ(PunctuationToWords(QString(mark)), punctuationBySteps(QString(mark))) << QString(mark).toStdString();
    EXPECT_EQ(PunctuationToWords(kMarks), punctuationBySteps(kMarks));

    // Random texts rich in marks, replacement-like words and runs of marks.
    const QString pool = kMarks + QStringLiteral("ab ,,comma mark") + QChar(0x201C) + QChar(0xE9);
    QRandomGenerator rng(20240611);
    for (int round = 0; round < 2000; ++round) {
        const int length = rng.bounded(0, 60);
        QString text;
        for (int i = 0; i < length; ++i)
            text += pool.at(rng.bounded(pool.size()));
        ASSERT_EQ(PunctuationToWords(text), punctuationBySteps(text)) << text.toStdString();
    }
}

} // namespace
