#pragma once
// Answers every message box with OK and keeps what each one said, for as
// long as the object lives.

#include "core/MessageBox.h"

#include <QList>

struct RecordedMessageBoxes {
    RecordedMessageBoxes()
    {
        SetMsgBoxAnswerer([this](const MsgBoxCall& call) {
            calls.append(call);
            return int(vbOK);
        });
    }
    ~RecordedMessageBoxes() { SetMsgBoxAnswerer({}); }
    RecordedMessageBoxes(const RecordedMessageBoxes&) = delete;
    RecordedMessageBoxes& operator=(const RecordedMessageBoxes&) = delete;

    QList<MsgBoxCall> calls;
};
