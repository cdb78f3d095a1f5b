// Reading a document aloud: the Speak, Next, Previous and Stop commands of
// the document window, and the steps the speech controller runs on the
// active document window at the end of every utterance, which the window's
// DocumentReader carries out.
#include "frmDocument.h"

#include "DocumentHost.h"
#include "DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "SentenceFinding.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

constexpr int kSpeedText = 2100;    // "Speed:"
constexpr int kProductName = 2205;  // "Lectova"
constexpr int kSaveQuestion = 2340; // "Do you want to save the text?"

// DocChanged of a window's slot, kept across formatting work.
bool& changedFlagOf(const QWidget* window)
{
    return documentTable.DocChanged[static_cast<std::size_t>(SlotOf(window))];
}

} // namespace

// ---- Speak ----

void frmDocument::SpeakBtn_Click()
{
    reader_->moveCaretToStartWhenBlank();
    const bool changed = changedFlagOf(this);
    readingState.leaveIdle();
    readingState.sideUtterancesEnd();
    if (readingState.IsSpeaking())
        StopBtn_Click();
    reader_->readPunctuationSetting();
    // The controller reads both for every utterance.
    IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), QString::number(cpvSlider1->value())); });
    IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QString::number(VoiceCB->currentIndex())); });
    readingState.startReading(this);
    NextBtn->setEnabled(true);
    PriewBtn->setEnabled(true);
    reader_->start();
    changedFlagOf(this) = changed;
}

// ---- the steps at the end of every utterance, run by the reader ----

void frmDocument::SetCursorP() { reader_->placeCaretAfterSentence(); }
void frmDocument::SpeakNextSentence() { reader_->speakNextSentence(); }
void frmDocument::SpeakSelNextSentence() { reader_->speakNextSelectedSentence(); }
void frmDocument::SpeakPrew() { reader_->speakPreviousSentence(); }

void frmDocument::FeedBack()
{
}

// ---- Next, Previous, Resume, Stop ----

void frmDocument::SpeakNext() { reader_->next(); }
void frmDocument::SpeakPriew() { reader_->previous(); }

void frmDocument::PriewBtn_Click()
{
    if (readingState.PunctuationMode() == 1)
        return;
    SpeakPriew();
}

void frmDocument::ResumeBtn_Click() { reader_->resume(); }

void frmDocument::StopBtn_Click()
{
    // The document being read, this one or another: the reading stops.
    ActiveDocument* const read = readingState.ReadingDocument();
    reader_->stop();
    IgnoreErrors([&] { stopspeaking(); });
    IgnoreErrors([&] {
        NextBtn->setEnabled(false);
        PriewBtn->setEnabled(false);
    });
    IgnoreErrors([&] {
        if (readingState.IsSpeaking()) {
            stopspeaking();
        } else if (readingState.IsDictating()) {
            SpeechController::get().stopDictating();
            SetDictatingState(false);
            const int answer = MsgBox(LoadResString(kSaveQuestion), vbYesNoCancel + vbQuestion,
                                      LoadResString(kProductName), this);
            DocumentHost* main = DocumentHost::instance();
            if (answer == vbYes && main) {
                const QString caption = windowTitle();
                if (caption.left(8) != QLatin1String("Document")
                    || documentTable.DocSaveAsName[static_cast<std::size_t>(SlotOf(this))].isEmpty()
                    || caption.right(9) != QLatin1String("first.txt"))
                    main->mnuFileSave_Click();
                else
                    main->mnuFileSaveAs_Click();
            }
        }
    });
    IgnoreErrors([] { SetSpeakingState(false, false); });
    readingState.letGo(read);
    if (!unloading_)
        IgnoreErrors([&] { rtfText->setFocus(); });
}

// ---- events of the text and the speed bar ----

void frmDocument::rtfText_MouseDown(int /*Button*/, int /*Shift*/, int /*X*/, int /*Y*/)
{
    // A click away from where the word prediction was made hides its list.
    if (rtfText->SelStart() != PrefixCaretPos && list1 && !list1->isHidden())
        list1->hide();
}

void frmDocument::rtfText_MouseUp(int Button, int /*Shift*/, int X, int Y)
{
    if (Button != 2 || readingState.IsSpeaking())
        return;
    DocumentHost* main = DocumentHost::instance();
    if (main && main->popUpMenu())
        main->popUpMenu()->popup(rtfText->mapToGlobal(QPoint(X, Y)));
}

void frmDocument::rtfText_SelChange()
{
    // The line number follows the caret, also while it moves with the words
    // read; finding the line costs a few steps whatever the text's length.
    IgnoreErrors([] { ShowLineNumber(); });
    // While reading, the selection moves with every sentence and word.
    if (!readingState.IsIdle())
        return;
    DocumentHost* main = DocumentHost::instance();
    if (!readingState.IsSpeaking() && !readingState.IsDictating()) {
        if (main)
            IgnoreErrors([&] { main->setmenu(); });
    } else if (!readingState.IsSpeaking() && readingState.IsDictating()) {
        if (main)
            IgnoreErrors([&] { main->setDictationmenu(); });
    }
}

void frmDocument::cpvSlider1_Scroll()
{
    const QString value = QString::number(cpvSlider1->value());
    // Heard from the next utterance on.
    IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), value); });
    if (DocumentHost* main = DocumentHost::instance())
        main->setPanelText(3, LoadResString(kSpeedText) + value);
    Lblspeed->setText(value);
}

// ---- members nothing calls ----

void frmDocument::SelectNextSentence(RichTextBox* rtf)
{
    ::SelectNextSentence(rtf);
}

void frmDocument::SelectForwardSentence(RichTextBox* rtf)
{
    ::SelectForwardSentence(rtf);
}

std::int32_t frmDocument::SelectCurrentLine(RichTextBox* rtf)
{
    return ::SelectCurrentLine(rtf);
}
