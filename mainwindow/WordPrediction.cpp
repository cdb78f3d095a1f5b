#include "mainwindow/WordPrediction.h"

namespace {

QString trimTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

} // namespace

PredictionWord PredictionWord::make(const QString& word, std::int32_t excluded)
{
    PredictionWord record;
    record.Word = word.left(kWordLength).leftJustified(kWordLength, QLatin1Char(' '));
    record.Excluded = excluded;
    return record;
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    while (begin < text.size() && text.at(begin) == QLatin1Char(' '))
        ++begin;
    return trimTrailingBlanks(text.mid(begin));
}

int LastPieceIndex(const QString& text)
{
    const QString trimmed = TrimBlanks(text);
    if (trimmed.isEmpty())
        return -1;
    return static_cast<int>(trimmed.count(QLatin1Char(' ')));
}

QString PredictWords(const PredictionWordList& words, const PredictionLetterIndex& letterIndex,
                     const QString& prefix, std::int32_t skip, std::int32_t count)
{
    if (prefix.isEmpty())
        return QString();
    const int letter = prefix.at(0).toLower().unicode() - u'a';
    if (letter < 0 || letter > 25 || letter >= letterIndex.size())
        return QString();
    const LetterRange range = letterIndex.at(letter);
    const qint64 size = words.size();
    if (range.First < 0 || range.First > range.Last || range.Last >= size)
        return QString();

    // Binary search within the letter's range. The range only narrows, and
    // it always holds at least one position, so every word read lies in it.
    qint64 lo = range.First;
    qint64 hi = range.Last;
    while (hi != lo) {
        const qint64 mid = (lo + hi) / 2;
        const int order = prefix.compare(words.at(mid).Word, Qt::CaseInsensitive);
        if (order == 0) {
            lo = mid;
            break;
        }
        if (order < 0)
            hi = mid;
        else
            lo = mid == lo ? mid + 1 : mid;
    }

    auto matches = [&](qint64 i) { return words.at(i).Word.contains(prefix, Qt::CaseInsensitive); };
    qint64 i = lo;
    if (!matches(i))
        ++i;

    for (std::int32_t n = 0; n < skip; ++i) {
        if (i >= size || !matches(i))
            break;
        if (words.at(i).Excluded == 0)
            ++n;
    }

    QString result;
    for (std::int32_t n = 0; n < count; ++i) {
        if (i >= size || !matches(i))
            break;
        if (words.at(i).Excluded != 0)
            continue;
        result += trimTrailingBlanks(words.at(i).Word);
        result += QLatin1Char(' ');
        ++n;
    }
    return TrimBlanks(result);
}
