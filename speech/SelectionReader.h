#pragma once
// SelectionReader: the controller's collaborator that takes the text
// selected in other applications (at hand from the focused application, or
// copied to the clipboard by a simulated Ctrl+C and polled for) and reads it
// aloud through the controller, or saves it as a sound file.

#include "platform/ClipboardCopy.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

class QWidget;
class SpeechController;

class SelectionReader : public QObject {
public:
    // The controller speaks the text; the owner window holds the progress
    // window of a sound file being saved. Both must outlive the reader.
    SelectionReader(SpeechController& controller, QWidget& owner);

    // Text the dormant clipboardChanged last saw on the clipboard.
    static inline QString LastClipboardText;
    // Text taken from the clipboard, and the copy poll's tick count.
    QString ClipText;
    std::int16_t CopyRetryCount = 0;
    // 200 ms: polls the clipboard after a copy for a read.
    QTimer copyPoll;
    // 400 ms: one step after a copy for a sound file.
    QTimer savePoll;

    // Play/Pause while idle: reads the focused application's selection
    // aloud, at once when it is at hand without a keystroke, else by copying
    // it (never in a terminal, where Ctrl+C interrupts the job).
    void startRead();
    // Text-to-MP3: the same way of taking the selection, for a sound file.
    void startSave();
    // A tick of copyPoll: reads the clipboard once something came, selects
    // all and copies again while nothing did, gives up after a few ticks.
    void copyPollTick();
    // The tick of savePoll: saves the clipboard text as a sound file.
    void savePollTick();
    // Reads the clipboard text aloud.
    void speakClipboardText();
    // Saves a text as a sound file with a speech object of its own.
    void saveTextAsAudio(const QString& text);
    // Whether the clipboard text differs from the one last seen.
    bool clipboardChanged();
    void saveClipboardToFile();

private:
    // Empties the clipboard and makes the focused application copy its
    // selection (keys the user still holds are released first). The user's
    // clipboard comes back when the copy ends.
    void copySelection(ClipboardCopy& copy);
    // Takes the focused application's selection: a selection at hand
    // without a keystroke goes to atHand at once; otherwise it is copied and
    // poll started, except in a terminal (nothing happens there).
    void takeSelection(const std::function<void(const QString&)>& atHand, QTimer& poll, ClipboardCopy& copy);
    // The steps of reading aloud a text taken from the selection.
    void speakSelectionText(const QString& text);

    SpeechController& controller_;
    QWidget& owner_;
    // The copies for a read and for a sound file.
    ClipboardCopy readCopy_;
    ClipboardCopy saveCopy_;
};
