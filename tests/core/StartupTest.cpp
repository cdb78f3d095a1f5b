// Starts the real program in a home folder of its own and watches what it
// does with its settings file and with a second start.
#include "app/Startup.h"
#include "core/SettingsStore.h"
#include "support/ProgramRun.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <csignal>

namespace {

QString lockFile(const TempHome& home)
{
    return home.path() + "/run/tamsel.lock";
}

TEST(Startup, FirstStartCreatesTheSettingsFileFromTheTemplate)
{
    // Under two languages: one list of voices, whose indexes the file
    // stores, and a new file's voice of the user's language.
    QStringList readers;
    for (const auto& [lang, voice] : {std::pair{"en_US.UTF-8", "English (America)"}, {"de_DE.UTF-8", "German"}}) {
        TempHome home;
        ASSERT_FALSE(QFile::exists(home.documents()));
        QProcessEnvironment locale;
        locale.insert("LC_ALL", lang);
        Program p(home, {}, locale);
        ASSERT_TRUE(p.started);
        ASSERT_TRUE(waitUntil([&] { return !ReadSetting(home.settingsFile(), "ReadSet", "Readers", "").isEmpty(); },
                              10000));
        // The template's content, with what the controller records at load.
        const QString t = programDir() + "/Update.xml";
        EXPECT_TRUE(fileBytes(home.settingsFile()).startsWith("<Settings>"));
        for (const char* key : {"HotKey1", "HotKey7", "Speed"})
            EXPECT_EQ(ReadSetting(home.settingsFile(), "ReadSet", key, "?"), ReadSetting(t, "ReadSet", key, "!")) << key;
        EXPECT_EQ(ReadSetting(home.settingsFile(), "FrmSet", "BColor", "?"), "16777215");
        readers << ReadSetting(home.settingsFile(), "ReadSet", "Readers", "");
        const int reader = ReadSetting(home.settingsFile(), "ReadSet", "Reader", "").toInt();
        EXPECT_EQ(readers.last().split(';').value(reader).toStdString(), voice) << lang;
        EXPECT_TRUE(p.runningAfter(1000)) << "the program must stay running";
        EXPECT_TRUE(p.terminate());
        EXPECT_FALSE(QFile::exists(lockFile(home))) << "a normal end releases the instance lock";
    }
    EXPECT_EQ(readers.value(0).toStdString(), readers.value(1).toStdString());
}

TEST(Startup, ShippedTemplateIsAUsableSettingsFile)
{
    const QString t = programDir() + "/Update.xml";
    pugi::xml_document doc;
    const QByteArray bytes = fileBytes(t);
    ASSERT_TRUE(doc.load_buffer(bytes.constData(), bytes.size(), pugi::parse_default | pugi::parse_declaration
                                                                    | pugi::parse_comments | pugi::parse_pi));
    EXPECT_EQ(doc.first_child().type(), pugi::node_element);
    QStringList hotkeys;
    for (int i = 1; i <= 7; ++i)
        hotkeys << ReadSetting(t, "ReadSet", QString("HotKey%1").arg(i), "");
    for (const QString& h : hotkeys)
        EXPECT_FALSE(h.isEmpty());
    EXPECT_EQ(QSet<QString>(hotkeys.begin(), hotkeys.end()).size(), 7) << "hotkeys must be distinct";
    for (const char* key : {"FontBold", "FontItalic", "FontStrikethru", "FontUnderline"})
        EXPECT_EQ(ReadSetting(t, "FrmSet", key, "True"), "False") << key;
    EXPECT_FALSE(ReadSetting(t, "FrmSet", "FontName", "").isEmpty());
    EXPECT_EQ(ReadSetting(t, "FrmSet", "BColor", ""), "16777215");
}

TEST(Startup, LaterStartKeepsTheUsersSettingsFile)
{
    TempHome home;
    const QByteArray mine = "<Mine><ReadSet><Speed>3</Speed></ReadSet></Mine>";
    ASSERT_TRUE(putFile(home.settingsFile(), mine));
    Program p(home);
    ASSERT_TRUE(p.started);
    EXPECT_TRUE(p.runningAfter(1500));
    // The controller stores the device list (empty without sound) at every
    // start, but the file stays the user's: not replaced by the template.
    EXPECT_TRUE(waitUntil(
        [&] { return ReadSetting(home.settingsFile(), "ReadSet", "Devicesname", "<none>") != "<none>"; }, 5000));
    const QByteArray now = fileBytes(home.settingsFile());
    EXPECT_TRUE(now.startsWith("<Mine>")) << now.constData();
    EXPECT_EQ(ReadSetting(home.settingsFile(), "ReadSet", "Speed", ""), "3");
}

TEST(Startup, SecondStartSignalsTheFirstAndEnds)
{
    TempHome home;
    Program first(home);
    ASSERT_TRUE(first.started);
    // Loaded: the controller has recorded the voice list, its last write.
    ASSERT_TRUE(
        waitUntil([&] { return !ReadSetting(home.settingsFile(), "ReadSet", "Readers", "").isEmpty(); }, 30000));
    // A value that the first one leaves alone: it can turn "0" only by way
    // of the second start's "111", which the first one's poll resets.
    WriteSetting(home.settingsFile(), "ReadSet", "isopened", "7");

    Program second(home);
    ASSERT_TRUE(second.started);
    // It ends by itself, without waiting for the first one (the limit only
    // catches a second start that stays).
    ASSERT_TRUE(second.proc.waitForFinished(30000)) << "a second start must end by itself";
    EXPECT_EQ(second.proc.exitCode(), 0);
    EXPECT_TRUE(waitUntil([&] { return ReadSetting(home.settingsFile(), "ReadSet", "isopened", "") == "0"; }, 30000))
        << ReadSetting(home.settingsFile(), "ReadSet", "isopened", "").toStdString();
    EXPECT_TRUE(first.runningAfter(200));
}

TEST(Startup, InstanceLockOfAKilledProgramIsTakenOver)
{
    TempHome home;
    {
        Program crashed(home);
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(lockFile(home)); }, 10000));
        crashed.proc.kill();
        crashed.proc.waitForFinished(5000);
    }
    ASSERT_TRUE(QFile::exists(lockFile(home)));
    WriteSetting(home.settingsFile(), "ReadSet", "isopened", "0");
    Program next(home);
    EXPECT_TRUE(next.runningAfter(1500)) << "a lock left by a dead program must not block the next start";
    EXPECT_EQ(ReadSetting(home.settingsFile(), "ReadSet", "isopened", ""), "0");
}

