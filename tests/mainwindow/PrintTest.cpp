// Printing documents into PDF files and reading the pages back with the
// poppler tools (pdfinfo, pdftotext, pdftoppm; scripts/setup installs them).
#include "MainWindowFixture.h"

#include "core/StringTable.h"
#include "mainwindow/RichTextPrint.h"

#include <QFont>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerTwip = 1.0 / 20.0;
// How far a word's box may sit from where the layout put it, in points.
constexpr double kTolerance = 1.0;
// Where a line starts: the margin itself (a frame margin of a few printer
// pixels, 0.24 pt, is already too much).
constexpr double kExact = 0.1;

struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct PdfPage {
    double width = 0, height = 0; // points
    std::vector<PdfWord> words;
};

// Runs a tool to its end; its standard output, or nothing when it failed.
QByteArray Run(const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess p;
    p.start(program, arguments);
    *ok = p.waitForStarted(10000) && p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit
          && p.exitCode() == 0;
    if (!*ok)
        ADD_FAILURE() << program.toStdString() << " failed (is poppler-utils installed? scripts/setup): "
                      << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

int PdfPageCount(const QString& pdf)
{
    bool ok = false;
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}, &ok));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                         QRegularExpression::MultilineOption)
                                          .match(info);
    return ok && m.hasMatch() ? m.captured(1).toInt() : -1;
}

std::vector<PdfPage> PdfPages(const QString& pdf)
{
    bool ok = false;
    const QString html = QString::fromUtf8(Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf,
                                                                               QStringLiteral("-")},
                                               &ok));
    std::vector<PdfPage> pages;
    static const QRegularExpression tag(QStringLiteral(
        "<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">|"
        "<word xMin=\"(-?[\\d.]+)\" yMin=\"(-?[\\d.]+)\" xMax=\"(-?[\\d.]+)\" yMax=\"(-?[\\d.]+)\">([^<]*)</word>"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (!pages.empty()) {
            pages.back().words.push_back({m.captured(7), m.captured(3).toDouble(), m.captured(4).toDouble(),
                                          m.captured(5).toDouble(), m.captured(6).toDouble()});
        }
    }
    return pages;
}

// The first page drawn at 72 pixels per inch (one pixel per point).
QImage RenderFirstPage(const QString& pdf, const QString& prefix)
{
    bool ok = false;
    Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                                     QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                     QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix},
        &ok);
    return QImage(prefix + QStringLiteral(".png"));
}

// "L001", "L002", ...
QString LineName(int i)
{
    return QStringLiteral("L%1").arg(i, 3, 10, QLatin1Char('0'));
}

QString NumberedLines(int count)
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << LineName(i);
    return lines.join(QStringLiteral("\r\n"));
}

class PrintTest : public MainWindowFixture {
protected:
    RichTextBox* rtf = nullptr;
    QString pdf;

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        qunsetenv("TAMSEL_PRINT_PDF");
        // No test may reach a real printer.
        SetDefaultPrinterLookup([] { return QString(); });
        rtf = new RichTextBox;
        rtf->setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        pdf = path(QStringLiteral("out.pdf"));
        SetPrintToPdf(pdf);
    }

    void TearDown() override
    {
        delete rtf;
        SetPrintToPdf(QString());
        SetDefaultPrinterLookup({});
        frmMain::setRichTextPrinter({});
        qunsetenv("TAMSEL_PRINT_PDF");
        MainWindowFixture::TearDown();
    }

    // Prints the text with the same margin on all sides (twips) and reads
    // the pages back.
    std::vector<PdfPage> PrintText(const QString& text, int margin = 720)
    {
        rtf->setText(text);
        QFile::remove(pdf);
        PrintRTF(rtf, margin, margin, margin, margin);
        EXPECT_TRUE(QFileInfo::exists(pdf));
        const std::vector<PdfPage> pages = PdfPages(pdf);
        EXPECT_EQ(PdfPageCount(pdf), int(pages.size()));
        return pages;
    }

    // Number of lines on the first page of a long document.
    int LinesPerPage(int margin = 720)
    {
        const std::vector<PdfPage> pages = PrintText(NumberedLines(300), margin);
        return pages.empty() ? 0 : int(pages[0].words.size());
    }
};

