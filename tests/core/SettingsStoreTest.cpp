#include "core/Globals.h"
#include "core/MessageBox.h"
#include "core/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file = dir.path() + "/Update.xml";

    void put(const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QByteArray contents() const
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString read(const QString& section, const QString& key, const QString& def = "dflt")
    {
        return ReadSetting(file, section, key, def);
    }
};

TEST_F(SettingsStoreTest, MissingFileReadsEmptyAndIsNeverCreated)
{
    EXPECT_EQ(read("ReadSet", "Speed", "0"), "");
    WriteSetting(file, "ReadSet", "Speed", "2");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(read("ReadSet", "Speed", "0"), "");
}

TEST_F(SettingsStoreTest, EmptyOrMalformedFileReadsEmptyAndIsLeftAlone)
{
    // Nested thousands of levels deep: no settings file (and writing it
    // back indented would take the square of its depth).
    const QByteArray deep = "<Settings><ReadSet><Speed>2</Speed></ReadSet>" + QByteArray("<a>").repeated(3000)
        + QByteArray("</a>").repeated(3000) + "</Settings>";
    const QList<QByteArray> bad = {"", "   \n", "<root><ReadSet><Speed>2</Speed></root>", "not xml at all",
                                   "<!-- only a comment -->", QByteArray("\xff\xfe\x00<\x01", 5), deep};
    for (const QByteArray& b : bad) {
        put(b);
        EXPECT_EQ(read("ReadSet", "Speed", "0"), "") << b.toStdString();
        WriteSetting(file, "ReadSet", "Speed", "2");
        EXPECT_EQ(contents(), b) << "a file without a root was changed";
    }
}

TEST_F(SettingsStoreTest, EmptyRootGivesDefaultThenWriteBuildsSectionAndKey)
{
    put("<Settings/>");
    EXPECT_EQ(read("ReadSet", "Speed", "0"), "0");
    WriteSetting(file, "ReadSet", "Speed", "2");
    EXPECT_EQ(read("ReadSet", "Speed", "0"), "2");

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(contents().constData()));
    const pugi::xml_node root = doc.first_child();
    EXPECT_STREQ(root.name(), "Settings");
    EXPECT_STREQ(root.first_child().name(), "ReadSet");
    EXPECT_FALSE(root.first_child().next_sibling());
    EXPECT_STREQ(root.child("ReadSet").first_child().name(), "Speed");
    EXPECT_STREQ(root.child("ReadSet").child("Speed").text().get(), "2");
}

TEST_F(SettingsStoreTest, EmptyKeyReadsEmptyNotDefault)
{
    put("<r><ReadSet><Speed></Speed><Reader/></ReadSet></r>");
    EXPECT_EQ(read("ReadSet", "Speed", "0"), "");
    EXPECT_EQ(read("ReadSet", "Reader", "0"), "");
    EXPECT_EQ(read("ReadSet", "Missing", "7"), "7");
    EXPECT_EQ(read("FrmSet", "Speed", "8"), "8");
}

TEST_F(SettingsStoreTest, RewriteKeepsOrderAndNewKeysGoLast)
{
    put("<r><ReadSet><A>1</A><B>2</B><C>3</C></ReadSet><FrmSet><X>x</X></FrmSet></r>");
    WriteSetting(file, "ReadSet", "B", "two");
    WriteSetting(file, "ReadSet", "D", "4");
    WriteSetting(file, "Other", "K", "k");

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(contents().constData()));
    QStringList order;
    for (pugi::xml_node n : doc.first_child().child("ReadSet").children())
        order << n.name();
    EXPECT_EQ(order, QStringList({"A", "B", "C", "D"}));
    QStringList sections;
    for (pugi::xml_node n : doc.first_child().children())
        sections << n.name();
    EXPECT_EQ(sections, QStringList({"ReadSet", "FrmSet", "Other"}));
    EXPECT_EQ(read("ReadSet", "B"), "two");
    EXPECT_EQ(read("FrmSet", "X"), "x");
}

