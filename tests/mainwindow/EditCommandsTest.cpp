// The main window's Edit, font, zoom, Window, Control and Help commands, the
// right-click menu and the routines on the active document that no menu
// reaches, with a scripted speech engine behind the controller and the
// desktop's opener answered by the test.
#include "DocumentWindowFixture.h"

#include "core/Utilities.h"
#include "mainwindow/frmFind.h"

#include <QClipboard>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QGuiApplication>
#include <QMimeDatabase>

#include <optional>

namespace {

struct ShellCall {
    QString file;
    QString parameters;
};

constexpr std::uint32_t kBlue = 0xFF0000;  // COLORREF: blue in the high byte
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kSpellTag = 0x132095; // RGB(149, 32, 19)

class EditCommandsTest : public DocumentWindowTest {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        SetShellOpenAnswerer([this](const QString& file, const QString& parameters) {
            shell.append({file, parameters});
            return shellResult;
        });
        faces.document = [this]() -> ActiveDocument* { return main ? main->activeDocument() : nullptr; };
        // The font dialog closed at once, as Cancel does: the seeded values stay.
        SetCommonDialogAnswerer([this](CommonDialog& d, CommonDialog::Kind kind) {
            if (kind != CommonDialog::Font)
                return;
            seeded = d;
            if (fontAnswer)
                fontAnswer(d);
        });
    }

    void TearDown() override
    {
        delete frmFind::instance();
        SetShellOpenAnswerer({});
        SetModalAnswerer({});
        DocumentWindowTest::TearDown();
    }

    // A document in the main window holding `text`, the caret at the start,
    // in a plain document font.
    RichTextBox* document(const QString& text)
    {
        for (const char* key : {"FontBold", "FontItalic", "FontStrikethru", "FontUnderline"}) {
            if (stored("FrmSet", key) == "<none>")
                setting("FrmSet", key, "False");
        }
        frmDocument* d = newInMain();
        EXPECT_NE(d, nullptr);
        d->rtfText->setText(text);
        d->rtfText->setSelStart(0);
        return d->rtfText;
    }

    static void select(RichTextBox* rtf, int start, int length)
    {
        rtf->setSelStart(start);
        rtf->setSelLength(length);
    }

    static std::optional<double> sizeOf(RichTextBox* rtf, int start, int length)
    {
        select(rtf, start, length);
        return rtf->SelFontSize();
    }

    static std::optional<std::uint32_t> colorOf(RichTextBox* rtf, int start, int length)
    {
        select(rtf, start, length);
        return rtf->SelColor();
    }

    // The whole text in one size.
    static void allInSize(RichTextBox* rtf, double points)
    {
        select(rtf, 0, rtf->TextLength());
        rtf->setSelFontSize(points);
        rtf->setSelStart(0);
    }

    QList<ShellCall> shell;
    int shellResult = kShellSuccess;
    std::optional<CommonDialog> seeded;
    std::function<void(CommonDialog&)> fontAnswer;

    static constexpr int kShellSuccess = 42;
};

// ---- Font ----

TEST_F(EditCommandsTest, FontDialogSeededFromSelectionAndCancelStoresTheSevenKeys)
{
    RichTextBox* rtf = document("Hello world");
    select(rtf, 0, 11);
    rtf->setSelFontName("DejaVu Serif");
    rtf->setSelFontSize(14);
    rtf->setSelBold(true);
    rtf->setSelUnderline(true);
    rtf->setSelColor(kBlue);

    mainWindow().mnuFormatFont_Click();

    ASSERT_TRUE(seeded.has_value());
    EXPECT_EQ(seeded->Flags, 259);
    EXPECT_EQ(seeded->FontName, "DejaVu Serif");
    EXPECT_FLOAT_EQ(seeded->FontSize, 14.0F);
    EXPECT_TRUE(seeded->FontBold);
    EXPECT_FALSE(seeded->FontItalic);
    EXPECT_FALSE(seeded->FontStrikethru);
    EXPECT_TRUE(seeded->FontUnderline);
    EXPECT_EQ(seeded->Color, kBlue);

    // Cancelled: the selection keeps its format, the settings take it.
    EXPECT_EQ(rtf->SelFontName(), "DejaVu Serif");
    EXPECT_EQ(rtf->SelFontSize(), 14.0);
    EXPECT_EQ(rtf->SelBold(), true);
    EXPECT_EQ(rtf->SelColor(), kBlue);
    EXPECT_EQ(rtf->Text(), "Hello world");
    EXPECT_EQ(stored("FrmSet", "FontName"), "DejaVu Serif");
    EXPECT_EQ(stored("FrmSet", "FontSize"), "14");
    EXPECT_EQ(stored("FrmSet", "FontBold"), "True");
    EXPECT_EQ(stored("FrmSet", "FontItalic"), "False");
    EXPECT_EQ(stored("FrmSet", "FontStrikethru"), "False");
    EXPECT_EQ(stored("FrmSet", "FontUnderline"), "True");
    EXPECT_EQ(stored("FrmSet", "Color"), QString::number(kBlue));
}

