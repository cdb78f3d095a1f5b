// Reading the selection of other applications through the clipboard, and
// saving a copied selection as a sound file (the Text-to-MP3 hotkey).
#include "SelectionReader.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "platform/FocusedSelection.h"
#include "platform/Keystrokes.h"
#include "platform/SpeechVoice.h"
#include "speech/ReadingState.h"
#include "speech/SpeechController.h"
#include "speech/clsVoice.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

// Virtual key of the select-all chord.
constexpr int kKeyA = 65;
// Empty ticks of the clipboard poll before a read is given up.
constexpr int kCopyAttempts = 3;

// Where saved sound files go, below the documents folder.
const QString kAudioFolder = QStringLiteral("/orvenic/vella/");

QString clipboardText()
{
    QString text;
    IgnoreErrors([&] { text = QGuiApplication::clipboard()->text(); });
    return text;
}

// What the focused application has selected, when it is at hand without a
// keystroke, and whether it is a terminal.
FocusedSelection focusedSelection()
{
    FocusedSelection focused;
    IgnoreErrors([&] { focused = ReadFocusedSelection(); });
    return focused;
}

QString straightenApostrophes(QString text)
{
    text.replace(QChar(0x2019), QChar(u'\''));
    return text;
}


QString errorText(const std::exception& e)
{
    return QString::fromLocal8Bit(e.what());
}

// A file name in folder holding the date and time, not yet taken.
QString newAudioFileName(const QString& folder)
{
    const QString stem = QStringLiteral("Lectova ")
                         + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    QString path = folder + stem + QStringLiteral(".wav");
    for (int n = 2; QFile::exists(path); ++n)
        path = folder + stem + QStringLiteral(" (%1).wav").arg(n);
    return path;
}

// One text being spoken into a sound file by a speech object of its own,
// with a progress window that can cancel it. It deletes itself when the
// file is complete (and tells the user where it is) or cancelled (and the
// partial file is removed). Destroyed before either, it also removes the
// partial file.
class AudioSaveJob : public QObject {
public:
    AudioSaveJob(QWidget* owner, std::unique_ptr<SpeechVoice> voice, std::shared_ptr<SpeechFileStream> file,
                 QString path, QString text)
        : QObject(owner)
        , voice_(std::move(voice))
        , file_(std::move(file))
        , path_(std::move(path))
        , text_(std::move(text))
    {
        dialog_ = new QProgressDialog(owner);
        dialog_->setObjectName(QStringLiteral("SaveTextAsAudioProgress"));
        dialog_->setWindowTitle(LoadResString(2205));
        dialog_->setLabelText(QStringLiteral("Saving the text as a sound file:\n%1").arg(QDir::toNativeSeparators(path_)));
        dialog_->setCancelButtonText(QStringLiteral("Cancel"));
        dialog_->setRange(0, 100);
        dialog_->setWindowModality(Qt::NonModal);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        // A short text is done before the window would be worth showing.
        dialog_->setMinimumDuration(500);
        dialog_->setValue(0);
        connect(dialog_, &QProgressDialog::canceled, this, &AudioSaveJob::cancel);
    }

    ~AudioSaveJob() override
    {
        if (!finished_)
            abandon();
        delete dialog_.data();
    }

    // Starts the speech into the file; false (partial file removed, user
    // told) when the engine refuses it.
    bool start()
    {
        connect(voice_.get(), &SpeechVoice::Word, this, &AudioSaveJob::onWord);
        connect(voice_.get(), &SpeechVoice::EndStream, this, &AudioSaveJob::onEnd);
        try {
            voice_->SetAllowAudioOutputFormatChangesOnNextSet(false);
            voice_->SetAudioOutputStream(file_);
            stream_ = voice_->Speak(text_, SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML);
        } catch (const std::exception& e) {
            fail(QStringLiteral("The text could not be spoken into the sound file:\n%1").arg(errorText(e)));
            return false;
        } catch (...) {
            fail(QStringLiteral("The text could not be spoken into the sound file."));
            return false;
        }
        return true;
    }

private:
    void onWord(int stream, qint64, int position, int length)
    {
        if (stream != stream_ || finished_ || !dialog_ || text_.isEmpty())
            return;
        const qint64 reached = qint64(position) + qMax(0, length);
        const int percent = int(std::clamp<qint64>(reached * 100 / text_.size(), 0, 99));
        if (percent > dialog_->value())
            dialog_->setValue(percent);
    }