TEST_F(SettingsStoreTest, WritingTheValueAKeyHoldsLeavesTheFileAlone)
{
    // Written by hand, unindented: a rewrite would change the bytes.
    const QByteArray original = "<r><ReadSet><Speed>2</Speed><Empty/><Note>a<!--c-->b</Note>"
                                "<Sp> 2 </Sp></ReadSet></r>";
    put(original);
    // A read-only file shows that nothing tried to replace it.
    QFile::setPermissions(file, QFile::ReadOwner);
    WriteSetting(file, "ReadSet", "Speed", "2");
    WriteSetting(file, "ReadSet", "Empty", "");
    EXPECT_EQ(contents(), original);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

    // Anything else is written by the rules: the key's whole content becomes
    // the value, even where its text reads the same; a missing key or
    // section is added even for an empty value.
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {{"ReadSet", "Speed", "3"}, {"ReadSet", "Note", "ab"}, {"ReadSet", "Sp", "2"},
                  {"ReadSet", "New", ""}, {"Other", "Key", ""}};
    for (const auto& w : writes) {
        const QByteArray before = contents();
        WriteSetting(file, w.section, w.key, w.value);
        EXPECT_NE(contents(), before) << w.key;
        EXPECT_EQ(read(w.section, w.key), w.value) << w.key;
    }
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(contents().constData(), pugi::parse_default | pugi::parse_comments));
    const pugi::xml_node note = doc.first_child().child("ReadSet").child("Note");
    EXPECT_EQ(note.first_child().type(), pugi::node_pcdata);
    EXPECT_FALSE(note.first_child().next_sibling()) << "the comment is gone with the old content";
}

TEST_F(SettingsStoreTest, NamesAreCaseSensitive)
{
    put("<r/>");
    WriteSetting(file, "ReadSet", "StartUp", "1");
    WriteSetting(file, "ReadSet", "startup", "0");
    EXPECT_EQ(read("ReadSet", "StartUp"), "1");
    EXPECT_EQ(read("ReadSet", "startup"), "0");
    EXPECT_EQ(read("readset", "StartUp", "none"), "none");
}

TEST_F(SettingsStoreTest, FirstMatchingChildCountsOthersUntouched)
{
    put("<r><ReadSet a=\"1\"><Speed>1</Speed><Speed>2</Speed></ReadSet><ReadSet><Speed>3</Speed></ReadSet></r>");
    EXPECT_EQ(read("ReadSet", "Speed"), "1");
    WriteSetting(file, "ReadSet", "Speed", "9");
    EXPECT_EQ(read("ReadSet", "Speed"), "9");
    const QByteArray c = contents();
    EXPECT_TRUE(c.contains("<Speed>2</Speed>"));
    EXPECT_TRUE(c.contains("<Speed>3</Speed>"));
    EXPECT_TRUE(c.contains("a=\"1\""));
}

TEST_F(SettingsStoreTest, ValuesWithMarkupCharactersRoundTrip)
{
    put("<r/>");
    const QStringList values = {"a<b&c;d>e", "\"quoted\" 'x'", "0;1;2;", "ünïcödé €", "  padded  ",
                                "line1\nline2", "]]>", "tab\there"};
    int i = 0;
    for (const QString& v : values) {
        const QString key = QString("K%1").arg(i++);
        WriteSetting(file, "ReadSet", key, v);
        EXPECT_EQ(read("ReadSet", key), v);
    }
    // The file stays readable XML with the values escaped in it.
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(contents().constData()));
    EXPECT_TRUE(contents().contains("a&lt;b&amp;c;d"));
}

TEST_F(SettingsStoreTest, NothingBeforeTheRootIsAccepted)
{
    const QList<QByteArray> prefixed = {"<?xml version=\"1.0\"?><r><ReadSet><Speed>1</Speed></ReadSet></r>",
                                        "<!-- c --><r><ReadSet><Speed>1</Speed></ReadSet></r>",
                                        "<?pi x?><r/>", "<!DOCTYPE r><r/>"};
    for (const QByteArray& b : prefixed) {
        put(b);
        EXPECT_THROW(read("ReadSet", "Speed"), SettingsError) << b.toStdString();
        EXPECT_THROW(WriteSetting(file, "ReadSet", "Speed", "2"), SettingsError) << b.toStdString();
        EXPECT_EQ(contents(), b);
    }
}

TEST_F(SettingsStoreTest, WrittenFileKeepsRootFirstAndComments)
{
    put("<r><!-- keep me --><ReadSet><Speed>1</Speed></ReadSet></r><!-- tail -->");
    WriteSetting(file, "ReadSet", "Speed", "3");
    const QByteArray c = contents();
    EXPECT_TRUE(c.startsWith("<r>")) << c.toStdString();
    EXPECT_TRUE(c.contains("keep me"));
    EXPECT_TRUE(c.contains("tail"));
    EXPECT_EQ(read("ReadSet", "Speed"), "3");
}