TEST_F(EditCommandsTest, FontDialogAnswerIsAppliedToTheSelectionAndStored)
{
    RichTextBox* rtf = document("Hello world");
    select(rtf, 6, 5);
    fontAnswer = [](CommonDialog& d) {
        d.FontName = "DejaVu Sans Mono";
        d.FontSize = 10.5F;
        d.FontItalic = true;
        d.FontStrikethru = true;
        d.Color = kGreen;
    };
    mainWindow().mnuFormatFont_Click();

    select(rtf, 6, 5);
    EXPECT_EQ(rtf->SelFontName(), "DejaVu Sans Mono");
    EXPECT_EQ(rtf->SelFontSize(), 10.5);
    EXPECT_EQ(rtf->SelItalic(), true);
    EXPECT_EQ(rtf->SelStrikeThru(), true);
    EXPECT_EQ(rtf->SelColor(), kGreen);
    // Only the selection.
    EXPECT_EQ(colorOf(rtf, 0, 5), 0u);
    EXPECT_EQ(stored("FrmSet", "FontSize"), "10.5");
    EXPECT_EQ(stored("FrmSet", "FontItalic"), "True");
    EXPECT_EQ(stored("FrmSet", "FontStrikethru"), "True");
    EXPECT_EQ(stored("FrmSet", "Color"), "65280");
}

TEST_F(EditCommandsTest, MixedSelectionCancelledKeepsItsMixedFormat)
{
    setting("FrmSet", "FontSize", "12");
    setting("FrmSet", "FontBold", "False");
    setting("FrmSet", "Color", "0");
    RichTextBox* rtf = document("Hello world");
    select(rtf, 0, 5);
    rtf->setSelBold(true);
    rtf->setSelFontSize(10);
    rtf->setSelColor(kBlue);
    select(rtf, 6, 5);
    rtf->setSelFontSize(16);
    select(rtf, 0, 11);
    ASSERT_FALSE(rtf->SelFontSize().has_value());
    ASSERT_FALSE(rtf->SelBold().has_value());

    mainWindow().mnuFormatFont_Click();

    // What has no single value is seeded from the document font.
    ASSERT_TRUE(seeded.has_value());
    EXPECT_FLOAT_EQ(seeded->FontSize, 12.0F);
    EXPECT_FALSE(seeded->FontBold);
    EXPECT_EQ(seeded->Color, 0u);
    // ... and a cancelled dialog does not flatten it.
    EXPECT_EQ(sizeOf(rtf, 0, 5), 10.0);
    EXPECT_EQ(sizeOf(rtf, 6, 5), 16.0);
    select(rtf, 0, 5);
    EXPECT_EQ(rtf->SelBold(), true);
    select(rtf, 6, 5);
    EXPECT_EQ(rtf->SelBold(), false);
    EXPECT_EQ(colorOf(rtf, 0, 5), kBlue);
    EXPECT_EQ(colorOf(rtf, 6, 5), 0u);
    EXPECT_EQ(stored("FrmSet", "FontSize"), "12");
    EXPECT_EQ(stored("FrmSet", "FontBold"), "False");
}

TEST_F(EditCommandsTest, MixedSelectionTakesWhatTheUserChanged)
{
    setting("FrmSet", "FontSize", "12");
    RichTextBox* rtf = document("Hello world");
    select(rtf, 0, 5);
    rtf->setSelBold(true);
    rtf->setSelFontSize(10);
    select(rtf, 0, 11);
    fontAnswer = [](CommonDialog& d) {
        d.FontSize = 20;
        d.Color = kGreen;
    };
    mainWindow().mnuFormatFont_Click();

    EXPECT_EQ(sizeOf(rtf, 0, 11), 20.0);
    EXPECT_EQ(colorOf(rtf, 0, 11), kGreen);
    // Bold was left alone: still only the first word.
    select(rtf, 0, 11);
    EXPECT_FALSE(rtf->SelBold().has_value());
    EXPECT_EQ(stored("FrmSet", "FontSize"), "20");
}

