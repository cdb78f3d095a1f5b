#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/Utilities.h"
#include "support/FileWait.h"
#include "support/SavedEnvironment.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Points the desktop's application and settings folders at a temporary
// place for the duration of a test.
class DesktopFolders {
public:
    DesktopFolders()
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
            saved_.keep(name);
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
        // The system's MIME database stays visible; its programs are not
        // asked, as the test's own settings take precedence.
        qputenv("XDG_DATA_DIRS", (dir.path() + "/sysdata:/usr/local/share:/usr/share").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (dir.path() + "/etc-xdg").toUtf8());
        QDir(dir.path()).mkpath("config");
        QDir(dir.path()).mkpath("data/applications");
    }
    ~DesktopFolders()
    {
        saved_.restore();
    }

    // Installs a program for a MIME type that records the file it was
    // asked to open in `marker`.
    void installHandler(const QString& mimeType, const QString& marker)
    {
        const QString script = dir.path() + "/handler.sh";
        writeExecutable(script, "#!/bin/sh\necho \"$1\" > '" + marker + "'\n");
        QFile desktop(dir.path() + "/data/applications/tamsel-test-handler.desktop");
        ASSERT_TRUE(desktop.open(QIODevice::WriteOnly));
        desktop.write(("[Desktop Entry]\nType=Application\nName=Test handler\nExec=" + script
                       + " %f\nMimeType=" + mimeType + ";\n")
                          .toUtf8());
        desktop.close();
        QFile apps(dir.path() + "/config/mimeapps.list");
        ASSERT_TRUE(apps.open(QIODevice::WriteOnly));
        apps.write(("[Default Applications]\n" + mimeType + "=tamsel-test-handler.desktop\n").toUtf8());
    }

    static void writeExecutable(const QString& path, const QString& body)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(body.toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir dir;

private:
    SavedEnvironment saved_;
};

class UtilitiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        globals.AppFolder = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
        SetMsgBoxAnswerer([this](const MsgBoxCall& c) {
            shown.append(c);
            return int(vbOK);
        });
    }
    void TearDown() override { SetMsgBoxAnswerer({}); }
    QList<MsgBoxCall> shown;
};

TEST_F(UtilitiesTest, ShellOpenReportsMissingFilesAndFolders)
{
    DesktopFolders desk;
    EXPECT_EQ(ShellOpen(desk.dir.path() + "/nothing.txt", ""), 2);
    EXPECT_EQ(ShellOpen(desk.dir.path() + "/no/such/folder/x.txt", ""), 3);

    ShellOpenWithMessage(desk.dir.path() + "/nothing.CHM", "100");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].prompt, "File not found");
    EXPECT_EQ(shown[0].title, "Lectova");
    EXPECT_EQ(shown[0].style, int(vbOKOnly));
}

TEST_F(UtilitiesTest, ShellOpenWithoutAProgramForTheFile)
{
    DesktopFolders desk;
    const QString file = desk.dir.path() + "/data.zzzunknown";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x00\x01\x02\x03", 4));
    f.close();
    EXPECT_EQ(ShellOpen(file, ""), 31);
    EXPECT_EQ(ShellOpen("zzzscheme://example/x", ""), 31);
    ShellOpenWithMessage(file, "");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].prompt, "No association for file extension");
}

TEST_F(UtilitiesTest, ShellOpenStartsTheDesktopsProgramSilently)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "the desktop opens files with programs only on a display";
    DesktopFolders desk;
    const QString marker = desk.dir.path() + "/opened";
    desk.installHandler("text/plain", marker);
    const QString doc = desk.dir.path() + "/notes.txt";
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("hello\n");
    f.close();

    ShellOpenWithMessage(doc, "");
    EXPECT_TRUE(shown.isEmpty()) << shown.value(0).prompt.toStdString();
    ASSERT_TRUE(waitForFile(marker));
    EXPECT_EQ(readFile(marker), doc);
}

TEST_F(UtilitiesTest, ShellOpenRunsAProgramWithItsParameters)
{
    DesktopFolders desk;
    const QString marker = desk.dir.path() + "/ran";
    const QString program = desk.dir.path() + "/tool.sh";
    DesktopFolders::writeExecutable(program, "#!/bin/sh\necho \"$1|$2\" > '" + marker + "'\n");
    EXPECT_GT(ShellOpen(program, "one \"two words\""), 32);
    ASSERT_TRUE(waitForFile(marker));
    EXPECT_EQ(readFile(marker), "one|two words");
}

