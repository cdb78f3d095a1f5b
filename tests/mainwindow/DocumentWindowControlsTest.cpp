// The document window's layout, toolbar, spelling button, the controls the
// reading state sets, the advert line, the web pages and the smaller
// handlers.
#include "DocumentWindowFixture.h"

#include <QToolButton>
#include <QUrl>

namespace {

class DocumentWindowControlsTest : public DocumentWindowTest {};

// ---------------------------------------------------------------------------
// Layout

TEST_F(DocumentWindowControlsTest, LayoutFollowsTheWindowSize)
{
    frmDocument* d = newDocument();
    d->show();
    const double tpp = TwipsPerPixelX(d);
    auto tw = [tpp](int px) { return px * tpp; };
    const int tolerance = qCeil(tpp);

    // Every toolbar button shows its icon and, under it, its whole caption
    // at the user's font; the toolbar is as tall as that needs, and what it
    // needs beyond its design height moves everything below it down.
    d->resize(1600, 1100);
    int buttons = 0;
    for (QAction* a : d->tbToolBar->actions()) {
        auto* b = qobject_cast<QToolButton*>(d->tbToolBar->widgetForAction(a));
        if (a->isSeparator() || !b)
            continue;
        ++buttons;
        EXPECT_GE(b->height(), b->sizeHint().height()) << a->text().toStdString();
        EXPECT_GE(b->height(), b->iconSize().height() + b->fontMetrics().height()) << a->text().toStdString();
        EXPECT_LE(b->geometry().bottom(), d->tbToolBar->contentsRect().bottom()) << a->text().toStdString();
    }
    EXPECT_EQ(buttons, 14);
    const int inset = d->tbToolBar->height() - qRound(540 / tpp);
    EXPECT_GE(inset, 0);
    auto top = [&](QWidget* w) { return tw(w->y() - inset); };

    for (const QSize size : {QSize(900, 640), QSize(1600, 1100)}) {
        SCOPED_TRACE(size.width());
        d->resize(size);
        const double SW = tw(size.width()), SH = tw(size.height() - inset);
        EXPECT_NEAR(top(d->rtfText), 1680, tolerance);
        EXPECT_NEAR(tw(d->rtfText->geometry().right() + 1) + tw(d->ImgrightMid->width()), SW, 2 * tolerance);
        EXPECT_NEAR(SH - top(d->rtfText) - tw(d->rtfText->height()), 1000, 2 * tolerance);
        EXPECT_NEAR(tw(d->Btnminibar->x()), SW - 2500, tolerance);
        EXPECT_NEAR(top(d->Btnminibar), SH - 800, tolerance);
        EXPECT_NEAR(top(d->BtnVoiceSample), SH - 900, tolerance);
        EXPECT_NEAR(tw(d->CmdMoreVoice->x()), 5035, tolerance);
        EXPECT_NEAR(top(d->btnBBC), SH - 705, tolerance);
        EXPECT_NEAR(top(d->SpeakBtn), 680, tolerance);
        EXPECT_NEAR(tw(d->ImgRightTop->geometry().right() + 1), SW, tolerance);
        EXPECT_NEAR(top(d->ImgMidBtm) + tw(d->ImgMidBtm->height()), SH, tolerance);
        // The frame strips reach the window's edges: the top band across,
        // the side strips from it down to the bottom band.
        EXPECT_NEAR(top(d->ImgMidtop), 550, tolerance);
        EXPECT_NEAR(tw(d->ImgMidtop->geometry().right() + 1), SW, tolerance);
        for (QLabel* side : {d->ImgLeftMId, d->ImgrightMid}) {
            EXPECT_NEAR(top(side), 1680, tolerance);
            EXPECT_NEAR(top(side) + tw(side->height()), SH - 1000, 2 * tolerance);
        }
        EXPECT_NEAR(tw(d->ImgrightMid->geometry().right() + 1), SW, tolerance);
        EXPECT_NEAR(top(d->ImgMidBottom), SH - 1000, tolerance);
        EXPECT_NEAR(tw(d->ImgMidBottom->geometry().right() + 1), SW - 330, 2 * tolerance);
    }

    // Frame pictures stay beneath the controls they surround.
    d->control_pos();
    const QPoint speak = d->SpeakBtn->geometry().center();
    EXPECT_EQ(d->childAt(speak), d->SpeakBtn);

    // Too small: the floating-bar button goes off the left edge, and a
    // height below zero is refused (the text keeps its old height).
    const int oldHeight = d->rtfText->height();
    d->resize(100, 60);
    EXPECT_LT(d->Btnminibar->x(), 0);
    EXPECT_EQ(d->rtfText->height(), oldHeight);
}

TEST_F(DocumentWindowControlsTest, RestoredWindowsHaveANormalSizeCascaded)
{
    // The first made maximised before the main window has its size, as at
    // start; each new one maximised in turn, the one before it restored.
    frmMain& m = mainWindow();
    QList<QMdiSubWindow*> subs;
    subs.append(frameOf(newInMain()));
    m.resize(1200, 800);
    m.show();
    QCoreApplication::processEvents();
    for (int i = 0; i < 2; ++i)
        subs.append(frameOf(newInMain()));
    const QSize area = m.mdiArea->viewport()->size();
    QPoint last(-1, -1);
    for (QMdiSubWindow* s : subs) {
        s->showNormal();
        const QRect g = s->geometry();
        EXPECT_GE(g.width(), area.width() * 3 / 4);
        EXPECT_GE(g.height(), area.height() * 3 / 4);
        EXPECT_TRUE(QRect(QPoint(), area).contains(g)) << g.x() << "," << g.y() << " " << g.width() << "x" << g.height();
        EXPECT_GT(g.x(), last.x());
        EXPECT_GT(g.y(), last.y());
        last = g.topLeft();
    }
    // Maximised and restored again, a window keeps the size it was given.
    const QRect normal = subs[1]->geometry();
    subs[1]->showMaximized();
    subs[1]->showNormal();
    EXPECT_EQ(subs[1]->geometry(), normal);
}

// ---------------------------------------------------------------------------
// Toolbar

TEST_F(DocumentWindowControlsTest, ToolbarButtonsByPosition)
{
    frmDocument* d = newDocument();
    ASSERT_EQ(d->tbToolBar->actions().size(), 23);
    for (int pos : {4, 6, 10, 12, 14, 16, 19, 21, 23})
        EXPECT_TRUE(d->toolbarButton(pos)->isSeparator()) << pos;
    EXPECT_EQ(d->toolbarButton(1)->text(), "     New     ");
    EXPECT_EQ(d->toolbarButton(15)->property("Key").toString(), "Set");
    EXPECT_EQ(d->toolbarButton(15)->text(), "Settings");
    EXPECT_EQ(d->toolbarButton(17)->text(), "Zoom+");
    EXPECT_EQ(d->toolbarButton(17)->toolTip(), "Zoom In");
    EXPECT_EQ(d->toolbarButton(22)->toolTip(), "Word Prediction");
    EXPECT_EQ(d->toolbarButtonImage(15), 20);
    EXPECT_EQ(d->toolbarButtonImage(17), 18);

    d->settoolbar(false);
    for (int pos : {3, 5, 7, 8, 9, 13, 15})
        EXPECT_FALSE(d->toolbarButton(pos)->isEnabled()) << pos;
    for (int pos : {1, 2, 11, 17, 18, 20, 22})
        EXPECT_TRUE(d->toolbarButton(pos)->isEnabled()) << pos;
    d->settoolbar(true);
    EXPECT_TRUE(d->toolbarButton(13)->isEnabled());
}

TEST_F(DocumentWindowControlsTest, WordPredictionButtonTogglesTheSetting)
{
    frmDocument* d = newDocument();
    d->toolbarButton(22)->trigger();
    EXPECT_EQ(stored("FrmSet", "WordPrediction"), "False");
    EXPECT_EQ(d->toolbarButtonImage(22), 17);
    EXPECT_FALSE(predictionState.WordPredictionOn);
    d->toolbarButton(22)->trigger();
    EXPECT_EQ(stored("FrmSet", "WordPrediction"), "True");
    EXPECT_EQ(d->toolbarButtonImage(22), 16);
    EXPECT_TRUE(predictionState.WordPredictionOn);
    // A value that is no Boolean counts as on.
    setting("FrmSet", "WordPrediction", "maybe");
    d->toolbarButton(22)->trigger();
    EXPECT_EQ(stored("FrmSet", "WordPrediction"), "False");
}

TEST_F(DocumentWindowControlsTest, SettingsButtonStopsAReadingFirst)
{
    frmDocument* d = newDocument();
    readingState.readDocument();
    d->StopBtn->setEnabled(false);
    d->toolbarButton(15)->trigger();
    EXPECT_EQ(windows.log.count("frmSet_ShowModal"), 1);
    EXPECT_FALSE(stoppedBeforeSettings);

    d->StopBtn->setEnabled(true);
    d->toolbarButton(15)->trigger();
    EXPECT_EQ(windows.log.count("frmSet_ShowModal"), 2);
    EXPECT_TRUE(stoppedBeforeSettings);
}

TEST_F(DocumentWindowControlsTest, SpellingRangeAndItsResultMessages)
{
    frmDocument* d = newDocument();
    d->rtfText->setText("One two three.");
    d->rtfText->setSelStart(4);
    Access::GetSelRange(*d);
    EXPECT_EQ(Access::SpellStart(*d), 4);
    EXPECT_EQ(Access::SpellEnd(*d), 14);
    d->rtfText->setSelLength(3);
    Access::GetSelRange(*d);
    EXPECT_EQ(Access::SpellEnd(*d), 7);

    Access::ShowSpellCheckResult(*d, 1);
    answer = vbYes;
    Access::ShowSpellCheckResult(*d, 0);
    EXPECT_EQ(Access::SpellStart(*d), 0);
    Access::ShowSpellCheckResult(*d, 0);
    ASSERT_EQ(boxes.size(), 3);
    EXPECT_EQ(boxes[0].prompt, "Spelling Check Cancelled.\r\n\r\n");
    EXPECT_EQ(boxes[0].style, vbOKOnly);
    EXPECT_EQ(boxes[1].prompt,
              "Spelling Check Completed in the selection, do you want to continue checking from the start?");
    EXPECT_EQ(boxes[1].style, vbYesNoCancel + vbQuestion);
    EXPECT_EQ(boxes[1].title, "Lectova");
    EXPECT_EQ(boxes[2].prompt, "Spelling Check Completed.\r\n\r\n");
}

// ---------------------------------------------------------------------------
// Reading state, transport and remaining handlers

TEST_F(DocumentWindowControlsTest, ReadingStateSetsTheActiveWindowsControls)
{
    frmDocument* d = newInMain();
    makeFace(mainWindow());
    FaceSwitch::mainWindowShown(true);
    SetSpeakingState(true, true);
    EXPECT_TRUE(d->SpeakBtn->isHidden());
    EXPECT_TRUE(d->PauseBtn->isHidden());
    EXPECT_FALSE(d->ResumeBtn->isHidden());
    EXPECT_FALSE(d->VoiceCB->isEnabled());
    EXPECT_FALSE(d->tbToolBar->isEnabled());
    EXPECT_FALSE(d->NextBtn->isEnabled());
    SetSpeakingState(false, false);
    EXPECT_FALSE(d->SpeakBtn->isHidden());
    EXPECT_TRUE(d->ResumeBtn->isHidden());
    EXPECT_TRUE(d->cpvSlider1->isEnabled());
    EXPECT_FALSE(d->StopBtn->isEnabled());
}

TEST_F(DocumentWindowControlsTest, NextDoesNothingWhileReadingWithPunctuation)
{
    frmDocument* d = newDocument();
    readingState.usePunctuationMode(1);
    d->NextBtn_Click();
    EXPECT_FALSE(readingState.NextRequested());
    readingState.usePunctuationMode(0);
    d->NextBtn_Click();
    EXPECT_TRUE(readingState.NextRequested());
}

TEST_F(DocumentWindowControlsTest, DictationEntryEmptiesOnlyTheWelcomeDocument)
{
    frmDocument* d = newDocument();
    d->rtfText->setText("Welcome to the reader.");
    d->rtfText->setSelStart(3);
    d->rtfText->setSelLength(4);
    d->setWindowTitle("/home/user/notes.txt");
    d->Btndictate_Click();
    EXPECT_EQ(d->rtfText->Text(), "Welcome to the reader.");
    EXPECT_EQ(d->rtfText->SelLength(), 0);
    d->setWindowTitle(globals.AppFolder + "/first.txt");
    d->Btndictate_Click();
    EXPECT_TRUE(d->rtfText->Text().isEmpty());
}

TEST_F(DocumentWindowControlsTest, ParentPathKeepsTheLastSeparator)
{
    frmDocument* d = newDocument();
    EXPECT_EQ(Access::GetParentPath(*d, "C:\\Docs\\a\\file.txt"), "C:\\Docs\\a\\");
    EXPECT_EQ(Access::GetParentPath(*d, "/home/user/file.txt"), "/home/user/");
    // Backslashes win over forward slashes.
    EXPECT_EQ(Access::GetParentPath(*d, "a/b\\c/d.txt"), "a/b\\");
    EXPECT_EQ(Access::GetParentPath(*d, "file.txt"), "C:\\");
}

TEST_F(DocumentWindowControlsTest, VoiceSampleWindowsByVoiceName)
{
    frmDocument* d = newDocument();
    d->BtnVoiceSample_Click();
    d->CmdFemaleVoice_Click();
    EXPECT_EQ(callsNamed(windows.log, {"frmListen_Show"}),
              (QStringList{"frmListen_Show Paul Voice", "frmListen_Show Kate Voice"}));
    EXPECT_TRUE(boxes.isEmpty());
    // The female sample's failure is reported; the male one's is not.
    failListenFor = "Kate Voice";
    d->CmdFemaleVoice_Click();
    EXPECT_EQ(boxes.size(), 1);
    failListenFor = "Paul Voice";
    d->BtnVoiceSample_Click();
    EXPECT_EQ(boxes.size(), 1);
}

TEST_F(DocumentWindowControlsTest, HelpButtonStartsTheHelpProgramWhenPresent)
{
    const QString folder = ownProgramFolder();
    frmDocument* d = newDocument();
    d->helpbtn_Click();
    EXPECT_TRUE(boxes.isEmpty());
    const QString marker = dir.filePath("help-ran");
    writeFile(folder + "/fscommand/TTS.exe", ("#!/bin/sh\necho ran > '" + marker + "'\n").toUtf8(), true);
    d->helpbtn_Click();
    EXPECT_TRUE(waitForFile(marker));
    EXPECT_TRUE(readingState.StopRequested()); // reading was stopped first
}

// ---------------------------------------------------------------------------
// Advert line and web pages

TEST_F(DocumentWindowControlsTest, AdvertLineRotatesAndOpensTheShownLink)
{
    const QString folder = ownProgramFolder();
    writeFile(folder + "/AdList.xml",
              "<ads><ad><t>One</t><l>http://ads.test/1</l></ad><ad><t>Two</t><l>http://ads.test/2</l></ad>"
              "<ad><t>Three</t><l>http://ads.test/3</l></ad></ads>");
    frmDocument* d = newDocument();
    EXPECT_TRUE(d->lblAd->isHidden());
    EXPECT_EQ(d->lblAd->text(), "One");

    adverts.AdIndex = 2;
    d->Timer2->start();
    d->Timer2_Timer();
    EXPECT_EQ(d->lblAd->text(), "One");
    EXPECT_FALSE(d->Timer2->isActive());
    d->Timer2_Timer();
    EXPECT_EQ(d->lblAd->text(), "Two");

    d->tmrAd_Timer();
    EXPECT_TRUE(d->Timer2->isActive());

    const QString marker = installBrowser();
    d->lblAd_Click();
    ASSERT_TRUE(waitForFile(marker));
    EXPECT_EQ(readFile(marker), "http://ads.test/2");
}

TEST_F(DocumentWindowControlsTest, AdvertTickWithoutAdvertsOnlyStopsTheTimer)
{
    ownProgramFolder();
    frmDocument* d = newDocument();
    d->lblAd->setText("unchanged");
    d->Timer2->start();
    d->Timer2_Timer();
    EXPECT_EQ(d->lblAd->text(), "unchanged");
    EXPECT_FALSE(d->Timer2->isActive());
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(DocumentWindowControlsTest, TryVoicePageGetsTheFirst500CharactersEncoded)
{
    const QString marker = installBrowser();
    frmDocument* d = newDocument();
    QString text;
    while (text.size() < 1000)
        text += "Tom & Ann read. ";
    text.truncate(1000);
    d->rtfText->setText(text);
    d->btnTryVoice_Click();
    ASSERT_TRUE(waitForFile(marker));
    const QString url = readFile(marker);
    const QString prefix = "http://tts.test/treerss.php?version=96&text=";
    ASSERT_TRUE(url.startsWith(prefix)) << url.toStdString();
    const QString encoded = url.mid(prefix.size());
    EXPECT_FALSE(encoded.contains(' '));
    EXPECT_FALSE(encoded.contains('&'));
    EXPECT_TRUE(encoded.contains("%20"));
    EXPECT_TRUE(encoded.contains("%26"));
    EXPECT_EQ(QUrl::fromPercentEncoding(encoded.toUtf8()), text.left(500));

    QFile::remove(marker);
    d->rtfText->setText(QString());
    d->CmdMoreVoice_Click();
    ASSERT_TRUE(waitForFile(marker));
    EXPECT_EQ(readFile(marker), prefix);
}

} // namespace