TEST(Startup, AutomaticStartHonoursAutoRun)
{
    struct Case {
        QByteArray file;
        QStringList args;
        bool staysRunning;
    };
    const QList<Case> cases = {
        {"<r><FrmSet><AutoRun>False</AutoRun></FrmSet></r>", {"3250"}, false},
        {"<r><FrmSet><AutoRun>false</AutoRun></FrmSet></r>", {"3250"}, false},
        {"<r><FrmSet><AutoRun>0</AutoRun></FrmSet></r>", {"3250"}, false},
        {"<r><FrmSet><AutoRun>True</AutoRun></FrmSet></r>", {"3250"}, true},
        {"<r/>", {"3250"}, true},                                         // default "True"
        {"<r><FrmSet><AutoRun>yes</AutoRun></FrmSet></r>", {"3250"}, true}, // not a truth value
        {"no root here", {"3250"}, true},                                   // reads as ""
        {"<r><FrmSet><AutoRun>False</AutoRun></FrmSet></r>", {}, true},     // not an automatic start
        {"<r><FrmSet><AutoRun>False</AutoRun></FrmSet></r>", {"3250", "x"}, true},
        {"<r><FrmSet><AutoRun>False</AutoRun></FrmSet></r>", {"32500"}, true},
    };
    for (const Case& c : cases) {
        TempHome home;
        ASSERT_TRUE(putFile(home.settingsFile(), c.file));
        Program p(home, c.args);
        ASSERT_TRUE(p.started);
        if (c.staysRunning) {
            EXPECT_TRUE(p.runningAfter(1200)) << c.file.constData() << " " << c.args.join(' ').toStdString();
        } else {
            ASSERT_TRUE(p.proc.waitForFinished(3000)) << c.file.constData();
            EXPECT_EQ(p.proc.exitCode(), 0);
        }
    }
}