TEST_F(UtilitiesTest, ShellErrorTexts)
{
    EXPECT_EQ(ShellErrorText(3), "Path not found");
    EXPECT_EQ(ShellErrorText(5), "Access denied");
    EXPECT_EQ(ShellErrorText(11), "Invalid EXE file or error in EXE image");
    EXPECT_EQ(ShellErrorText(32), "DLL not found");
    for (int code : {0, 1, 4, 6, 25, -3})
        EXPECT_EQ(ShellErrorText(code), "Unknown error") << code;
}

TEST_F(UtilitiesTest, RegGetStringTellsNoValueFromEmpty)
{
    DesktopFolders desk;
    const QString key = "SOFTWARE\\Test\\Voices\\Tokens\\Voice A";
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, key, "VoiceData", RegValue{RegType::String, "abc", 0}));
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, key, "Empty", RegValue{RegType::String, "", 0}));
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, key, "Number", RegValue{RegType::Dword, {}, 5}));
    ASSERT_TRUE(RegSetValue(RegRoot::LocalMachine, key, "Nul",
                            RegValue{RegType::String, QString("ab") + QChar(u'\0') + "cd", 0}));

    EXPECT_EQ(RegGetString(RegRoot::LocalMachine, key, "VoiceData"), QString("abc"));
    EXPECT_EQ(RegGetString(RegRoot::LocalMachine, key.toLower(), "voicedata"), QString("abc"));
    const auto empty = RegGetString(RegRoot::LocalMachine, key, "Empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, "");
    EXPECT_FALSE(RegGetString(RegRoot::LocalMachine, key, "Number").has_value());
    EXPECT_FALSE(RegGetString(RegRoot::LocalMachine, key, "Missing").has_value());
    EXPECT_FALSE(RegGetString(RegRoot::LocalMachine, "SOFTWARE\\Nothing", "VoiceData").has_value());
    EXPECT_FALSE(RegGetString(RegRoot::CurrentUser, key, "VoiceData").has_value());
    EXPECT_EQ(RegGetString(RegRoot::LocalMachine, key, "Nul"), QString("ab"));
}

TEST_F(UtilitiesTest, PerUserApplicationSettings)
{
    DesktopFolders desk;
    EXPECT_FALSE(GetSetting("Corvane", "Controls", "IsSpeaking").has_value());
    ASSERT_TRUE(SaveSetting("Corvane", "Controls", "IsSpeaking", "1"));
    ASSERT_TRUE(SaveSetting("Corvane", "Controls", "IsPausing", "0"));
    ASSERT_TRUE(SaveSetting("Corvane", "Controls", "IsSpeaking", "0"));
    EXPECT_EQ(GetSetting("Corvane", "Controls", "IsSpeaking"), QString("0"));
    EXPECT_EQ(GetSetting("Corvane", "Controls", "IsPausing"), QString("0"));
    EXPECT_TRUE(QFile::exists(desk.dir.path() + "/config/tamsel/registry.json"));
}

TEST_F(UtilitiesTest, SystemDirIsTheSystemConfigFolder)
{
    DesktopFolders desk;
    EXPECT_EQ(GetSystemDir(), desk.dir.path() + "/etc-xdg");
    qputenv("XDG_CONFIG_DIRS", "");
    EXPECT_EQ(GetSystemDir(), "/etc/xdg");
}

TEST_F(UtilitiesTest, CursorOverWindowIncludesEdges)
{
    QWidget w;
    w.setGeometry(100, 100, 200, 50);
    w.show();
    const QRect r = w.frameGeometry();
    QCursor::setPos(r.topLeft() + QPoint(10, 10));
    if (QCursor::pos() != r.topLeft() + QPoint(10, 10))
        GTEST_SKIP() << "this display cannot move the pointer";
    EXPECT_TRUE(IsCursorOverWindow(&w));
    QCursor::setPos(r.left() + r.width(), r.top() + r.height());
    EXPECT_TRUE(IsCursorOverWindow(&w)); // right and bottom edge coordinates count
    QCursor::setPos(r.left() + r.width() + 1, r.top());
    EXPECT_FALSE(IsCursorOverWindow(&w));
    QCursor::setPos(r.left(), r.top() - 1);
    EXPECT_FALSE(IsCursorOverWindow(&w));
}

} // namespace