TEST_F(PrintTest, ThreePageDocumentPrintsThreePagesWithEveryLineOnce)
{
    const int perPage = LinesPerPage();
    ASSERT_GT(perPage, 10);
    const int count = 2 * perPage + perPage / 2;
    const std::vector<PdfPage> pages = PrintText(NumberedLines(count));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].words.size(), size_t(perPage));
    EXPECT_EQ(pages[1].words.size(), size_t(perPage));
    EXPECT_EQ(pages[2].words.size(), size_t(count - 2 * perPage));
    // In order, none lost or repeated at a page break, each page inside its
    // margins.
    int next = 1;
    for (const PdfPage& page : pages) {
        for (const PdfWord& w : page.words) {
            EXPECT_EQ(w.text, LineName(next));
            ++next;
            EXPECT_GE(w.yMin, 36 - kTolerance);
            EXPECT_LE(w.yMax, page.height - 36 + kTolerance) << w.text.toStdString();
            EXPECT_NEAR(w.xMin, 36, kExact);
        }
        // Every page starts at the top margin, not below the last one's text.
        ASSERT_FALSE(page.words.empty());
        EXPECT_NEAR(page.words.front().yMin, pages[0].words.front().yMin, 0.1);
    }
    EXPECT_EQ(next, count + 1);
}

TEST_F(PrintTest, PageHoldsAsManyLinesAsFitBetweenTopAndBottomMargins)
{
    // Top 0.5 in, bottom 2 in.
    rtf->setText(NumberedLines(200));
    PrintRTF(rtf, 720, 720, 720, 2880);
    const std::vector<PdfPage> pages = PdfPages(pdf);
    ASSERT_GE(pages.size(), 2u);
    const std::vector<PdfWord>& words = pages[0].words;
    ASSERT_GE(words.size(), 3u);
    const double pitch = words[1].yMin - words[0].yMin;
    ASSERT_GT(pitch, 10.0);
    const double room = pages[0].height - 36 - 144;
    const double lines = room / pitch;
    // Whole lines only: as many as fit, and not one more.
    EXPECT_EQ(int(words.size()), int(std::floor(lines + 0.01))) << "room for " << lines << " lines";
    EXPECT_LE(words.back().yMax, pages[0].height - 144 + kTolerance);
}

TEST_F(PrintTest, DocumentThatFillsItsPagesExactlyGetsNoBlankPageAfterThem)
{
    const int perPage = LinesPerPage();
    ASSERT_GT(perPage, 0);
    EXPECT_EQ(PrintText(NumberedLines(perPage)).size(), 1u);
    EXPECT_EQ(PrintText(NumberedLines(perPage + 1)).size(), 2u);
    EXPECT_EQ(PrintText(NumberedLines(3 * perPage)).size(), 3u);
    EXPECT_EQ(PrintText(NumberedLines(3 * perPage + 1)).size(), 4u);
}

TEST_F(PrintTest, TextStartsAtTheLeftAndTopMargins)
{
    rtf->setText(QStringLiteral("First line of text\r\nSecond"));
    // Left 1 in, top 2 in, right and bottom 0.5 in: each margin its own.
    PrintRTF(rtf, 1440, 2880, 720, 720);
    const std::vector<PdfPage> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_FALSE(pages[0].words.empty());
    EXPECT_EQ(pages[0].words[0].text, "First");
    EXPECT_NEAR(pages[0].words[0].xMin, 1440 * kPointsPerTwip, kExact);
    EXPECT_NEAR(pages[0].words[0].yMin, 2880 * kPointsPerTwip, kExact);

    // The ink itself: no dark pixel above or left of the margins, and some
    // just inside them.
    const QImage image = RenderFirstPage(pdf, path(QStringLiteral("page")));
    ASSERT_FALSE(image.isNull());
    int firstX = image.width(), firstY = image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                firstX = std::min(firstX, x);
                firstY = std::min(firstY, y);
            }
    EXPECT_GE(firstX, 72);
    EXPECT_LE(firstX, 72 + 3);
    EXPECT_GE(firstY, 144);
    EXPECT_LE(firstY, 144 + 6);
}

