// The advert list: file format, positions, comments, failures, and the
// shipped file.
#include "MainWindowFixture.h"

#include "core/ServerAddress.h"
#include "mainwindow/AdList.h"

#include <QUrl>

namespace {

class AdListTest : public SettingsFixture {
protected:
    void SetUp() override
    {
        SettingsFixture::SetUp();
        AdList.clear();
        AdCount = 0;
    }

    // Loads the list from a file with this content.
    void Load(const QByteArray& xml)
    {
        const QString file = path("AdList.xml");
        ASSERT_TRUE(PutFile(file, xml));
        LoadAdListFrom(file);
    }
};

TEST_F(AdListTest, EntriesGiveCaptionAndLinkByPosition)
{
    Load("<Ads>\n"
         "  <Ad><Caption>One</Caption><Link>http://a/1</Link></Ad>\n"
         "  <Item><x>Two</x><y>http://a/2</y><z>ignored</z></Item>\n"
         "  <Ad><Link>Three</Link><Caption>http://a/3</Caption></Ad>\n"
         "</Ads>");
    EXPECT_EQ(AdCount, 3);
    EXPECT_EQ(AdList, (QStringList{"One", "http://a/1", "Two", "http://a/2", "Three", "http://a/3"}));
}

TEST_F(AdListTest, TextIsAllTheTextInsideANode)
{
    Load("<Ads><Ad><C>Big <b>news</b><![CDATA[ & more]]></C><L> http://a/x </L></Ad></Ads>");
    ASSERT_EQ(AdCount, 1);
    EXPECT_EQ(AdList[0], "Big news & more");
    EXPECT_EQ(AdList[1], "http://a/x");
}

TEST_F(AdListTest, CommentsAndShortEntriesCountWithEmptyStrings)
{
    Load("<Ads>"
         "<Ad><C>First</C><L>http://a/1</L></Ad>"
         "<!-- between the entries -->"
         "<Ad><C>Caption only</C></Ad>"
         "<Ad/>"
         "</Ads>");
    EXPECT_EQ(AdCount, 4);
    EXPECT_EQ(AdList, (QStringList{"First", "http://a/1", "", "", "Caption only", "", "", ""}));
}

TEST_F(AdListTest, AnythingBeforeTheRootGivesNoEntries)
{
    for (const QByteArray& head : {QByteArray("<?xml version=\"1.0\"?>"), QByteArray("<!-- note -->"),
                                   QByteArray("<?style x?>")}) {
        AdList = QStringList{"old", "old"};
        AdCount = 1;
        Load(head + "<Ads><Ad><C>x</C><L>y</L></Ad></Ads>");
        EXPECT_EQ(AdCount, 0) << head.constData();
        EXPECT_TRUE(AdList.isEmpty()) << head.constData();
    }
}

TEST_F(AdListTest, MissingOrBrokenFileKeepsTheList)
{
    Load("<Ads><Ad><C>kept</C><L>http://k</L></Ad></Ads>");
    ASSERT_EQ(AdCount, 1);
    LoadAdListFrom(path("none.xml"));
    EXPECT_EQ(AdCount, 1);
    for (const QByteArray& bad : {QByteArray(""), QByteArray("<Ads><Ad>"), QByteArray("not xml at all <")}) {
        Load(bad);
        EXPECT_EQ(AdCount, 1) << bad.constData();
        EXPECT_EQ(AdList, (QStringList{"kept", "http://k"})) << bad.constData();
    }
}

TEST_F(AdListTest, ASecondLoadRebuildsAndShortensTheList)
{
    Load("<A><e><c>1</c><l>a</l></e><e><c>2</c><l>b</l></e><e><c>3</c><l>c</l></e></A>");
    ASSERT_EQ(AdList.size(), 6);
    Load("<A><e><c>9</c><l>z</l></e></A>");
    EXPECT_EQ(AdCount, 1);
    EXPECT_EQ(AdList, (QStringList{"9", "z"}));
}

TEST_F(AdListTest, ShippedListHasCaptionsAndLinksToTheMakersServer)
{
    LoadAdList(); // from the program folder
    ASSERT_GT(AdCount, 0);
    ASSERT_EQ(AdList.size(), 2 * AdCount);
    const QString host = QUrl(ServerAddress()).host();
    for (int i = 0; i < AdCount; ++i) {
        EXPECT_FALSE(AdList[2 * i].isEmpty()) << i;
        const QUrl link(AdList[2 * i + 1]);
        EXPECT_TRUE(link.isValid()) << i;
        EXPECT_EQ(link.scheme(), "http") << i;
        if (qEnvironmentVariableIsEmpty("TAMSEL_SERVER")) {
            EXPECT_EQ(link.host(), host) << i;
        }
    }
}

} // namespace