    void onEnd(int stream, qint64)
    {
        if (stream != stream_ || finished_)
            return;
        finished_ = true;
        QObject::disconnect(voice_.get(), nullptr, this, nullptr);
        IgnoreErrors([&] { voice_->SetAudioOutputStream(nullptr); });
        IgnoreErrors([&] { file_->Close(); });
        closeDialog();
        // Told once the engine's event has returned.
        QTimer::singleShot(0, this, [this] {
            deleteLater();
            MsgBox(QStringLiteral("The text has been saved as a sound file:\n%1").arg(QDir::toNativeSeparators(path_)),
                   vbInformation);
        });
    }

    // The Cancel button (or closing the window): this runs inside the
    // window's own signal, so the window goes later.
    void cancel()
    {
        if (finished_)
            return;
        if (dialog_) {
            QObject::disconnect(dialog_, nullptr, this, nullptr);
            dialog_->hide();
            dialog_->deleteLater();
            dialog_ = nullptr;
        }
        abandon();
        deleteLater();
    }

    void fail(const QString& message)
    {
        abandon();
        deleteLater();
        MsgBox(message, vbExclamation);
    }

    // Drops the speech and the partial file.
    void abandon()
    {
        finished_ = true;
        QObject::disconnect(voice_.get(), nullptr, this, nullptr);
        IgnoreErrors([&] { voice_->Speak(QString(), SVSFPurgeBeforeSpeak); });
        IgnoreErrors([&] { voice_->SetAudioOutputStream(nullptr); });
        IgnoreErrors([&] { file_->Close(); });
        QFile::remove(path_);
        closeDialog();
    }

    // Gone at once, so that it cannot show itself later (for example while
    // a message box is open).
    void closeDialog() { delete dialog_.data(); }

    std::unique_ptr<SpeechVoice> voice_;
    std::shared_ptr<SpeechFileStream> file_;
    QString path_;
    QString text_;
    QPointer<QProgressDialog> dialog_;
    int stream_ = 0;
    bool finished_ = false;
};

} // namespace

// ---- reading the selection ----

SelectionReader::SelectionReader(SpeechController& controller, QWidget& owner)
    : controller_(controller)
    , owner_(owner)
{
    copyPoll.setInterval(200);
    savePoll.setInterval(400);
    connect(&copyPoll, &QTimer::timeout, this, &SelectionReader::copyPollTick);
    connect(&savePoll, &QTimer::timeout, this, &SelectionReader::savePollTick);
}


void SelectionReader::copySelection(ClipboardCopy& copy)
{
    // The hotkey's own keys may still be down; they would turn Ctrl+C into
    // something else.
    IgnoreErrors([] { ReleaseHeldKeys(); });
    IgnoreErrors([&] { copy.copy(true); });
}

void SelectionReader::takeSelection(const std::function<void(const QString&)>& atHand, QTimer& poll,
                                    ClipboardCopy& copy)
{
    const FocusedSelection focused = focusedSelection();
    if (!focused.text.isEmpty()) {
        // The selection is at hand: no keystroke, and the clipboard is left
        // as it is.
        IgnoreErrors([&] { atHand(focused.text); });
        return;
    }
    // In a terminal Ctrl+C would interrupt its job and Ctrl+A move its
    // cursor: with nothing selected there, there is nothing to take.
    if (focused.terminal)
        return;
    copySelection(copy);
    IgnoreErrors([&] { poll.start(); });
}

void SelectionReader::startRead()
{
    takeSelection(
        [this](const QString& text) {
            // Read now. A poll still running from an earlier press has
            // nothing more to do.
            copyPoll.stop();
            CopyRetryCount = 0;
            IgnoreErrors([&] { readCopy_.end(); });
            IgnoreErrors([&] { speakSelectionText(text); });
            readingState.clipboardTextStarts();
        },
        copyPoll, readCopy_);
}

void SelectionReader::startSave()
{
    takeSelection([this](const QString& text) { saveTextAsAudio(straightenApostrophes(text)); }, savePoll,
                  saveCopy_);
}

void SelectionReader::copyPollTick()
{
    ++CopyRetryCount;
    const QString text = clipboardText();
    if (text.isEmpty()) {
        if (CopyRetryCount < kCopyAttempts) {
            // Nothing selected: select everything in the focused control and
            // copy again.
            IgnoreErrors([] { SendCtrlChord(kKeyA); });
            IgnoreErrors([] { QCoreApplication::processEvents(); });
            IgnoreErrors([&] { readCopy_.copy(false); });
        } else {
            // Nothing came: the read ends without a word.
            copyPoll.stop();
            CopyRetryCount = 0;
            IgnoreErrors([&] { readCopy_.end(); });
        }
        return;
    }
    copyPoll.stop();
    CopyRetryCount = 0;
    // The copied text is taken: the clipboard is the user's again.
    IgnoreErrors([&] { readCopy_.end(); });
    IgnoreErrors([] { QCoreApplication::processEvents(); });
    IgnoreErrors([&] { speakSelectionText(text); });
    readingState.clipboardTextStarts();
}

