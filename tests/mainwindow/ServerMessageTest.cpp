// The install id and the list of message ids the user turned off.
#include "MainWindowFixture.h"

#include "core/SettingsStore.h"
#include "mainwindow/frmPopup.h"

#include <QRegularExpression>
#include <QUuid>

namespace {

class ServerMessageTest : public SettingsFixture {};

TEST_F(ServerMessageTest, InstallIdAndTheMessageIdsTurnedOff)
{
    EXPECT_EQ(GuidString(QUuid("{01234567-89ab-cdef-0123-456789abcdef}")), "0123456789ABCDEF0123456789ABCDEF");
    EXPECT_EQ(GuidString(QUuid("{00000001-0002-0003-0405-060708090a0b}")), "0000000100020003040506070809" "0A0B");
    const QString a = NewGuidString(), b = NewGuidString();
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, b);

    // GetNetId: the stored id, or a new one that it does not store.
    const QString made = GetNetId();
    EXPECT_EQ(made.size(), 32);
    EXPECT_EQ(ReadSetting(globals.SettingsFile, "FrmSet", "GUID", "<none>"), "<none>");
    WriteSetting(globals.SettingsFile, "FrmSet", "GUID", "ABC");
    EXPECT_EQ(GetNetId(), "ABC");

    // Suppressed ids: whole items of the list, letter case counting; read
    // through SettingsFile while IniFile is not set yet.
    globals.IniFile.clear();
    const struct {
        const char* list;
        const char* id;
        bool suppressed;
    } cases[] = {{"", "42", false},     {"", "", false},      {"42", "42", true},       {"42;43", "43", true},
                 {"142;43", "42", false}, {"42;43", "4", false}, {"ab", "AB", false}, {"42;;43", "", true}};
    for (const auto& c : cases) {
        WriteSetting(globals.SettingsFile, "FrmSet", "Msgid", c.list);
        EXPECT_EQ(IsMsgIdSuppressed(c.id), c.suppressed) << c.list << " / " << c.id;
    }

    // Turning an id off appends it, once.
    WriteSetting(globals.SettingsFile, "FrmSet", "Msgid", "");
    for (const auto& [id, list] : {std::pair{"42", "42"}, {"43", "42;43"}, {"42", "42;43"}, {"43", "42;43"}}) {
        SuppressMsgId(id);
        EXPECT_EQ(ReadSetting(globals.SettingsFile, "FrmSet", "Msgid", ""), list) << id;
    }
}

} // namespace