TEST_F(EditCommandsTest, FontWithoutADocumentStoresNoEmptyFont)
{
    mainWindow().mnuFormatFont_Click();
    ASSERT_TRUE(seeded.has_value());
    EXPECT_EQ(stored("FrmSet", "FontName"), "<none>");
    EXPECT_EQ(stored("FrmSet", "FontSize"), "<none>");
    EXPECT_EQ(stored("FrmSet", "FontBold"), "False");

    // With a document font in the settings the dialog shows it.
    setting("FrmSet", "FontName", "DejaVu Serif");
    setting("FrmSet", "FontSize", "11");
    mainWindow().mnuFormatFont_Click();
    EXPECT_EQ(seeded->FontName, "DejaVu Serif");
    EXPECT_FLOAT_EQ(seeded->FontSize, 11.0F);
    EXPECT_EQ(stored("FrmSet", "FontName"), "DejaVu Serif");
    EXPECT_EQ(stored("FrmSet", "FontSize"), "11");
}

TEST_F(EditCommandsTest, FontDialogOffersFontAndColourAndCancelKeepsTheSeed)
{
    SetCommonDialogAnswerer({});
    QString other;
    for (const QString& f : QFontDatabase::families()) {
        if (f != "DejaVu Sans" && QFontDatabase::isSmoothlyScalable(f)) {
            other = f;
            break;
        }
    }
    CommonDialog d;
    d.Flags = 259;
    d.FontName = "No Such Family Here";
    d.FontSize = 10.5F;
    d.Color = kBlue;

    // Cancel: nothing changes.
    int shown = 0;
    SetModalAnswerer([&](QDialog*) {
        ++shown;
        return int(QDialog::Rejected);
    });
    d.ShowFont();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(d.FontName, "No Such Family Here");
    EXPECT_FLOAT_EQ(d.FontSize, 10.5F);
    EXPECT_EQ(d.Color, kBlue);

    // OK without touching the font: the list shows a stand-in for the
    // missing family and the nearest listed size, but the seed stays.
    SetModalAnswerer([&](QDialog*) { return int(QDialog::Accepted); });
    d.ShowFont();
    EXPECT_EQ(d.FontName, "No Such Family Here");
    EXPECT_FLOAT_EQ(d.FontSize, 10.5F);
    EXPECT_FALSE(d.FontBold);
    EXPECT_EQ(d.Color, kBlue);

    // OK after making the text bold and choosing green.
    d.FontName = "DejaVu Sans";
    d.FontSize = 12;
    SetModalAnswerer([&](QDialog* dialog) {
        if (auto* colors = qobject_cast<QColorDialog*>(dialog)) {
            EXPECT_EQ(RichTextBox::toColorref(colors->currentColor()), kBlue);
            colors->setCurrentColor(QColor(0, 255, 0));
            return int(QDialog::Accepted);
        }
        auto* fonts = dialog->findChild<QFontDialog*>();
        auto* colorButton = dialog->findChild<QPushButton*>("colorButton");
        if (!fonts || !colorButton) {
            ADD_FAILURE() << "font dialog without its font list or colour button";
            return int(QDialog::Rejected);
        }
        EXPECT_FALSE(colorButton->isHidden());
        EXPECT_EQ(fonts->currentFont().family(), "DejaVu Sans");
        QFont f("DejaVu Sans");
        f.setPointSize(12);
        f.setBold(true);
        fonts->setCurrentFont(f);
        colorButton->click();
        return int(QDialog::Accepted);
    });
    d.ShowFont();
    EXPECT_EQ(d.FontName, "DejaVu Sans");
    EXPECT_FLOAT_EQ(d.FontSize, 12.0F);
    EXPECT_TRUE(d.FontBold);
    EXPECT_FALSE(d.FontItalic);
    EXPECT_EQ(d.Color, kGreen);

    if (other.isEmpty())
        GTEST_SKIP() << "only one scalable font family on this machine";
    SetModalAnswerer([&](QDialog* dialog) {
        auto* fonts = dialog->findChild<QFontDialog*>();
        if (!fonts)
            return int(QDialog::Rejected);
        fonts->setCurrentFont(QFont(other, 18));
        return int(QDialog::Accepted);
    });
    d.ShowFont();
    EXPECT_EQ(d.FontName, other);
    EXPECT_FLOAT_EQ(d.FontSize, 18.0F);
    EXPECT_EQ(d.Color, kGreen);
}