void SelectionReader::speakClipboardText()
{
    speakSelectionText(clipboardText());
}

void SelectionReader::speakSelectionText(const QString& text)
{
    ClipText = text;
    if (ClipText.isEmpty())
        return;
    IgnoreErrors([] { ProgramWindows::get().msgform_Show(LoadResString(2336), false); });
    // Let the notice paint.
    IgnoreErrors([] { QCoreApplication::processEvents(); });
    ClipText = straightenApostrophes(text);
    IgnoreErrors([&] { controller_.speakstring(ClipText); });
    IgnoreErrors([] { SetSpeakingState(true, false); });
    if (readingState.IsMainShown()) {
        IgnoreErrors([] {
            if (ActiveDocument* document = ReadingFaces::get().activeDocument())
                document->setPauseBtnEnabled(false);
        });
    }
    IgnoreErrors([] { ProgramWindows::get().msgform_Unload(); });
}

// ---- saving as audio ----

void SelectionReader::savePollTick()
{
    savePoll.stop();
    const QString text = straightenApostrophes(clipboardText());
    IgnoreErrors([&] { saveCopy_.end(); });
    IgnoreErrors([&] { saveTextAsAudio(text); });
}

void SelectionReader::saveTextAsAudio(const QString& text)
{
    if (text.trimmed().isEmpty())
        return;

    const QString folder = globals.MyDocsFolder + kAudioFolder;
    if (globals.MyDocsFolder.isEmpty() || !QDir().mkpath(folder)) {
        MsgBox(QStringLiteral("The folder for sound files cannot be made:\n%1").arg(QDir::toNativeSeparators(folder)),
               vbExclamation);
        return;
    }

    // Quality of the file, by format name; until one is stored, the quality
    // the settings dialog shows first (Simple Control, High).
    const QString firstQuality = QStringLiteral("SAFT48kHz16BitMono");
    QString formatName = firstQuality;
    IgnoreErrors([&] { formatName = ReadSetting(globals.IniFile, kReadSet, QStringLiteral("Format"), firstQuality); });
    const std::int32_t formatType = clsVoice::getformatype(formatName);

    // A speech object of its own, so that the controller's speech goes on
    // undisturbed and nothing waits for the file.
    std::unique_ptr<SpeechVoice> voice;
    IgnoreErrors([&] { voice = CreateSpeechVoice(); });
    if (!voice) {
        MsgBox(QStringLiteral("The text cannot be saved as a sound file: there is no speech engine."), vbExclamation);
        return;
    }
    // Voice and rate as for speaking; an index outside the list keeps the
    // engine's first voice.
    IgnoreErrors([&] {
        const int reader = CInt(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QStringLiteral("0")));
        const QList<VoiceToken> voices = voice->GetVoices();
        if (reader >= 0 && reader < voices.size())
            voice->SetVoice(voices.at(reader));
    });
    IgnoreErrors([&] {
        voice->SetRate(CInt(ReadSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), QStringLiteral("0"))));
    });

    std::shared_ptr<SpeechFileStream> file;
    IgnoreErrors([&] { file = CreateSpeechFileStream(); });
    if (!file) {
        MsgBox(QStringLiteral("The text cannot be saved as a sound file: sound files cannot be written."),
               vbExclamation);
        return;
    }
    const QString path = newAudioFileName(folder);
    try {
        file->formatType = formatType;
        file->Open(path, 3, false);
    } catch (const std::exception& e) {
        IgnoreErrors([&] { file->Close(); });
        QFile::remove(path);
        MsgBox(QStringLiteral("The sound file cannot be created:\n%1\n\n%2")
                   .arg(QDir::toNativeSeparators(path), errorText(e)),
               vbExclamation);
        return;
    }

    auto* job = new AudioSaveJob(&owner_, std::move(voice), std::move(file), path, text);
    job->start();
}

// ---- members nothing calls ----

bool SelectionReader::clipboardChanged()
{
    const QString text = clipboardText();
    if (text == LastClipboardText)
        return false;
    LastClipboardText = text;
    return true;
}

void SelectionReader::saveClipboardToFile()
{
    IgnoreErrors([&] { saveTextAsAudio(clipboardText()); });
}