// A settings file the store cannot use is set aside, not lost, and the
// template takes its place; the user is told about both files.
TEST(Startup, UnusableSettingsFileIsSetAsideAndReplacedByTheTemplate)
{
    const QString templateFile = programDir() + "/Update.xml";
    // The template with the voice a new file gets.
    TempHome expected;
    const QString newFile = expected.path() + "/Update.xml";
    ASSERT_EQ(PrepareSettingsFile(templateFile, newFile), "");
    const QList<QByteArray> unusable = {
        "",
        QByteArray("\x00\x01\xff\xfe binary \x00", 14),
        "<Settings><ReadSet><Speed>3</Speed></Rea",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Settings><ReadSet><Speed>3</Speed></ReadSet></Settings>",
        "<!-- mine --><Settings/>",
        "<Settings>" + QByteArray("<a>").repeated(1000000) + QByteArray("</a>").repeated(1000000) + "</Settings>",
    };
    for (const QByteArray& bytes : unusable) {
        TempHome home;
        const QString file = home.settingsFile();
        ASSERT_TRUE(putFile(file, bytes));
        const QString notice = PrepareSettingsFile(templateFile, file);
        EXPECT_EQ(fileBytes(file), fileBytes(newFile)) << bytes.constData();
        const QStringList aside = QDir(QFileInfo(file).absolutePath()).entryList({"Update.xml.broken-*"});
        ASSERT_EQ(aside.size(), 1) << bytes.constData();
        const QString asideFile = QFileInfo(file).absolutePath() + "/" + aside[0];
        EXPECT_EQ(fileBytes(asideFile), bytes) << "nothing of the old file is lost";
        EXPECT_TRUE(aside[0].contains(QDate::currentDate().toString(Qt::ISODate)));
        EXPECT_TRUE(notice.contains(file) && notice.contains(asideFile)) << notice.toStdString();

        // A second broken file the same day does not overwrite the first.
        ASSERT_TRUE(putFile(file, bytes));
        PrepareSettingsFile(templateFile, file);
        EXPECT_EQ(QDir(QFileInfo(file).absolutePath()).entryList({"Update.xml.broken-*"}).size(), 2);
    }

    // A usable file is the user's: left as it is, nothing to tell.
    TempHome home;
    const QByteArray mine = "<Mine><ReadSet><Speed>3</Speed></ReadSet></Mine>";
    ASSERT_TRUE(putFile(home.settingsFile(), mine));
    EXPECT_EQ(PrepareSettingsFile(templateFile, home.settingsFile()), "");
    EXPECT_EQ(fileBytes(home.settingsFile()), mine);
}

TEST(Startup, ProgramStartsWithTheTemplateInPlaceOfAnUnusableSettingsFile)
{
    TempHome home;
    const QByteArray broken = "<?xml version=\"1.0\"?><Settings><ReadSet><Speed>3</Speed></ReadSet></Settings>";
    ASSERT_TRUE(putFile(home.settingsFile(), broken));
    Program p(home, {"3250"});
    ASSERT_TRUE(p.started);
    // The controller records the device list at load: the file works again.
    EXPECT_TRUE(waitUntil(
        [&] {
            return HasRootElement(home.settingsFile())
                && ReadSetting(home.settingsFile(), "ReadSet", "Devicesname", "<none>") != "<none>";
        },
        10000));
    EXPECT_EQ(ReadSetting(home.settingsFile(), "ReadSet", "HotKey1", ""),
              ReadSetting(programDir() + "/Update.xml", "ReadSet", "HotKey1", "?"));
    const QStringList aside = QDir(home.documents() + "/orvenic/vella").entryList({"Update.xml.broken-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(fileBytes(home.documents() + "/orvenic/vella/" + aside[0]), broken);
    EXPECT_TRUE(p.runningAfter(200));
}

TEST(Startup, UnusableDocumentsFolderStillStarts)
{
    TempHome home;
    ASSERT_TRUE(putFile(home.documents(), "a file where the folder should be"));
    Program p(home);
    ASSERT_TRUE(p.started);
    EXPECT_TRUE(p.runningAfter(1500));
    EXPECT_FALSE(QFile::exists(home.settingsFile()));
    EXPECT_TRUE(p.terminate());
}

TEST(StartupRules, TruthValuesAndFaces)
{
    EXPECT_EQ(TruthValue("TRUE"), true);
    EXPECT_EQ(TruthValue("false"), false);
    EXPECT_EQ(TruthValue("0"), false);
    EXPECT_EQ(TruthValue("-1"), true);
    EXPECT_EQ(TruthValue("2.5"), true);
    EXPECT_FALSE(TruthValue("").has_value());
    EXPECT_FALSE(TruthValue("yes").has_value());

    EXPECT_EQ(ChooseStartFace("1"), StartFace::FloatingBar);
    for (const char* v : {"2", "0", "", "abc", "11", "-1"})
        EXPECT_EQ(ChooseStartFace(v), StartFace::Splash) << v;
}

TEST(SettingsFile, AlwaysReadableWhenAWriterIsKilled)
{
    TempHome home;
    const QString file = home.path() + "/Update.xml";
    ASSERT_TRUE(putFile(file, "<Settings><ReadSet><Speed>1</Speed></ReadSet></Settings>"));
    for (int round = 0; round < 15; ++round) {
        QProcess writer;
        writer.start(programDir() + "/settings_writer", {file, "100000"});
        ASSERT_TRUE(writer.waitForStarted(5000));
        ASSERT_TRUE(writer.waitForReadyRead(10000));
        QThread::msleep(QRandomGenerator::global()->bounded(5, 60));
        writer.kill();
        writer.waitForFinished(5000);

        const QByteArray bytes = fileBytes(file);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_buffer(bytes.constData(), bytes.size())) << "round " << round << ": torn file";
        EXPECT_EQ(ReadSetting(file, "ReadSet", "Speed", ""), "1");
        bool ok = false;
        ReadSetting(file, "ReadSet", "Counter", "").toInt(&ok);
        EXPECT_TRUE(ok) << "round " << round;
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