TEST_F(EditCommandsTest, FontDialogShowsTheStyleTheFontReallyHas)
{
    if (!QFontDatabase::families().contains("DejaVu Sans"))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    SetCommonDialogAnswerer({});
    for (const bool bold : {false, true}) {
        for (const bool italic : {false, true}) {
            SCOPED_TRACE(QString("bold %1 italic %2").arg(bold).arg(italic).toStdString());
            CommonDialog d;
            d.Flags = 259;
            d.FontName = "DejaVu Sans";
            d.FontSize = 12;
            d.FontBold = bold;
            d.FontItalic = italic;
            QFont face("DejaVu Sans", 12);
            face.setBold(bold);
            face.setItalic(italic);
            int shown = 0;
            SetModalAnswerer([&](QDialog* dialog) {
                ++shown;
                auto* fonts = dialog->findChild<QFontDialog*>();
                auto* sample = dialog->findChild<QLineEdit*>("qt_fontDialog_sampleEdit");
                if (!fonts || !sample) {
                    ADD_FAILURE() << "font dialog without its font list or sample";
                    return int(QDialog::Rejected);
                }
                // The style list shows the face's own name ("Book", not
                // "Oblique" for a regular font), and the sample that face.
                EXPECT_EQ(fonts->currentFont().styleName(), QFontInfo(face).styleName());
                EXPECT_EQ(fonts->currentFont().bold(), bold);
                EXPECT_EQ(fonts->currentFont().italic(), italic);
                EXPECT_EQ(QFontInfo(sample->font()).italic(), italic);
                EXPECT_EQ(QFontInfo(sample->font()).bold(), bold);
                return int(QDialog::Accepted);
            });
            d.ShowFont();
            EXPECT_EQ(shown, 1);
            EXPECT_EQ(d.FontBold, bold);
            EXPECT_EQ(d.FontItalic, italic);
        }
    }
}

// ---- Zoom ----

TEST_F(EditCommandsTest, ZoomInGrowsTheWholeTextAndKeepsTheCaret)
{
    RichTextBox* rtf = document("One line.\r\nTwo lines.");
    allInSize(rtf, 12);
    rtf->setSelStart(5);
    mainWindow().mnuZoomIn_Click();
    EXPECT_EQ(rtf->SelStart(), 5);
    EXPECT_EQ(rtf->SelLength(), 0);
    EXPECT_EQ(sizeOf(rtf, 0, rtf->TextLength()), 14.0);
    EXPECT_EQ(stored("FrmSet", "FontSize"), "14");

    rtf->setSelStart(12);
    mainWindow().mnuZoomOut_Click();
    mainWindow().mnuZoomOut_Click();
    EXPECT_EQ(rtf->SelStart(), 12);
    EXPECT_EQ(sizeOf(rtf, 0, rtf->TextLength()), 10.0);
    EXPECT_EQ(stored("FrmSet", "FontSize"), "10");
}

TEST_F(EditCommandsTest, ZoomChangesTheLookOfAnOpenedFileNotTheSizesItIsSavedIn)
{
    RichTextBox* rtf = document("");
    const QString file = dir.filePath("sizes.rtf");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 small {\\fs40 large}\\par}");
    f.close();
    RichTextBox::FontAndColor look;
    look.fontSize = 12;
    rtf->LoadFile(file, RichTextBox::rtfRTF, look);
    mainWindow().mnuZoomIn_Click();
    EXPECT_EQ(sizeOf(rtf, 0, rtf->TextLength()), 14.0);
    rtf->SaveFile(file, RichTextBox::rtfRTF);
    RichTextBox saved;
    saved.LoadFile(file, RichTextBox::rtfRTF);
    EXPECT_EQ(sizeOf(&saved, 0, 5), 10.0);
    EXPECT_EQ(sizeOf(&saved, 6, 5), 20.0);
}

