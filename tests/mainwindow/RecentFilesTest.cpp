// The recent-files list: what is stored, what the File menu shows, and how
// the two differ after a listed file is opened again.
#include "MainWindowFixture.h"

#include "core/SettingsStore.h"
#include "mainwindow/RecentFiles.h"

#include <QAction>

namespace {

class RecentFilesTest : public MainWindowFixture {
protected:
    // A main window that has loaded the stored list (no documents).
    void Start()
    {
        delete main;
        main = new frmMain;
        LoadRecentFiles(main);
    }

    QStringList Menu() const
    {
        QStringList captions;
        for (int k = 1; k < main->mnuRUF.size(); ++k)
            captions << main->mnuRUF[k]->text();
        return captions;
    }

    QStringList Stored() const
    {
        QStringList paths;
        for (int k = 1; k <= 5; ++k)
            paths << ReadSetting(globals.IniFile, "FrmSet", QString("Rf%1").arg(k), "");
        return paths;
    }

    QString Count() const { return ReadSetting(globals.IniFile, "FrmSet", "noRUF", "<none>"); }

    void AddAll(const QStringList& paths)
    {
        for (const QString& p : paths)
            AddRecentFile(p);
    }
};

TEST_F(RecentFilesTest, NoStoredListWritesZeroAndLeavesOneEmptyEntry)
{
    Start();
    EXPECT_EQ(Count(), "0");
    EXPECT_EQ(Menu(), QStringList{""});
    EXPECT_EQ(recentFiles.RufCount, 0);
    EXPECT_EQ(recentFiles.RufMax, 5);
}

TEST_F(RecentFilesTest, FirstFileFillsTheFirstEntry)
{
    Start();
    AddRecentFile("/docs/a.txt");
    EXPECT_EQ(Menu(), QStringList{"/docs/a.txt"}) << "no second entry is made";
    EXPECT_EQ(Count(), "1");
    EXPECT_EQ(Stored().first(), "/docs/a.txt");
}

TEST_F(RecentFilesTest, NewestFirstAndTheOldestDropsAfterFive)
{
    Start();
    AddAll({"/d/1", "/d/2", "/d/3", "/d/4", "/d/5"});
    EXPECT_EQ(Menu(), (QStringList{"/d/5", "/d/4", "/d/3", "/d/2", "/d/1"}));
    AddRecentFile("/d/6");
    EXPECT_EQ(Count(), "5");
    EXPECT_EQ(recentFiles.RufCount, 5);
    EXPECT_EQ(Menu(), (QStringList{"/d/6", "/d/5", "/d/4", "/d/3", "/d/2"}));
    EXPECT_EQ(Stored(), Menu());

    // The next start shows the stored list.
    Start();
    EXPECT_EQ(Menu(), (QStringList{"/d/6", "/d/5", "/d/4", "/d/3", "/d/2"}));
}

TEST_F(RecentFilesTest, ReopeningAListedFileMovesItUpInTheMenuOnly)
{
    Start();
    AddAll({"/d/c", "/d/b", "/d/a"}); // menu: a, b, c
    const QStringList stored = Stored();
    AddRecentFile("/d/c");
    EXPECT_EQ(Menu(), (QStringList{"/d/c", "/d/a", "/d/b"}));
    EXPECT_EQ(Stored(), stored);
    EXPECT_EQ(Count(), "3");

    AddRecentFile("/d/c"); // already first: nothing
    EXPECT_EQ(Menu(), (QStringList{"/d/c", "/d/a", "/d/b"}));

    Start();
    EXPECT_EQ(Menu(), (QStringList{"/d/a", "/d/b", "/d/c"})) << "a restart brings the stored order back";

    // The next new entry rewrites the menu from the stored order.
    Start();
    AddRecentFile("/d/c");
    AddRecentFile("/d/new");
    EXPECT_EQ(Menu(), (QStringList{"/d/new", "/d/a", "/d/b", "/d/c"}));
}

TEST_F(RecentFilesTest, PathsDifferingInLetterCaseAreTwoEntries)
{
    Start();
    AddAll({"/d/Notes.txt", "/d/notes.txt"});
    EXPECT_EQ(Menu(), (QStringList{"/d/notes.txt", "/d/Notes.txt"}));
    EXPECT_EQ(Count(), "2");
}

TEST_F(RecentFilesTest, DamagedCountReadsAsAnUsableList)
{
    WriteSetting(globals.IniFile, "FrmSet", "Rf1", "/d/x");
    WriteSetting(globals.IniFile, "FrmSet", "Rf2", "/d/y");
    WriteSetting(globals.IniFile, "FrmSet", "noRUF", "17");
    Start();
    EXPECT_EQ(recentFiles.RufCount, 5);
    EXPECT_EQ(Menu().mid(0, 2), (QStringList{"/d/x", "/d/y"}));
    AddRecentFile("/d/z");
    EXPECT_EQ(Menu().size(), 5) << "never more than five";
    EXPECT_EQ(Menu().first(), "/d/z");
    EXPECT_EQ(Stored().first(), "/d/z");

    WriteSetting(globals.IniFile, "FrmSet", "noRUF", "many");
    Start();
    EXPECT_EQ(recentFiles.RufCount, 0);
    EXPECT_EQ(Menu(), QStringList{""});
}

TEST_F(RecentFilesTest, OpeningAndSavingFilesFillsTheList)
{
    Start();
    delete main;
    main = nullptr;
    LoadMain(); // the welcome document is listed like any file opened
    const QString welcome = globals.AppFolder + "/first.txt";
    EXPECT_EQ(Menu(), QStringList{welcome});

    main->mnuFileNew_Click();
    Type("a new text");
    // An "&" of the path is shown as itself, not taken as an access key.
    const QString saved = path("R&D notes.txt");
    const QString shown = path("R&&D notes.txt");
    fileAnswers.push_back(saved);
    main->mnuFileSave_Click();
    EXPECT_EQ(Menu(), (QStringList{shown, welcome}));
    EXPECT_EQ(Stored().first(), saved);

    // Choosing an entry opens the file again and keeps it listed first.
    main->mnuRUF_Click(1);
    EXPECT_EQ(Active()->windowTitle(), saved);
    EXPECT_EQ(ActiveText(), "a new text");
    EXPECT_EQ(Menu(), (QStringList{shown, welcome}));

    // An entry whose file is gone opens nothing and stays.
    ASSERT_TRUE(QFile::remove(saved));
    const int count = documentTable.DocCount;
    main->mnuRUF_Click(1);
    EXPECT_EQ(documentTable.DocCount, count);
    EXPECT_EQ(Menu(), (QStringList{shown, welcome}));
    EXPECT_TRUE(boxes.empty());
}

} // namespace