TEST_F(SettingsStoreTest, NonUtf8BytesDoNotBreakTheFile)
{
    put("<r><FrmSet><FontName>Caf\xe9</FontName></FrmSet></r>");
    EXPECT_FALSE(read("FrmSet", "FontName").isEmpty());
    WriteSetting(file, "ReadSet", "Speed", "1");
    EXPECT_EQ(read("ReadSet", "Speed"), "1");
    EXPECT_TRUE(contents().contains("Caf\xe9")) << "bytes of other values must be kept as they were";
}

// Makes this thread reach files as another user while it lives; root's
// right to write anywhere goes with it.
class FileSystemUser {
public:
    explicit FileSystemUser(uid_t uid) : old_(::setfsuid(uid)) {}
    ~FileSystemUser() { ::setfsuid(old_); }

private:
    uid_t old_;
};

// A settings file that cannot be saved, because of the file or of its
// folder: every write reports the error to its caller and leaves the file
// as it was, and the user is told once, naming the file.
TEST_F(SettingsStoreTest, UnwritableFileOrFolderReportsOncePerRunAndKeepsTheFile)
{
    const QString savedSettingsFile = globals.SettingsFile;
    QList<MsgBoxCall> told;
    SetMsgBoxAnswerer([&told](const MsgBoxCall& call) {
        told << call;
        return int(vbOK);
    });
    const auto writeTwice = [](const QString& f) {
        EXPECT_THROW(WriteSetting(f, "ReadSet", "Speed", "2"), SettingsError);
        EXPECT_THROW(WriteSetting(f, "ReadSet", "Reader", "1"), SettingsError);
        QCoreApplication::processEvents();
        EXPECT_EQ(ReadSetting(f, "ReadSet", "Speed", ""), "1");
    };

    // A read-only file: refused even for root.
    put("<r><ReadSet><Speed>1</Speed></ReadSet></r>");
    QFile::setPermissions(file, QFile::ReadOwner);
    writeTwice(file); // not the program's settings file: nothing to tell
    EXPECT_TRUE(told.isEmpty());
    globals.SettingsFile = file;
    writeTwice(file);
    writeTwice(file);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].prompt.contains(file)) << told[0].prompt.toStdString();
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);

    // A folder that cannot be written (to another user than root).
    const QString folder = dir.path() + "/locked";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString inLocked = folder + "/Update.xml";
    QFile f(inLocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<r><ReadSet><Speed>1</Speed></ReadSet></r>");
    f.close();
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto enterable = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(dir.path(), readable | enterable | QFile::WriteOwner);
    QFile::setPermissions(folder, readable | enterable);
    QFile::setPermissions(inLocked, readable | QFile::WriteOwner);
    globals.SettingsFile = inLocked;
    {
        const FileSystemUser nobody(::geteuid() == 0 ? 65534 : ::geteuid());
        writeTwice(inLocked);
    }
    QFile::setPermissions(folder, readable | enterable | QFile::WriteOwner);
    ASSERT_EQ(told.size(), 2);
    EXPECT_TRUE(told[1].prompt.contains(inLocked)) << told[1].prompt.toStdString();

    globals.SettingsFile = savedSettingsFile;
    SetMsgBoxAnswerer({});
}

TEST_F(SettingsStoreTest, InvalidNamesAreRefusedWithoutDamage)
{
    put("<r><ReadSet><Speed>1</Speed></ReadSet></r>");
    EXPECT_THROW(WriteSetting(file, "Read Set", "Speed", "2"), SettingsError);
    EXPECT_THROW(WriteSetting(file, "ReadSet", "", "2"), SettingsError);
    EXPECT_THROW(WriteSetting(file, "ReadSet", "1st", "2"), SettingsError);
    EXPECT_EQ(read("ReadSet", "Speed"), "1");
}

TEST_F(SettingsStoreTest, KeepsFilePermissions)
{
    put("<r/>");
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    WriteSetting(file, "ReadSet", "Speed", "1");
    const QFile::Permissions p = QFile::permissions(file);
    EXPECT_TRUE(p.testFlag(QFile::ReadOwner) && p.testFlag(QFile::WriteOwner));
    EXPECT_FALSE(p.testFlag(QFile::ReadGroup) || p.testFlag(QFile::ReadOther));
}

} // namespace