TEST_F(EditCommandsTest, ZoomStopsBeyondItsLimits)
{
    RichTextBox* rtf = document("Some text.");
    struct Case {
        double from;
        bool in;
        double to;
    };
    for (const Case& c : {Case{40, true, 42}, Case{41, true, 41}, Case{42, true, 42}, Case{8, false, 6},
                          Case{7, false, 7}, Case{6, false, 6}, Case{10.5, true, 12.5}}) {
        allInSize(rtf, c.from);
        setting("FrmSet", "FontSize", "x");
        if (c.in)
            mainWindow().mnuZoomIn_Click();
        else
            mainWindow().mnuZoomOut_Click();
        EXPECT_EQ(sizeOf(rtf, 0, rtf->TextLength()), c.to) << c.from << (c.in ? " in" : " out");
        // The size is stored even when it did not change.
        EXPECT_EQ(stored("FrmSet", "FontSize"), QString::number(c.to)) << c.from;
    }
}

TEST_F(EditCommandsTest, ZoomLeavesATextOfSeveralSizesAlone)
{
    RichTextBox* rtf = document("Small. Large.");
    allInSize(rtf, 12);
    select(rtf, 7, 6);
    rtf->setSelFontSize(20);
    rtf->setSelStart(3);
    mainWindow().mnuZoomIn_Click();
    mainWindow().mnuZoomOut_Click();
    EXPECT_EQ(sizeOf(rtf, 0, 6), 12.0);
    EXPECT_EQ(sizeOf(rtf, 7, 6), 20.0);
    EXPECT_EQ(stored("FrmSet", "FontSize"), "<none>");
}

// ---- Edit ----

TEST_F(EditCommandsTest, CutCopyPasteUndoAndSelectAll)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("kept");
    RichTextBox* rtf = document("alpha beta\r\ngamma");

    // Cut with nothing selected changes neither text nor clipboard.
    rtf->setSelStart(3);
    mainWindow().mnuEditCut_Click();
    mainWindow().mnuPopCut_Click();
    EXPECT_EQ(rtf->Text(), "alpha beta\r\ngamma");
    EXPECT_EQ(clipboard->text(), "kept");

    select(rtf, 0, 6);
    mainWindow().mnuPopCut_Click();
    EXPECT_EQ(rtf->Text(), "beta\r\ngamma");
    EXPECT_EQ(clipboard->text(), "alpha ");
    EXPECT_EQ(rtf->SelLength(), 0);

    rtf->setSelStart(rtf->TextLength());
    mainWindow().mnuEditPaste_Click();
    EXPECT_EQ(rtf->Text(), "beta\r\ngammaalpha ");
    mainWindow().mnuEditUndo_Click();
    EXPECT_EQ(rtf->Text(), "beta\r\ngamma");

    select(rtf, 0, 4);
    mainWindow().mnuEditCopy_Click();
    EXPECT_EQ(clipboard->text(), "beta");
    rtf->setSelStart(0);
    mainWindow().mnuPopPaste_Click();
    EXPECT_EQ(rtf->Text(), "betabeta\r\ngamma");

    mainWindow().mnuEditSelectAll_Click();
    EXPECT_EQ(rtf->SelStart(), 0);
    EXPECT_EQ(rtf->SelLength(), rtf->TextLength());
    EXPECT_EQ(rtf->SelText(), "betabeta\r\ngamma");
}

TEST_F(EditCommandsTest, EditCommandsWithoutADocumentDoNothing)
{
    frmMain& m = mainWindow();
    for (auto handler : {&frmMain::mnuEditUndo_Click, &frmMain::mnuEditCut_Click, &frmMain::mnuEditCopy_Click,
                         &frmMain::mnuEditPaste_Click, &frmMain::mnuEditSelectAll_Click, &frmMain::mnuZoomIn_Click,
                         &frmMain::mnuZoomOut_Click, &frmMain::mnuCtlSpeak_Click, &frmMain::mnuCtlStop_Click,
                         &frmMain::mnuCtlDictation_Click, &frmMain::mnuInsertSpell_Click,
                         &frmMain::SpeakNextInActive, &frmMain::SpeakPrevInActive, &frmMain::PlayInActive,
                         &frmMain::ShowEditBarInActive, &frmMain::OutputToExistingFileInActive})
        (m.*handler)();
    EXPECT_EQ(stored("FrmSet", "FontSize"), "<none>");
    EXPECT_TRUE(engine.journal.isEmpty());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(EditCommandsTest, FindOpensOneModelessFindWindowOwnedByTheMainWindow)
{
    document("Find me here.");
    mainWindow().mnuEditFind_Click();
    frmFind* find = frmFind::instance();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->isModal());
    EXPECT_EQ(find->parentWidget(), &mainWindow());
    mainWindow().mnuEditFind_Click();
    EXPECT_EQ(frmFind::instance(), find);
}

