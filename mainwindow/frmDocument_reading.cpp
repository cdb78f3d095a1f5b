// Reading a document aloud: the Speak, Next, Previous and Stop commands of
// the document window, and the steps the speech controller runs on the
// active document window at the end of every utterance (put the caret after
// the sentence, then speak the next, the next selected or the previous one).
// Sentences are found and painted by SentenceFinding.
#include "frmDocument.h"

#include "DocumentHost.h"
#include "DocumentTable.h"
#include "RichTextBox.h"
#include "SentenceFinding.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "speech/ReadingState.h"
#include "speech/systemtray.h"

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

// The value of a settings text as a number; 0 when it is none.
int settingNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

// DocChanged of a window's slot, kept across formatting work.
bool& changedFlagOf(const QWidget* window)
{
    return documentTable.DocChanged[static_cast<std::size_t>(SlotOf(window))];
}

void keepBounds(const SentenceBounds& bounds, std::int32_t& start, std::int32_t& end)
{
    end = bounds.end;
    start = bounds.start;
}

// Selects the sentence to speak with `select`. A sentence with nothing in
// it (the reading position inside a run of delimiters, as in "Wait!!!") is
// passed over: the one after it is selected instead, unless it is the last.
void selectSpeakable(RichTextBox* rtf, SentenceBounds (*select)(RichTextBox*), std::int32_t& start,
                     std::int32_t& end)
{
    SentenceBounds bounds = select(rtf);
    while (rtf->SelLength() == 0 && !readingState.IsLastSentence && bounds.end + 1 > readingState.ReadingPos()) {
        readingState.moveTo(bounds.end + 1);
        bounds = select(rtf);
    }
    keepBounds(bounds, start, end);
}

// Hands a text to the controller. The engine has nothing to speak in an
// empty text and reports no end for it, so the end of that utterance is
// handled here at once, as the engine would; otherwise the reading would
// stay "speaking" with nothing to wait for.
void speakSentence(const QString& text)
{
    systemtray* tray = systemtray::instance();
    if (!tray)
        return;
    tray->speakstring(text);
    if (text.isEmpty())
        tray->voicecls_VoiceEnded();
}

// A text to read in punctuation mode: not empty once the line feeds are
// removed and the spaces around it trimmed.
bool hasContent(QString text)
{
    text.remove(QChar(u'\n'));
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return last > first;
}

} // namespace

// ---- Speak ----

void frmDocument::SpeakBtn_Click()
{
    // With nothing but blanks after the caret, read from the beginning.
    IgnoreErrors([&] {
        if (rtfText->SelStart() == rtfText->TextLength())
            rtfText->setSelStart(1);
    });
    IgnoreErrors([&] {
        if (IsBlankFrom(rtfText, rtfText->SelStart()))
            rtfText->setSelStart(1);
    });
    const bool changed = changedFlagOf(this);
    readingState.IsIdle = false;
    readingState.IsSpeakingOther = false;
    readingState.IsSpeakingWord = false;
    if (readingState.IsSpeaking)
        StopBtn_Click();
    ReadPunctuation = 0;
    IgnoreErrors([&] {
        ReadPunctuation = settingNumber(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("PunctuationTag"), QStringLiteral("0")));
    });
    // The controller reads both for every utterance.
    IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), QString::number(cpvSlider1->value())); });
    IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QString::number(VoiceCB->currentIndex())); });
    readingState.startReading();
    NextBtn->setEnabled(true);
    PriewBtn->setEnabled(true);

    if (!(readingState.IsPausing && readingState.IsSpeaking)) {
        if (ReadPunctuation == 1) {
            // The rest of the text in one utterance, punctuation spoken.
            speakSentence(PunctuationToWords(GetTextToRead()));
        } else {
            readingState.StopRequested = false;
            if (rtfText->SelLength() == 0) {
                readingState.IsReadingSelection = false;
                SetSelectionBackColor(rtfText, kSentenceYellow);
                readingState.moveTo(rtfText->SelStart());
                selectSpeakable(rtfText, &SelectSentence, HighlightStart, HighlightEnd);
            } else {
                readingState.IsReadingSelection = true;
                SetSelectionBackColor(rtfText, kSentenceYellow);
                readingState.moveTo(rtfText->SelStart());
                readingState.SelLen = rtfText->SelLength();
                readingState.SelEndPos = readingState.ReadingPos() + readingState.SelLen;
                readingState.SelStartPos = readingState.ReadingPos();
                selectSpeakable(rtfText, &SelectSentenceBySelection, HighlightStart, HighlightEnd);
            }
            speakSentence(rtfText->SelText());
        }
    }
    if (readingState.IsPausing) {
        // Speak while paused goes on with the paused utterance.
        if (systemtray* tray = systemtray::instance())
            tray->ResumeSpeaking();
    }
    IgnoreErrors([] {
        if (systemtray* tray = systemtray::instance())
            tray->SetSpFlagIsFilename(0);
    });
    changedFlagOf(this) = changed;
}