TEST_F(PrintTest, LinesWrapAtTheRightMarginEvenWhenTheEditorDoesNotWrap)
{
    rtf->setLineWrapMode(QTextEdit::NoWrap);
    rtf->setWordWrapMode(QTextOption::NoWrap);
    QString text;
    for (int i = 0; i < 150; ++i)
        text += QStringLiteral("word ");
    text += QStringLiteral("\r\n") + QString(400, QLatin1Char('x')); // one word wider than the page
    const std::vector<PdfPage> pages = PrintText(text, 720);
    ASSERT_EQ(pages.size(), 1u);
    const double right = pages[0].width - 36;
    double widest = 0;
    int lineStarts = 0;
    for (const PdfWord& w : pages[0].words) {
        EXPECT_LE(w.xMax, right + kTolerance) << w.text.toStdString();
        EXPECT_GE(w.xMin, 36 - kTolerance);
        widest = std::max(widest, w.xMax);
        if (std::abs(w.xMin - 36) < kTolerance)
            ++lineStarts;
    }
    // The lines use the width up to the margin, and there are several.
    EXPECT_GT(widest, right - 40);
    EXPECT_GE(lineStarts, 5);
    int xs = 0;
    for (const PdfWord& w : pages[0].words)
        if (w.text.startsWith(QLatin1Char('x')))
            xs += int(w.text.size());
    EXPECT_EQ(xs, 400) << "the long word is broken, not cut";
}

TEST_F(PrintTest, EmptyDocumentPrintsOneBlankPage)
{
    const std::vector<PdfPage> pages = PrintText(QString());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].words.empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PrintTest, ZeroMarginsPutTextAtThePaperEdge)
{
    const std::vector<PdfPage> pages = PrintText(QStringLiteral("Edge"), 0);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].words.size(), 1u);
    EXPECT_NEAR(pages[0].words[0].xMin, 0, kExact);
    EXPECT_NEAR(pages[0].words[0].yMin, 0, kExact);
}

TEST_F(PrintTest, NoPrinterTellsTheUser)
{
    SetPrintToPdf(QString());
    rtf->setText(QStringLiteral("Some text"));
    PrintRTF(rtf, 720, 720, 720, 720);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, NoPrinterMessage());
    EXPECT_EQ(boxes[0].prompt, "No printer is available.");
    EXPECT_EQ(boxes[0].title, "Lectova");
    EXPECT_EQ(boxes[0].style & 7, vbOKOnly);
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(PrintTest, FilePrintWithNoPrinterShowsTheMessage)
{
    LoadMain();
    ASSERT_NE(Active(), nullptr);
    InstallRichTextPrinting();
    SetPrintToPdf(QString());
    main->mnuFilePrint_Click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, NoPrinterMessage());
    EXPECT_EQ(boxes[0].title, LoadResString(2205));
}

TEST_F(PrintTest, FilePrintPrintsTheActiveDocumentWithHalfInchMargins)
{
    LoadMain();
    main->mnuFileNew_Click();
    ASSERT_NE(Active(), nullptr);
    Type(QStringLiteral("Printed from the menu"));
    InstallRichTextPrinting();
    main->mnuFilePrint_Click();
    EXPECT_TRUE(boxes.empty());
    const std::vector<PdfPage> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_FALSE(pages[0].words.empty());
    EXPECT_EQ(pages[0].words[0].text, "Printed");
    EXPECT_NEAR(pages[0].words[0].xMin, 36, kExact);
    EXPECT_NEAR(pages[0].words[0].yMin, 36, kExact);
}