// ---- Window ----

TEST_F(EditCommandsTest, TileVerticalPutsTheWindowsSideBySide)
{
    frmMain& m = mainWindow();
    m.resize(1200, 800);
    m.show();
    QList<QMdiSubWindow*> subs;
    for (int i = 0; i < 3; ++i)
        subs.append(frameOf(newInMain()));
    QCoreApplication::processEvents();
    const QRect view = m.mdiArea->viewport()->rect();

    m.mnuWindowTileVertical_Click();
    int widths = 0;
    QList<int> lefts;
    for (QMdiSubWindow* s : subs) {
        EXPECT_FALSE(s->isMaximized());
        EXPECT_EQ(s->geometry().top(), view.top());
        EXPECT_EQ(s->geometry().height(), view.height());
        widths += s->geometry().width();
        lefts.append(s->geometry().left());
    }
    EXPECT_EQ(widths, view.width());
    std::sort(lefts.begin(), lefts.end());
    EXPECT_EQ(lefts.first(), view.left());
    EXPECT_LT(lefts[0], lefts[1]);
    EXPECT_LT(lefts[1], lefts[2]);
    // The active window comes first.
    EXPECT_EQ(m.mdiArea->currentSubWindow()->geometry().left(), view.left());

    m.mnuWindowTileHorizontal_Click();
    int heights = 0;
    QList<int> tops;
    for (QMdiSubWindow* s : subs) {
        EXPECT_EQ(s->geometry().left(), view.left());
        EXPECT_EQ(s->geometry().width(), view.width());
        heights += s->geometry().height();
        tops.append(s->geometry().top());
    }
    EXPECT_EQ(heights, view.height());
    std::sort(tops.begin(), tops.end());
    EXPECT_LT(tops[0], tops[1]);
    EXPECT_LT(tops[1], tops[2]);

    // Cascade: overlapping, each one further down and to the right.
    for (QMdiSubWindow* s : subs)
        s->showMaximized();
    m.mnuWindowCascade_Click();
    QList<QPoint> corners;
    for (QMdiSubWindow* s : m.mdiArea->subWindowList()) {
        EXPECT_FALSE(s->isMaximized());
        corners.append(s->geometry().topLeft());
    }
    std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
    EXPECT_LT(corners[0].x(), corners[1].x());
    EXPECT_LT(corners[1].y(), corners[2].y());
    EXPECT_LT(corners[1].x(), corners[2].x());
}

TEST_F(EditCommandsTest, ArrangeIconsLinesUpTheMinimisedWindowsAtTheBottom)
{
    frmMain& m = mainWindow();
    m.resize(1200, 800);
    m.show();
    QList<QMdiSubWindow*> subs;
    for (int i = 0; i < 3; ++i)
        subs.append(frameOf(newInMain()));
    for (QMdiSubWindow* s : subs)
        s->showNormal();
    subs[0]->showMinimized();
    subs[2]->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(subs[0]->isMinimized());
    ASSERT_TRUE(subs[2]->isMinimized());
    subs[0]->move(300, 100);
    subs[2]->move(350, 150);
    const QRect view = m.mdiArea->viewport()->rect();
    const QRect normal = subs[1]->geometry();

    m.mnuWindowArrangeIcons_Click();
    const QRect a = subs[0]->geometry();
    const QRect b = subs[2]->geometry();
    EXPECT_EQ(a.bottom(), view.bottom());
    EXPECT_EQ(b.bottom(), view.bottom());
    EXPECT_FALSE(a.intersects(b));
    EXPECT_EQ(std::min(a.left(), b.left()), view.left());
    // A window that is not minimised stays where it is.
    EXPECT_EQ(subs[1]->geometry(), normal);
}

// ---- Control ----

