#include "core/Globals.h"
#include "mainwindow/Skin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Points AppFolder at a folder for one test and puts it back afterwards.
class ProgramFolder {
public:
    explicit ProgramFolder(const QString& path) : saved_(globals.AppFolder) { globals.AppFolder = path; }
    ~ProgramFolder() { globals.AppFolder = saved_; }

private:
    QString saved_;
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void WritePng(const QString& path, QColor color)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path, "PNG"));
}

int CountPixels(const QImage& image, QColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == color.rgb())
                ++n;
    return n;
}

QImage Render(QPushButton& button)
{
    button.resize(48, 36);
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Collects Qt warnings (style sheet parse errors among them).
QStringList g_warnings;
void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}

// The skin files the program loads, as its code names them.
const char* const kShippedSkins[] = {
    "\\button.skn",  "\\kate.skn",       "\\paul.skn",       "\\labaicon.skn",  "\\previewL.skn",
    "\\previewR.skn", "\\Miniboard.skn", "\\more.skn",       "\\BBC.skn",       "\\mainplay.skn",
    "\\pause.skn",   "\\mainstop.skn",   "\\next.skn",       "\\previous.skn",  "\\tryit.skn",
    "\\Miniplay.skn", "\\Minipause.skn", "\\miniplay.skn",   "\\Ministop.skn",  "\\Minimp3.skn",
    "\\Minigoto.skn", "\\Minisetting.skn", "\\Minimize.skn", "\\Miniclose.skn",
};

}  // namespace

TEST(Skin, ProgramFilesAreFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    WriteFile(dir.path() + "/Miniplay.skn", "QPushButton { color: red; }");
    WriteFile(dir.path() + "/Pic/PopClose1.gif", "GIF89a");
    const QString play = QFileInfo(dir.path() + "/Miniplay.skn").absoluteFilePath();
    const QString gif = QFileInfo(dir.path() + "/Pic/PopClose1.gif").absoluteFilePath();

    EXPECT_EQ(FindProgramFile("\\Miniplay.skn"), play);
    EXPECT_EQ(FindProgramFile("\\miniplay.skn"), play);
    EXPECT_EQ(FindProgramFile("/MINIPLAY.SKN"), play);
    EXPECT_EQ(FindProgramFile("miniplay.skn"), play);
    EXPECT_EQ(FindProgramFile("pic\\popclose1.gif"), gif);
    EXPECT_EQ(FindProgramFile("\\PIC/popCLOSE1.GIF"), gif);

    EXPECT_TRUE(FindProgramFile("\\miniplay.sk").isEmpty());
    EXPECT_TRUE(FindProgramFile("\\nothere.skn").isEmpty());
    EXPECT_TRUE(FindProgramFile("\\pic").isEmpty()) << "a folder is not a file";
    EXPECT_TRUE(FindProgramFile(QString()).isEmpty());
}

TEST(Skin, ExactCaseWinsWhenTwoFilesDifferOnlyInCase)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    WriteFile(dir.path() + "/Next.skn", "a");
    WriteFile(dir.path() + "/next.skn", "b");
    EXPECT_EQ(QFileInfo(FindProgramFile("\\next.skn")).fileName(), QStringLiteral("next.skn"));
    EXPECT_EQ(QFileInfo(FindProgramFile("\\Next.skn")).fileName(), QStringLiteral("Next.skn"));
}

TEST(Skin, LoadsFromAFullPathWrittenWithBackslashAndOtherCase)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    WriteFile(dir.path() + "/Miniplay.skn", "QPushButton { background-color: #00ff00; border: none; }");
    Skin skin;
    ASSERT_TRUE(skin.LoadSkin(globals.AppFolder + "\\miniplay.skn"));
    EXPECT_TRUE(skin.IsLoaded());
    EXPECT_TRUE(skin.StyleSheet().contains("#00ff00"));

    QPushButton button;
    skin.ApplySkin(&button);
    EXPECT_GT(CountPixels(Render(button), QColor(0, 255, 0)), 48 * 36 / 2);
}

TEST(Skin, MissingFileLeavesTheWidgetPlain)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    WriteFile(dir.path() + "/good.skn", "QPushButton { background-color: #00ff00; border: none; }");

    Skin skin;
    ASSERT_TRUE(skin.LoadSkin("\\good.skn"));
    // A later failing load drops what the earlier one read.
    EXPECT_FALSE(skin.LoadSkin(globals.AppFolder + "\\gone.skn"));
    EXPECT_FALSE(skin.IsLoaded());
    EXPECT_TRUE(skin.StyleSheet().isEmpty());
    EXPECT_TRUE(skin.FileName().isEmpty());

    QPushButton plain;
    QPushButton skinned;
    skin.ApplySkin(&skinned);
    skin.ApplySkin(nullptr);
    EXPECT_TRUE(skinned.styleSheet().isEmpty());
    EXPECT_EQ(CountPixels(Render(skinned), QColor(0, 255, 0)), 0);
    EXPECT_EQ(Render(skinned), Render(plain));
}