TEST_F(PrintTest, PdfTargetComesFromTheEnvironmentWhenNoneIsSet)
{
    const QString fromEnv = path(QStringLiteral("env.pdf"));
    qputenv("TAMSEL_PRINT_PDF", fromEnv.toLocal8Bit());
    SetPrintToPdf(QString());
    EXPECT_EQ(PrintToPdfPath(), fromEnv);
    rtf->setText(QStringLiteral("Env"));
    PrintRTF(rtf, 720, 720, 720, 720);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(PdfPageCount(fromEnv), 1);

    // A path set in the program wins.
    SetPrintToPdf(pdf);
    EXPECT_EQ(PrintToPdfPath(), pdf);
    PrintRTF(rtf, 720, 720, 720, 720);
    EXPECT_EQ(PdfPageCount(pdf), 1);
}

TEST_F(PrintTest, PrinterThatCannotStartTheJobEndsSilently)
{
    SetPrintToPdf(path(QStringLiteral("missing/folder/out.pdf")));
    rtf->setText(QStringLiteral("Nowhere to go"));
    PrintRTF(rtf, 720, 720, 720, 720);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing/folder/out.pdf"))));
}

TEST_F(PrintTest, MarginsThatLeaveNoRoomPrintNothingAndReturn)
{
    rtf->setText(NumberedLines(50));
    // Both calls return (no endless loop of empty pages) with nothing printed.
    PrintRTF(rtf, 10 * 1440, 720, 10 * 1440, 720); // 20 in across
    PrintRTF(rtf, 720, 20 * 1440, 720, 720);       // 20 in down
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(boxes.empty());
    PrintRTF(nullptr, 720, 720, 720, 720);
    EXPECT_FALSE(QFileInfo::exists(pdf));
}

TEST_F(PrintTest, PrintingLeavesTheEditorAsItWas)
{
    rtf->resize(400, 300);
    rtf->setText(NumberedLines(120));
    rtf->document()->setModified(false);
    rtf->setSelStart(10);
    rtf->setSelLength(5);
    const QString text = rtf->Text();
    const QSizeF pageSize = rtf->document()->pageSize();
    const qreal margin = rtf->document()->documentMargin();
    const bool undo = rtf->document()->isUndoAvailable();
    PrintRTF(rtf, 720, 720, 720, 720);
    EXPECT_GE(PdfPageCount(pdf), 2);
    EXPECT_EQ(rtf->Text(), text);
    EXPECT_FALSE(rtf->document()->isModified());
    EXPECT_EQ(rtf->document()->pageSize(), pageSize);
    EXPECT_EQ(rtf->document()->documentMargin(), margin);
    EXPECT_EQ(rtf->document()->isUndoAvailable(), undo);
    EXPECT_EQ(rtf->SelStart(), 10);
    EXPECT_EQ(rtf->SelLength(), 5);
}

TEST_F(PrintTest, TextKeepsItsColourAndPlainTextPrintsBlack)
{
    // Light text on a dark editor must not print light on paper.
    QPalette pal = rtf->palette();
    pal.setColor(QPalette::Text, Qt::white);
    pal.setColor(QPalette::Base, Qt::black);
    rtf->setPalette(pal);
    rtf->setFont(QFont(QStringLiteral("DejaVu Sans"), 28));
    rtf->setText(QStringLiteral("Plain\r\nRed"));
    rtf->setSelStart(7);
    rtf->setSelLength(3);
    rtf->setSelColor(0x0000FF); // red
    PrintRTF(rtf, 720, 720, 720, 720);
    const QImage image = RenderFirstPage(pdf, path(QStringLiteral("colour")));
    ASSERT_FALSE(image.isNull());
    const std::vector<PdfPage> pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].words.size(), 2u);
    int dark = 0, red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const bool onFirstLine = y < pages[0].words[0].yMax;
            if (onFirstLine && c.red() < 80 && c.green() < 80 && c.blue() < 80)
                ++dark;
            if (!onFirstLine && c.red() > 180 && c.green() < 80 && c.blue() < 80)
                ++red;
        }
    EXPECT_GT(dark, 20);
    EXPECT_GT(red, 20);
    // Nothing of the editor's background reaches the paper.
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), QColor(Qt::white));
}

} // namespace