TEST_F(EditCommandsTest, SpeakPauseResumeAndStopThroughTheMenus)
{
    FaceSwitch::mainWindowShown(true);
    document("One here. Two here.");
    mainWindow().mnuCtlSpeak_Click();
    ScriptedSpeechVoice* voice = engine.last();
    ASSERT_NE(voice, nullptr);
    ASSERT_FALSE(voice->callsOf("Speak").isEmpty());
    EXPECT_EQ(voice->callsOf("Speak").last().text, "One here.");
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(readingState.IsPausing());

    // Pause while speaking pauses; Pause while paused resumes.
    mainWindow().mnuCtlPause_Click();
    EXPECT_TRUE(readingState.IsPausing());
    EXPECT_TRUE(voice->paused());
    mainWindow().mnuPopPause_Click();
    EXPECT_FALSE(readingState.IsPausing());
    EXPECT_TRUE(readingState.IsSpeaking());
    EXPECT_FALSE(voice->paused());

    mainWindow().mnuPopStop_Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(readingState.IsSpeaking());
    EXPECT_TRUE(readingState.IsIdle());

    mainWindow().mnuPopSpeak_Click();
    EXPECT_TRUE(readingState.IsSpeaking());
    mainWindow().mnuCtlStop_Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(readingState.IsSpeaking());
}

TEST_F(EditCommandsTest, NextAndPreviousInTheActiveDocument)
{
    FaceSwitch::mainWindowShown(true);
    document("One here. Two here. Three here.");
    mainWindow().mnuCtlSpeak_Click();
    auto lastSpoken = [this] { return engine.last()->callsOf("Speak").last().text; };
    mainWindow().SpeakNextInActive();
    QCoreApplication::processEvents();
    EXPECT_EQ(lastSpoken(), "Two here.");
    mainWindow().SpeakPrevInActive();
    QCoreApplication::processEvents();
    EXPECT_EQ(lastSpoken(), "One here.");
    EXPECT_TRUE(readingState.IsSpeaking());
    mainWindow().mnuCtlStop_Click();
}

TEST_F(EditCommandsTest, PauseWithoutTheControllerDoesNothing)
{
    tray.reset();
    SetSpeakingState(true, false);
    mainWindow().mnuCtlPause_Click();
    EXPECT_FALSE(readingState.IsPausing());
    SetSpeakingState(false, false);
}

TEST_F(EditCommandsTest, AutoReadClipboardTogglesBothMenusAndTheSetting)
{
    tray->trayMenu().mnuTrayclipboard = new QAction(tray.get());
    tray->trayMenu().mnuTrayclipboard->setCheckable(true);
    frmMain& m = mainWindow();
    m.mnuCtlclipboard->setChecked(false);

    m.mnuCtlclipboard_Click();
    EXPECT_TRUE(m.mnuCtlclipboard->isChecked());
    EXPECT_TRUE(tray->trayMenu().mnuTrayclipboard->isChecked());
    EXPECT_EQ(stored("ReadSet", "AutoClipboard"), "1");

    // Through the menu entry itself, as the user clicks it.
    m.mnuCtlclipboard->trigger();
    EXPECT_FALSE(m.mnuCtlclipboard->isChecked());
    EXPECT_FALSE(tray->trayMenu().mnuTrayclipboard->isChecked());
    EXPECT_EQ(stored("ReadSet", "AutoClipboard"), "0");
}

TEST_F(EditCommandsTest, SettingsDictationAndTheFloatingBar)
{
    mainWindow().mnuCtlSet_Click();
    EXPECT_EQ(windows.log.count("frmSet_ShowModal"), 1);

    // Dictation starts on an empty page when the welcome text is showing.
    RichTextBox* rtf = document("Welcome.");
    mainWindow().activeDocument()->setWindowTitle(globals.AppFolder + "/first.txt");
    mainWindow().mnuCtlDictation_Click();
    EXPECT_EQ(rtf->Text(), "");

    // Hidden entries with nothing behind them.
    rtf->setText("Stays.");
    mainWindow().mnuCtlSaveClipboardTexttoWav_Click();
    mainWindow().mnuTrayClipboardtoWav_Click();
    mainWindow().mnuWindowText_Click();
    mainWindow().mnuWindowBrowser_Click();
    mainWindow().mnuVideoHelp_Click();
    EXPECT_EQ(rtf->Text(), "Stays.");

    FaceSwitch::mainWindowShown(true);
    mainWindow().mnuWindowBar_Click();
    EXPECT_TRUE(readingState.IsDockShown());
    EXPECT_FALSE(readingState.IsMainShown());
}

// ---- Help ----

