// The seven global hotkeys: their text in the settings file, their
// registration with the window system, and what each one does.
#include "HotkeyActions.h"

#include "core/Conversions.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"
#include "platform/GlobalHotkeys.h"
#include "speech/HotkeyText.h"
#include "speech/ReadingState.h"
#include "speech/SelectionReader.h"
#include "speech/SpeechController.h"

#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

const QString kReadSet = QStringLiteral("ReadSet");

// Identifier of hotkey row 1 (HotKey1); row i is kFirstHotkeyId + i - 1.
constexpr int kFirstHotkeyId = 11112;
constexpr int kHotkeyRows = 7;

// The rows in order: each identifier follows the one before.
enum HotkeyId : int {
    kPlayPause = kFirstHotkeyId,
    kTextToAudio,
    kSwitchFace,
    kSpeedUp,
    kSlowDown,
    kNextVoice,
    kStop,
};
static_assert(kStop == kFirstHotkeyId + kHotkeyRows - 1, "one identifier per hotkey row");

constexpr int kFastestRate = 4;
constexpr int kSlowestRate = -6;

// Key names with a code of their own, tried before the function keys.
struct NamedKey {
    const char* name;
    int code;
};
constexpr std::array<NamedKey, 8> kNamedKeys = {{
    {"Add", 107},
    {"Subtract", 109},
    {"Left", 37},
    {"Up", 38},
    {"Right", 39},
    {"Down", 40},
    {"PageUp", 33},
    {"PageDown", 34},
}};

// "F1".."F12" (and beyond): the number after the "F" plus 111; 0 when no
// number follows.
int functionKeyCode(const QString& name)
{
    const QString digits = name.mid(1);
    if (digits.isEmpty() || digits.size() > 4)
        return 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    return digits.toInt() + 111;
}


int readSettingInteger(const QString& key)
{
    return CInt(ReadSetting(globals.IniFile, kReadSet, key, QStringLiteral("0")));
}

// Runs step on the active document window, ignoring its errors; nothing
// when there is none.
template <class F>
void withDocument(F&& step)
{
    IgnoreErrors([&] {
        if (ActiveDocument* document = ReadingFaces::get().activeDocument())
            step(*document);
    });
}

} // namespace

bool ParseHotkeyText(const QString& text, int& modifiers, int& virtualKey)
{
    modifiers = 0;
    virtualKey = 0;
    const QString name = text.split(u'+').last();
    if (text.contains(QLatin1String("Ctrl")))
        modifiers |= MOD_CONTROL;
    if (text.contains(QLatin1String("Shift")))
        modifiers |= MOD_SHIFT;
    if (text.contains(QLatin1String("Alt")))
        modifiers |= MOD_ALT;

    if (name.isEmpty())
        return false;
    for (const NamedKey& key : kNamedKeys) {
        if (name == QLatin1String(key.name)) {
            virtualKey = key.code;
            return true;
        }
    }
    if (name.at(0) == u'F')
        virtualKey = functionKeyCode(name);
    else
        virtualKey = name.at(0).unicode();
    return virtualKey != 0;
}

HotkeyActions::HotkeyActions(SpeechController& controller, SelectionReader& selection, Steps steps)
    : controller_(controller)
    , selection_(selection)
    , steps_(std::move(steps))
{
}

