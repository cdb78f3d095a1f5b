// RTF files made by other programs, opened through File > Open and saved
// through File > Save with no edit between, and what LibreOffice reads
// from each original and its saved copy.
//
// TAMSEL_RTF_CORPUS names another folder of RTF files to use; with
// TAMSEL_RTF_MEASURE=1 the round trip prints its figures and asserts
// nothing; TAMSEL_RTF_KEEP names a folder that keeps the saved copies.
#include "mainwindow/MainWindowFixture.h"
#include "rtfroundtrip/RoundTripFigures.h"

#include <cstdio>

namespace {

QStringList Corpus()
{
    const QDir dir(qEnvironmentVariable("TAMSEL_RTF_CORPUS", QStringLiteral(TAMSEL_RTF_CORPUS)));
    QStringList files;
    for (const QFileInfo& f : dir.entryInfoList({"*.rtf"}, QDir::Files, QDir::Name))
        files << f.absoluteFilePath();
    return files;
}

TEST(RtfComparator, SeesWhatEachCorpusFileHoldsAndNoDifferenceBetweenEqualFiles)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.rtf");
    ASSERT_TRUE(PutFile(empty, "{\\rtf1\\ansi\\pard\\par}"));
    std::vector<std::pair<QString, QString>> pairs;
    for (const QString& file : Corpus()) {
        pairs.emplace_back(file, file);
        pairs.emplace_back(file, empty);
    }
    ASSERT_FALSE(pairs.empty());
    std::vector<RoundTripFigures> figures;
    QString error;
    ASSERT_TRUE(compareRtfFiles(pairs, figures, &error)) << error.toStdString();

    // What each file of the corpus is made to hold, as LibreOffice reads it:
    // all of it is lost beside an empty file.
    struct Holding {
        const char* file;
        std::vector<const char*> kinds;
        std::vector<const char*> places; // where words stand
        std::vector<const char*> words;
    };
    const Holding holdings[] = {
        {"char-formats.rtf", {"superscript character", "subscript character"}, {}, {"Capitals"}},
        {"headers-notes-hidden.rtf",
         {"header", "footer", "footnote", "endnote", "field", "hidden character"},
         {"header", "footer", "note", "hidden"},
         {"secret"}},
        {"kept-destinations.rtf",
         {"header", "footer", "footnote", "field", "bookmark", "hidden character"},
         {"header", "footer", "note", "hidden"},
         {"treasurer"}},
        {"links-fields-bookmarks.rtf", {"link", "linked character", "field", "bookmark"}, {}, {}},
        {"lists.rtf", {"list paragraph", "numbered list paragraph", "list paragraph below level 1"}, {}, {}},
        {"nested-table-props.rtf", {"table", "nested table"}, {}, {"alpha"}},
        {"paragraphs.rtf",
         {"centred paragraph", "right-aligned paragraph", "justified paragraph", "indented paragraph",
          "spaced paragraph", "right-to-left paragraph"},
         {},
         {"שלום", "مرحبا"}},
        {"pictures.rtf", {"picture"}, {}, {}},
        {"pictures-pict.rtf", {"picture"}, {}, {}},
        {"scripts.rtf", {"right-to-left paragraph"}, {}, {"粗体文字", "מודגשת"}},
        {"shapes.rtf", {"text box", "drawing object"}, {"text box"}, {"Shape"}},
        {"stylesheet.rtf", {"centred paragraph", "indented paragraph"}, {}, {}},
        {"tables.rtf", {"table", "nested table", "table row", "table cell"}, {}, {"Gooseberry"}},
        {"unicode-symbol.rtf", {}, {}, {"Café", "Привет", "α", "β"}},
    };
    for (size_t i = 0; i + 1 < figures.size(); i += 2) {
        const RoundTripFigures& same = figures[i];
        RoundTripFigures none = figures[i + 1];
        const std::string name = same.name.toStdString();
        EXPECT_TRUE(same.lossless()) << same.summary().toStdString();
        EXPECT_GT(none.words, 0) << name;
        EXPECT_EQ(none.wordsLost, none.words) << name;
        const auto holding = std::find_if(std::begin(holdings), std::end(holdings),
                                          [&](const Holding& h) { return name == h.file; });
        if (holding == std::end(holdings))
            continue;
        for (const char* kind : holding->kinds)
            EXPECT_GT(none.structures[kind].first, 0) << name << ": " << kind;
        for (const char* place : holding->places)
            EXPECT_GT(none.wordsLostIn[place], 0) << name << ": words in " << place;
        for (const char* word : holding->words)
            EXPECT_TRUE(none.someLostWords.contains(QString::fromUtf8(word))) << name << ": " << word;
    }
}

class RtfRoundTrip : public MainWindowFixture {};

TEST_F(RtfRoundTrip, OpenAndSaveKeepWhatLibreOfficeReads)
{
    // A new user's settings, with the look they configure for documents.
    ASSERT_TRUE(QFile::remove(globals.IniFile));
    ASSERT_TRUE(QFile::copy(ProgramDir() + "/Update.xml", globals.IniFile));
    MakeMain();
    const QString keep = qEnvironmentVariable("TAMSEL_RTF_KEEP");
    std::vector<std::pair<QString, QString>> pairs;
    for (const QString& original : Corpus()) {
        const QString name = QFileInfo(original).fileName();
        const QString copy = keep.isEmpty() ? path(name) : QDir(keep).absoluteFilePath(name);
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(original, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        fileAnswers.push_back(copy);
        main->mnuFileOpen_Click();
        ASSERT_NE(Active(), nullptr);
        ASSERT_EQ(Active()->windowTitle(), copy);
        main->mnuFileSave_Click();
        EXPECT_TRUE(main->lastSaveSucceeded()) << copy.toStdString();
        pairs.emplace_back(original, copy);
    }
    ASSERT_FALSE(pairs.empty());
    std::vector<RoundTripFigures> figures;
    QString error;
    ASSERT_TRUE(compareRtfFiles(pairs, figures, &error)) << error.toStdString();
    std::printf("%s", qPrintable(figuresTable(figures)));
    if (qEnvironmentVariableIntValue("TAMSEL_RTF_MEASURE"))
        return;
    for (const RoundTripFigures& f : figures)
        EXPECT_TRUE(f.lossless()) << f.summary().toStdString();
}

} // namespace