TEST_F(EditCommandsTest, HelpFileOpensTheShippedHelpAndReportsFailure)
{
    mainWindow().mnuHelphelp_Click();
    ASSERT_EQ(shell.size(), 1);
    EXPECT_EQ(shell[0].file, globals.AppFolder + "/Lectova.CHM");
    EXPECT_EQ(shell[0].parameters, "6750");
    EXPECT_TRUE(boxes.isEmpty());

    shellResult = 31;
    mainWindow().mnuHelphelp->trigger();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].prompt, "No association for file extension");
    EXPECT_EQ(boxes[0].title, "Lectova");
}

TEST_F(EditCommandsTest, ShippedHelpFileIsACompiledHelpFile)
{
    const QString path = qEnvironmentVariable("TAMSEL_PROGRAM_DIR") + "/Lectova.CHM";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("ITSF"));
    for (const char* page : {"/index.html", "/reading.html", "/hotkeys.html", "/floatingbar.html", "/settings.html"})
        EXPECT_TRUE(bytes.contains(page)) << page;
    // The type the desktop looks up its viewer by.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    EXPECT_TRUE(type.name() == "application/vnd.ms-htmlhelp" || type.aliases().contains("application/x-chm"))
        << type.name().toStdString();
}

TEST_F(EditCommandsTest, WebCommandsOpenTheServersPagesAndIgnoreFailures)
{
    qputenv("TAMSEL_SERVER", "http://pages.test:8080");
    shellResult = 31;
    frmMain& m = mainWindow();
    m.mnuHelpWebsite->trigger();
    m.mnuHelpAddVoices->trigger();
    m.MnuSug->trigger();
    m.mnuEmailus->trigger();
    ASSERT_EQ(shell.size(), 4);
    EXPECT_EQ(shell[0].file, "http://pages.test:8080/");
    EXPECT_EQ(shell[1].file, "http://pages.test:8080/sample.htm");
    EXPECT_EQ(shell[2].file, "http://pages.test:8080/minipoll1.php?version=96");
    EXPECT_EQ(shell[3].file, "mailto:support@pages.test");
    for (const ShellCall& c : shell)
        EXPECT_EQ(c.parameters, "");
    EXPECT_TRUE(boxes.isEmpty());

    qputenv("TAMSEL_SERVER", "http://www.maker.test/");
    m.mnuEmailus_Click();
    EXPECT_EQ(shell.last().file, "mailto:support@maker.test");
}

TEST_F(EditCommandsTest, AboutShowsTheAboutBox)
{
    mainWindow().mnuHelpAbout->trigger();
    EXPECT_EQ(windows.log.count("Aboutus_Show"), 1);
}

// ---- routines no menu reaches ----

TEST_F(EditCommandsTest, InsertSpellWrapsTheSelectionInColouredMarkup)
{
    RichTextBox* rtf = document("xaby");
    select(rtf, 0, 4);
    rtf->setSelColor(kBlue);
    select(rtf, 1, 2);
    mainWindow().mnuInsertSpell_Click();

    EXPECT_EQ(rtf->Text(), "x<spell>a b </spell>y");
    EXPECT_EQ(colorOf(rtf, 1, 7), kSpellTag);
    EXPECT_EQ(colorOf(rtf, 8, 4), kBlue);
    EXPECT_EQ(colorOf(rtf, 12, 8), kSpellTag);
    EXPECT_EQ(colorOf(rtf, 20, 1), kBlue);

    // At a caret: empty markup, and what is typed next has the text's colour.
    rtf->setSelStart(1);
    mainWindow().mnuInsertSpell_Click();
    EXPECT_EQ(rtf->Text(), "x<spell></spell><spell>a b </spell>y");
    rtf->setSelText("z");
    EXPECT_EQ(rtf->Text(), "x<spell></spell>z<spell>a b </spell>y");
    EXPECT_EQ(colorOf(rtf, 16, 1), kBlue);
}

TEST_F(EditCommandsTest, InsertSpellKeepsLineBreaksAndMixedColours)
{
    RichTextBox* rtf = document("ab\r\ncd");
    select(rtf, 0, 1);
    rtf->setSelColor(kGreen);
    select(rtf, 0, 6);
    mainWindow().mnuInsertSpell_Click();
    EXPECT_EQ(rtf->Text(), "<spell>a b \r\n c d </spell>");
    // Several colours: the spelled text takes the first character's.
    EXPECT_EQ(colorOf(rtf, 7, 4), kGreen);
}

} // namespace