TEST(Skin, UnreadableFileIsNotLoaded)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    QDir(dir.path()).mkpath("folder.skn");
    Skin skin;
    EXPECT_FALSE(skin.LoadSkin("\\folder.skn"));
    EXPECT_FALSE(skin.LoadSkin(QString()));
    EXPECT_FALSE(skin.IsLoaded());
}

TEST(Skin, RelativeImageIsTakenFromBesideTheSkinFile)
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    ProgramFolder folder(dir.path());
    WriteFile(dir.path() + "/Dot.skn",
              "QPushButton { background-color: #ffffff; border: none; image: url(Skins/Red.PNG); }");
    WritePng(dir.path() + "/skins/red.png", QColor(255, 0, 0));

    // Qt would look a relative image up from the working folder; make sure
    // that is somewhere else.
    const QString savedCwd = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    Skin skin;
    const bool loaded = skin.LoadSkin("\\dot.skn");
    QPushButton button;
    skin.ApplySkin(&button);
    const QImage image = Render(button);
    QDir::setCurrent(savedCwd);

    ASSERT_TRUE(loaded);
    const QString png = QFileInfo(dir.path() + "/skins/red.png").absoluteFilePath();
    EXPECT_TRUE(skin.StyleSheet().contains("url(\"" + png + "\")")) << skin.StyleSheet().toStdString();
    EXPECT_GE(CountPixels(image, QColor(255, 0, 0)), 12 * 12);
}

TEST(Skin, AbsoluteResourceAndQuotedUrlsAreKept)
{
    QTemporaryDir dir;
    ProgramFolder folder(dir.path());
    WritePng(dir.path() + "/a b.png", QColor(0, 0, 255));
    WriteFile(dir.path() + "/u.skn",
              "QPushButton { image: url(:/icons/x.png); }\n"
              "QPushButton:hover { image: url(/usr/share/none.png); }\n"
              "QPushButton:pressed { image: url( 'a b.png' ); }\n");
    Skin skin;
    ASSERT_TRUE(skin.LoadSkin("u.skn"));
    EXPECT_TRUE(skin.StyleSheet().contains("url(:/icons/x.png)"));
    EXPECT_TRUE(skin.StyleSheet().contains("url(/usr/share/none.png)"));
    EXPECT_TRUE(skin.StyleSheet().contains("url(\"" + QFileInfo(dir.path() + "/a b.png").absoluteFilePath() + "\")"))
        << skin.StyleSheet().toStdString();
}

TEST(Skin, EveryShippedSkinLoadsAndDrawsItsButton)
{
    const QString programDir = qEnvironmentVariable("TAMSEL_PROGRAM_DIR");
    ASSERT_FALSE(programDir.isEmpty()) << "TAMSEL_PROGRAM_DIR names the built program folder";
    ProgramFolder folder(QDir::cleanPath(programDir));

    static const QRegularExpression urlRef(QStringLiteral(R"re(url\("([^"]+)"\))re"));
    QPushButton plain;
    const QImage plainImage = Render(plain);
    for (const char* name : kShippedSkins) {
        SCOPED_TRACE(name);
        Skin skin;
        ASSERT_TRUE(skin.LoadSkin(globals.AppFolder + QString::fromLatin1(name)));
        for (auto it = urlRef.globalMatch(skin.StyleSheet()); it.hasNext();) {
            const QString file = it.next().captured(1);
            EXPECT_TRUE(QImage(file).width() > 0) << file.toStdString();
        }
        EXPECT_FALSE(skin.StyleSheet().contains(QRegularExpression(R"(url\([^"])")))
            << "every image of a shipped skin resolves to a file";

        g_warnings.clear();
        const QtMessageHandler old = qInstallMessageHandler(CollectWarnings);
        QPushButton button;
        skin.ApplySkin(&button);
        const QImage image = Render(button);
        QPushButton off;
        off.setEnabled(false);
        skin.ApplySkin(&off);
        const QImage offImage = Render(off);
        qInstallMessageHandler(old);

        EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join('\n').toStdString();
        EXPECT_NE(image, plainImage);
        EXPECT_NE(offImage, image) << "a disabled button looks different";
    }
}