void HotkeyActions::registerFromSettings()
{
    GlobalHotkeys* hotkeys = GlobalHotkeys::instance();
    // A pressed hotkey runs its action here.
    connect(hotkeys, &GlobalHotkeys::hotKeyPressed, this, &HotkeyActions::run, Qt::UniqueConnection);

    struct Row {
        int id = 0;
        GlobalHotkeys::Combination combination;
        bool wanted = false;
    };
    std::array<Row, kHotkeyRows> rows;
    for (int i = 0; i < kHotkeyRows; ++i) {
        QString text;
        IgnoreErrors([&] {
            text = ReadSetting(globals.IniFile, kReadSet, QStringLiteral("HotKey") + QString::number(i + 1), QString());
        });
        int modifiers = 0;
        int virtualKey = 0;
        rows[i].id = kFirstHotkeyId + i;
        rows[i].wanted = ParseHotkeyText(text, modifiers, virtualKey);
        rows[i].combination = {modifiers, virtualKey};
        // A combination belongs to the first row that asks for it.
        for (int j = 0; j < i; ++j) {
            if (rows[j].wanted && rows[j].combination == rows[i].combination)
                rows[i].wanted = false;
        }
    }

    // Release every identifier whose combination goes away or changes first,
    // so that combinations can move from one row to another, and a row the
    // user cleared stops acting.
    const QHash<int, GlobalHotkeys::Combination> held = hotkeys->registered();
    for (const Row& row : rows) {
        const auto it = held.constFind(row.id);
        if (it != held.constEnd() && (!row.wanted || !(*it == row.combination)))
            IgnoreErrors([&] { hotkeys->UnregisterHotKey(row.id); });
    }
    // A combination that another program holds simply does not act.
    for (const Row& row : rows) {
        if (row.wanted)
            IgnoreErrors([&] {
                hotkeys->RegisterHotKey(row.id, row.combination.modifiers, row.combination.virtualKey);
            });
    }
}

void HotkeyActions::run(int wk_id)
{
    switch (wk_id) {
    case kPlayPause:
        if (readingState.IsSpeaking()) {
            if (readingState.IsPausing())
                IgnoreErrors([&] { controller_.ResumeSpeaking(); });
            else
                IgnoreErrors([&] { controller_.PauseSpeaking(); });
        } else {
            // Read the selection of the application that has the focus.
            selection_.startRead();
        }
        break;

    case kTextToAudio:
        if (readingState.IsSpeaking())
            IgnoreErrors([&] { steps_.stopReading(); });
        selection_.startSave();
        break;

    case kSwitchFace:
        if (readingState.IsMainShown())
            IgnoreErrors([&] { controller_.mnuTrayShowDock_Click(); });
        else
            IgnoreErrors([&] { controller_.mnuTrayShowSoftware_Click(); });
        break;

    case kSpeedUp:
    case kSlowDown: {
        // An unreadable rate counts as 0.
        int s = 0;
        IgnoreErrors([&] { s = readSettingInteger(QStringLiteral("Speed")); });
        const bool up = wk_id == kSpeedUp;
        if (up ? s >= kFastestRate : s <= kSlowestRate)
            break;
        const int rate = up ? s + 1 : s - 1;
        IgnoreErrors([&] { WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Speed"), QString::number(rate)); });
        // The speed bar's change handler shows and applies the value.
        if (readingState.IsMainShown())
            withDocument([&](ActiveDocument& d) { d.setSpeedValue(rate); });
        break;
    }

    case kNextVoice: {
        if (readingState.IsSpeaking())
            break;
        try {
            const int r = readSettingInteger(QStringLiteral("Reader"));
            const int n = steps_.renewVoice();
            // After the last voice comes the first.
            const int next = r < n - 1 ? r + 1 : 0;
            WriteSetting(globals.IniFile, kReadSet, QStringLiteral("Reader"), QString::number(next));
            if (readingState.IsMainShown()) {
                if (ActiveDocument* document = ReadingFaces::get().activeDocument())
                    document->setVoiceListIndex(next);
            }
        } catch (const std::exception& e) {
            MsgBox(QString::fromLocal8Bit(e.what()), vbOKOnly);
        } catch (...) {
            MsgBox(QStringLiteral("The voice could not be changed."), vbOKOnly);
        }
        break;
    }

    case kStop:
        if (readingState.IsSpeaking())
            IgnoreErrors([&] { steps_.stopReading(); });
        break;

    default:
        break;
    }
}
