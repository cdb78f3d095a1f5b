#include "DocumentReader.h"

#include "DocumentTable.h"
#include "richtext/RichTextBox.h"
#include "SentenceFinding.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

// The value of a settings text as a number; 0 when it is none.
int settingNumber(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

// Selects a sentence with `select`; the reading state learns where its text
// starts, its length and whether it is the last.
SentenceBounds selectSentence(RichTextBox* rtf, SentenceBounds (*select)(RichTextBox*))
{
    const SentenceBounds bounds = select(rtf);
    readingState.sentenceSelected(bounds.textStart, bounds.textLength, bounds.last);
    return bounds;
}

void keepBounds(const SentenceBounds& bounds, std::int32_t& start, std::int32_t& end)
{
    end = bounds.end;
    start = bounds.start;
}

// A character that can end a sentence (the digit rule aside).
bool isDelimiter(QChar c)
{
    return c == u'.' || c == u'?' || c == u'!' || c == u';' || c == u':';
}

// Whether a sentence gives the engine nothing to say as part of the text:
// empty, or the rest of a run of delimiters ("Wait!!!", "Wait...what?"),
// which the engine would otherwise name one by one.
bool nothingToSay(const QString& sentence)
{
    return std::all_of(sentence.cbegin(), sentence.cend(), isDelimiter);
}

// Selects the sentence to speak with `select`. A sentence with nothing to
// say (the reading position inside a run of delimiters) is passed over: the
// one after it is selected instead, unless it is the last.
void selectSpeakable(RichTextBox* rtf, SentenceBounds (*select)(RichTextBox*), std::int32_t& start,
                     std::int32_t& end)
{
    SentenceBounds bounds = selectSentence(rtf, select);
    while (nothingToSay(rtf->SelText()) && !readingState.IsLastSentence()
           && bounds.end + 1 > readingState.ReadingPos()) {
        readingState.moveTo(bounds.end + 1);
        bounds = selectSentence(rtf, select);
    }
    keepBounds(bounds, start, end);
}

// Hands a text to the controller. The engine has nothing to speak in an
// empty text and reports no end for it, so the end of that utterance is
// handled here at once, as the engine would; otherwise the reading would
// stay "speaking" with nothing to wait for.
void speakSentence(const QString& text)
{
    SpeechController& controller = SpeechController::get();
    controller.speakstring(text);
    if (text.isEmpty())
        controller.voicecls_VoiceEnded();
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

DocumentReader::DocumentReader(RichTextBox* text)
    : text_(text)
{
}

void DocumentReader::moveCaretToStartWhenBlank()
{
    IgnoreErrors([&] {
        if (text_->SelStart() == text_->TextLength())
            text_->setSelStart(1);
    });
    IgnoreErrors([&] {
        if (IsBlankFrom(text_, text_->SelStart()))
            text_->setSelStart(1);
    });
}

void DocumentReader::readPunctuationSetting()
{
    ReadPunctuation = 0;
    IgnoreErrors([&] {
        ReadPunctuation = settingNumber(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("PunctuationTag"), QStringLiteral("0")));
    });
}

void DocumentReader::start()
{
    if (!(readingState.IsPausing() && readingState.IsSpeaking())) {
        if (ReadPunctuation == 1) {
            // The rest of the text in one utterance, punctuation spoken.
            speakSentence(PunctuationToWords(textToRead()));
        } else {
            if (text_->SelLength() == 0) {
                readingState.readDocument();
                SetSelectionBackColor(text_, kSentenceYellow);
                readingState.moveTo(text_->SelStart());
                selectSpeakable(text_, &SelectSentence, HighlightStart, HighlightEnd);
            } else {
                readingState.readSelection(text_->SelStart(), text_->SelLength());
                SetSelectionBackColor(text_, kSentenceYellow);
                selectSpeakable(text_, &SelectSentenceBySelection, HighlightStart, HighlightEnd);
            }
            speakSentence(text_->SelText());
        }
    }
    if (readingState.IsPausing()) {
        // Speak while paused goes on with the paused utterance.
        SpeechController::get().ResumeSpeaking();
    }
    IgnoreErrors([] { SpeechController::get().SetSpFlagIsFilename(0); });
}

QString DocumentReader::textToRead()
{
    QString text;
    IgnoreErrors([&] {
        text_->setFocus();
        readingState.sentenceStartsAt(text_->SelStart());
        const int length = text_->TextLength();
        if (length == 0)
            return;
        readingState.sentenceStartsAt(text_->SelStart());
        text = text_->SelText();
        if (hasContent(text))
            return;
        // From the caret to the end.
        text_->setSelLength(length - text_->SelStart());
        text = text_->SelText();
        if (hasContent(text))
            return;
        // The whole text.
        text_->setSelStart(0);
        readingState.sentenceStartsAt(0);
        text_->setSelLength(length);
        text = text_->SelText();
    });
    return text;
}

// ---- the steps at the end of every utterance ----

void DocumentReader::placeCaretAfterSentence()
{
    IgnoreErrors([&] { SetAllBackColor(text_, kClearedWhite); });
    IgnoreErrors([&] {
        if (readingState.PrevRequested()) {
            // Back over the delimiters that end the previous sentence, so
            // that the reading position lies inside it.
            for (int k = HighlightStart - 2; k >= 0; --k) {
                if (!isDelimiter(text_->CharAt(k)))
                    break;
                --HighlightStart;
            }
            // A position before the text is refused: the caret stays.
            if (HighlightStart - 1 >= 0) {
                text_->setSelStart(HighlightStart - 1);
                text_->setSelLength(0);
            }
            readingState.moveTo(HighlightStart - 1);
        } else {
            text_->setSelStart(HighlightEnd + 1);
            text_->setSelLength(0);
            readingState.moveTo(HighlightEnd + 1);
        }
    });
}

void DocumentReader::speakNextSentence()
{
    if (readingState.IsLastSentence())
        return;
    selectSpeakable(text_, &SelectSentence, HighlightStart, HighlightEnd);
    speakSentence(text_->SelText());
    if (readingState.IsPausing()) {
        // The new sentence waits, paused.
        SpeechController::get().PauseSpeaking();
    }
}

void DocumentReader::speakNextSelectedSentence()
{
    if (text_->SelStart() > readingState.SelStartPos() + readingState.SelLen()) {
        // The caret left the selection: the reading is over. Nothing is
        // spoken, so the reading is closed here as at its last sentence;
        // otherwise it would stay "speaking" with nothing to wait for.
        readingState.sentenceIsLast(true);
        SpeechController::get().voicecls_VoiceEnded();
        return;
    }
    if (readingState.IsLastSentence())
        return;
    selectSpeakable(text_, &SelectSentenceBySelection, HighlightStart, HighlightEnd);
    speakSentence(text_->SelText());
}

void DocumentReader::speakPreviousSentence()
{
    // After going back, the reading goes on through the whole document.
    readingState.readDocument();
    // The step back lands inside a sentence, so there is always something
    // to speak here.
    keepBounds(selectSentence(text_, &SelectSentence), HighlightStart, HighlightEnd);
    SpeechController::get().speakstring(text_->SelText());
    readingState.sentenceIsLast(false);
}

// ---- Next, Previous, Resume, Stop ----

void DocumentReader::next()
{
    readingState.requestNext();
    // The end of the cut utterance moves on to the next sentence.
    SpeechController::get().stopspeaking();
}

void DocumentReader::previous()
{
    readingState.requestPrevious();
    SpeechController::get().stopspeaking();
    // The end of the cut utterance, with its previous-sentence step, runs
    // before this returns.
    QCoreApplication::processEvents();
}

void DocumentReader::resume()
{
    SpeechController::get().ResumeSpeaking();
}

void DocumentReader::stop()
{
    readingState.dropPrevious();
    readingState.requestStop();
    readingState.goIdle();
    IgnoreErrors([&] { SetAllBackColor(text_, kClearedWhite); });
}
