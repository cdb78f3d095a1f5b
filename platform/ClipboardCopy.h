#pragma once
// The copy keystroke sent to the focused application on the user's behalf,
// with the user's clipboard kept. The program has no other way to the text
// an application holds than to make it copy, but what the user copied
// earlier is theirs: what the clipboard held before the first key is put
// back once the copied text has been taken, or once nothing came. Every
// copy keystroke of the program goes through here.
//
// Copies may overlap (a hotkey read while the floating bar picks up its
// text): the clipboard is kept from the first key of the first one and put
// back when the last one ends. Every format the clipboard offered is kept,
// not only its text. When the clipboard holds what it held before, nothing
// is put back and its owner keeps it.

class ClipboardCopy {
public:
    ClipboardCopy() = default;
    ClipboardCopy(const ClipboardCopy&) = delete;
    ClipboardCopy& operator=(const ClipboardCopy&) = delete;
    // A copy still pending ends: the user's clipboard is put back.
    ~ClipboardCopy();

    // Sends Ctrl+C to the focused application (keys the user still holds
    // are the caller's to release). The first key of a copy keeps what the
    // clipboard holds; with emptyFirst the clipboard is emptied just before
    // the key, so that text on it afterwards is text that was copied.
    void copy(bool emptyFirst);
    bool pending() const { return pending_; }
    // Ends the copy once its text has been taken (or will not come): the
    // clipboard holds again what the user had.
    void end();

private:
    bool pending_ = false;
};