QString frmDocument::GetTextToRead()
{
    QString text;
    IgnoreErrors([&] {
        rtfText->setFocus();
        readingState.sentenceStartsAt(rtfText->SelStart());
        const int length = rtfText->TextLength();
        if (length == 0)
            return;
        readingState.sentenceStartsAt(rtfText->SelStart());
        text = rtfText->SelText();
        if (hasContent(text))
            return;
        // From the caret to the end.
        rtfText->setSelLength(length - rtfText->SelStart());
        text = rtfText->SelText();
        if (hasContent(text))
            return;
        // The whole text.
        rtfText->setSelStart(0);
        readingState.sentenceStartsAt(0);
        rtfText->setSelLength(length);
        text = rtfText->SelText();
    });
    return text;
}

// ---- the steps at the end of every utterance ----

void frmDocument::SetCursorP()
{
    IgnoreErrors([&] { SetAllBackColor(rtfText, kClearedWhite); });
    IgnoreErrors([&] {
        if (readingState.PrevRequested()) {
            // Back over the delimiters that end the previous sentence, so
            // that the reading position lies inside it.
            for (int k = HighlightStart - 2; k >= 0; --k) {
                const QChar c = rtfText->CharAt(k);
                if (c != u'.' && c != u'?' && c != u'!' && c != u';' && c != u':')
                    break;
                --HighlightStart;
            }
            // A position before the text is refused: the caret stays.
            if (HighlightStart - 1 >= 0) {
                rtfText->setSelStart(HighlightStart - 1);
                rtfText->setSelLength(0);
            }
            readingState.moveTo(HighlightStart - 1);
        } else {
            rtfText->setSelStart(HighlightEnd + 1);
            rtfText->setSelLength(0);
            readingState.moveTo(HighlightEnd + 1);
        }
    });
}

void frmDocument::SpeakNextSentence()
{
    if (readingState.IsLastSentence)
        return;
    selectSpeakable(rtfText, &SelectSentence, HighlightStart, HighlightEnd);
    speakSentence(rtfText->SelText());
    if (readingState.IsPausing) {
        // The new sentence waits, paused.
        if (systemtray* tray = systemtray::instance())
            tray->PauseSpeaking();
    }
}

void frmDocument::SpeakSelNextSentence()
{
    if (rtfText->SelStart() > readingState.SelStartPos + readingState.SelLen) {
        // The caret left the selection: the reading is over. Nothing is
        // spoken, so the reading is closed here as at its last sentence;
        // otherwise it would stay "speaking" with nothing to wait for.
        readingState.IsLastSentence = true;
        if (systemtray* tray = systemtray::instance())
            tray->voicecls_VoiceEnded();
        return;
    }
    if (readingState.IsLastSentence)
        return;
    selectSpeakable(rtfText, &SelectSentenceBySelection, HighlightStart, HighlightEnd);
    speakSentence(rtfText->SelText());
}

void frmDocument::SpeakPrew()
{
    readingState.StopRequested = false;
    // After going back, the reading goes on through the whole document.
    readingState.IsReadingSelection = false;
    // The step back lands inside a sentence, so there is always something
    // to speak here.
    keepBounds(SelectSentence(rtfText), HighlightStart, HighlightEnd);
    if (systemtray* tray = systemtray::instance())
        tray->speakstring(rtfText->SelText());
    readingState.IsLastSentence = false;
}

void frmDocument::FeedBack()
{
}

// ---- Next, Previous, Resume, Stop ----

void frmDocument::SpeakNext()
{
    readingState.requestNext();
    // The end of the cut utterance moves on to the next sentence.
    if (systemtray* tray = systemtray::instance())
        tray->stopspeaking();
}

void frmDocument::SpeakPriew()
{
    readingState.requestPrevious();
    if (systemtray* tray = systemtray::instance())
        tray->stopspeaking();
    // The end of the cut utterance, with its previous-sentence step, runs
    // before this returns.
    QCoreApplication::processEvents();
}

void frmDocument::PriewBtn_Click()
{
    if (readingState.PunctuationMode == 1)
        return;
    SpeakPriew();
}

void frmDocument::ResumeBtn_Click()
{
    if (systemtray* tray = systemtray::instance())
        tray->ResumeSpeaking();
}

void frmDocument::StopBtn_Click()
{
    readingState.dropPrevious();
    readingState.StopRequested = true;
    readingState.IsIdle = true;
    IgnoreErrors([&] { SetAllBackColor(rtfText, kClearedWhite); });
    IgnoreErrors([&] { stopspeaking(); });
    IgnoreErrors([&] {
        NextBtn->setEnabled(false);
        PriewBtn->setEnabled(false);
    });
    IgnoreErrors([&] {
        if (readingState.IsSpeaking) {
            stopspeaking();
        } else if (readingState.IsDictating) {
            if (systemtray* tray = systemtray::instance())
                tray->stopDictating();
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
    if (Button != 2 || readingState.IsSpeaking)
        return;
    DocumentHost* main = DocumentHost::instance();
    if (main && main->popUpMenu())
        main->popUpMenu()->popup(rtfText->mapToGlobal(QPoint(X, Y)));
}

void frmDocument::rtfText_SelChange()
{
    // While reading, the selection moves with every sentence and word.
    if (!readingState.IsIdle)
        return;
    DocumentHost* main = DocumentHost::instance();
    if (!readingState.IsSpeaking && !readingState.IsDictating) {
        IgnoreErrors([] { ShowLineNumber(); });
        if (main)
            IgnoreErrors([&] { main->setmenu(); });
    } else if (!readingState.IsSpeaking && readingState.IsDictating) {
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
