// Rich-text control figures: loading and saving a long text, and what
// reading one sentence costs (clear the text white, select the sentence,
// paint it yellow, take its text) at the start, middle and end of 1 MB and
// 10 MB texts. The control is shown (offscreen unless QT_QPA_PLATFORM says
// otherwise), so the text layout is part of the figures.
#include "richtext/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kYellow = 0x00FFFF;

// Hard-wrapped prose: lines of about 70 characters, a blank line between
// paragraphs, sentences of 8 to 30 words.
QString makeText(qsizetype size)
{
    static const char* const words[] = {"the", "reader", "speaks", "every", "sentence", "of", "this",
                                        "document", "aloud", "while", "it", "is", "painted", "yellow",
                                        "and", "then", "cleared", "again", "café", "naïve"};
    QRandomGenerator random(7);
    QString text;
    text.reserve(size + 100);
    int column = 0;
    int wordsLeft = 8 + int(random.bounded(23));
    while (text.size() < size) {
        const QString word = QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
        text += word;
        column += int(word.size());
        if (--wordsLeft == 0) {
            text += QLatin1Char('.');
            wordsLeft = 8 + int(random.bounded(23));
            if (random.bounded(6) == 0) {
                text += QLatin1String("\r\n\r\n");
                column = 0;
                continue;
            }
        }
        if (column > 70) {
            text += QLatin1String("\r\n");
            column = 0;
        } else {
            text += QLatin1Char(' ');
            ++column;
        }
    }
    return text;
}

struct Sentence {
    int start;
    int length;
};

// Sentences starting at or after `from`: from after ". " to the next ".".
std::vector<Sentence> sentencesFrom(const QString& text, int from, int count)
{
    std::vector<Sentence> out;
    int start = from;
    while (int(out.size()) < count) {
        const int dot = int(text.indexOf(QLatin1Char('.'), start));
        if (dot < 0)
            break;
        out.push_back({start, dot + 1 - start});
        start = dot + 2;
    }
    return out;
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void readSentences(RichTextBox& box, const std::vector<Sentence>& sentences, bool repaint, const char* where)
{
    std::vector<double> costs;
    qsizetype characters = 0;
    for (const Sentence& s : sentences) {
        QElapsedTimer t;
        t.start();
        box.SetAllBackColor(kWhite);
        box.setSelStart(s.start);
        box.setSelLength(s.length);
        box.SetSelectionBackColor(kYellow);
        characters += box.TextRange(s.start, s.length).size();
        if (repaint)
            QCoreApplication::processEvents();
        costs.push_back(ms(t));
    }
    std::sort(costs.begin(), costs.end());
    double sum = 0;
    for (double c : costs)
        sum += c;
    std::printf("    %-7s %3zu sentences: mean %.3f ms, median %.3f ms, max %.3f ms (%lld chars)\n", where,
                costs.size(), sum / double(costs.size()), costs[costs.size() / 2], costs.back(),
                static_cast<long long>(characters));
}

void run(qsizetype size, const QString& folder)
{
    std::printf("\n== %.0f MB text ==\n", double(size) / 1e6);
    const QString text = makeText(size);
    const QString path = folder + QStringLiteral("/text.txt");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }

    RichTextBox box;
    box.resize(900, 700);
    box.show();
    QCoreApplication::processEvents();

    QElapsedTimer t;
    t.start();
    box.LoadFile(path, RichTextBox::rtfText);
    std::printf("  LoadFile:                 %8.1f ms (%d characters, %d lines)\n", ms(t), box.TextLength(),
                box.document()->blockCount());
    if (box.TextLength() != text.size())
        std::printf("  !! length differs: %d, expected %lld\n", box.TextLength(), static_cast<long long>(text.size()));

    t.restart();
    box.SaveFile(path + QStringLiteral(".out"), RichTextBox::rtfText);
    std::printf("  SaveFile:                 %8.1f ms\n", ms(t));

    t.restart();
    const QString whole = box.Text();
    std::printf("  Text():                   %8.1f ms%s\n", ms(t), whole == text ? "" : "  !! differs");

    // The layout of the whole text, which the event loop otherwise does in
    // the background after loading: forced here by going to the end.
    t.restart();
    box.setSelStart(box.TextLength());
    box.ensureCursorVisible();
    std::printf("  first layout to the end:  %8.1f ms\n", ms(t));
    box.setSelStart(0);

    t.restart();
    box.SetAllBackColor(kWhite);
    std::printf("  first clear after load:   %8.1f ms\n", ms(t));

    const int n = int(text.size());
    std::printf("  one sentence (clear white + select + paint yellow + TextRange), calls only:\n");
    readSentences(box, sentencesFrom(text, 0, 200), false, "start");
    readSentences(box, sentencesFrom(text, text.indexOf(QLatin1String(". "), n / 2) + 2, 200), false, "middle");
    readSentences(box, sentencesFrom(text, text.indexOf(QLatin1String(". "), n - 20000) + 2, 200), false, "end");
    std::printf("  the same with the repaint between sentences (processEvents):\n");
    readSentences(box, sentencesFrom(text, 0, 100), true, "start");
    readSentences(box, sentencesFrom(text, text.indexOf(QLatin1String(". "), n / 2) + 2, 100), true, "middle");
    readSentences(box, sentencesFrom(text, text.indexOf(QLatin1String(". "), n - 20000) + 2, 100), true, "end");

    // An edit near the start: the next clear puts the colour into the new
    // text's format once.
    box.setSelStart(10);
    box.setSelText(QStringLiteral("typed "));
    t.restart();
    box.SetAllBackColor(kWhite);
    std::printf("  first clear after typing near the start: %.3f ms\n", ms(t));
    // A pasted yellow word near the start must really be painted: the
    // layout after it is placed again by Qt.
    box.setSelStart(10);
    box.SetSelectionBackColor(kYellow);
    box.setSelText(QStringLiteral("pasted "));
    t.restart();
    box.SetAllBackColor(kWhite);
    std::printf("  first clear after a coloured insert near the start: %.3f ms\n", ms(t));

    // For comparison: putting a colour into the characters' format near the
    // start, which is what painting each sentence that way would cost.
    {
        QTextCursor c(box.document());
        c.setPosition(100);
        c.setPosition(200, QTextCursor::KeepAnchor);
        QTextCharFormat yellow;
        yellow.setBackground(RichTextBox::toQColor(kYellow));
        t.restart();
        c.mergeCharFormat(yellow);
        std::printf("  (comparison) one character-format change near the start: %.3f ms\n", ms(t));
    }

    t.restart();
    for (int i = 0; i < 1000; ++i) {
        const int p = int((qint64(i) * 7919 * 104729) % box.TextLength());
        (void)box.toEditor(p);
        (void)box.fromEditor(p);
        (void)box.GetLineFromChar(p);
        (void)box.CharAt(p);
    }
    std::printf("  toEditor+fromEditor+GetLineFromChar+CharAt: %.2f us per set\n", ms(t) * 1000.0 / 1000);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    run(1'000'000, folder.path());
    run(10'000'000, folder.path());
    return 0;
}
