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
        adverts.AdList.clear();
        adverts.AdCount = 0;
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
    EXPECT_EQ(adverts.AdCount, 3);
    EXPECT_EQ(adverts.AdList, (QStringList{"One", "http://a/1", "Two", "http://a/2", "Three", "http://a/3"}));
}

TEST_F(AdListTest, TextIsAllTheTextInsideANode)
{
    Load("<Ads><Ad><C>Big <b>news</b><![CDATA[ & more]]></C><L> http://a/x </L></Ad></Ads>");
    ASSERT_EQ(adverts.AdCount, 1);
    EXPECT_EQ(adverts.AdList[0], "Big news & more");
    EXPECT_EQ(adverts.AdList[1], "http://a/x");
}

TEST_F(AdListTest, CommentsAndShortEntriesCountWithEmptyStrings)
{
    Load("<Ads>"
         "<Ad><C>First</C><L>http://a/1</L></Ad>"
         "<!-- between the entries -->"
         "<Ad><C>Caption only</C></Ad>"
         "<Ad/>"
         "</Ads>");
    EXPECT_EQ(adverts.AdCount, 4);
    EXPECT_EQ(adverts.AdList, (QStringList{"First", "http://a/1", "", "", "Caption only", "", "", ""}));
}

TEST_F(AdListTest, AnythingBeforeTheRootGivesNoEntries)
{
    for (const QByteArray& head : {QByteArray("<?xml version=\"1.0\"?>"), QByteArray("<!-- note -->"),
                                   QByteArray("<?style x?>")}) {
        adverts.AdList = QStringList{"old", "old"};
        adverts.AdCount = 1;
        Load(head + "<Ads><Ad><C>x</C><L>y</L></Ad></Ads>");
        EXPECT_EQ(adverts.AdCount, 0) << head.constData();
        EXPECT_TRUE(adverts.AdList.isEmpty()) << head.constData();
    }
}

TEST_F(AdListTest, MissingOrBrokenFileKeepsTheList)
{
    Load("<Ads><Ad><C>kept</C><L>http://k</L></Ad></Ads>");
    ASSERT_EQ(adverts.AdCount, 1);
    LoadAdListFrom(path("none.xml"));
    EXPECT_EQ(adverts.AdCount, 1);
    for (const QByteArray& bad : {QByteArray(""), QByteArray("<Ads><Ad>"), QByteArray("not xml at all <")}) {
        Load(bad);
        EXPECT_EQ(adverts.AdCount, 1) << bad.constData();
        EXPECT_EQ(adverts.AdList, (QStringList{"kept", "http://k"})) << bad.constData();
    }
}

TEST_F(AdListTest, ASecondLoadRebuildsAndShortensTheList)
{
    Load("<A><e><c>1</c><l>a</l></e><e><c>2</c><l>b</l></e><e><c>3</c><l>c</l></e></A>");
    ASSERT_EQ(adverts.AdList.size(), 6);
    Load("<A><e><c>9</c><l>z</l></e></A>");
    EXPECT_EQ(adverts.AdCount, 1);
    EXPECT_EQ(adverts.AdList, (QStringList{"9", "z"}));
}

TEST_F(AdListTest, ShippedListHasCaptionsAndLinksToTheMakersServer)
{
    LoadAdList(); // from the program folder
    ASSERT_GT(adverts.AdCount, 0);
    ASSERT_EQ(adverts.AdList.size(), 2 * adverts.AdCount);
    const QString host = QUrl(ServerAddress()).host();
    for (int i = 0; i < adverts.AdCount; ++i) {
        EXPECT_FALSE(adverts.AdList[2 * i].isEmpty()) << i;
        const QUrl link(adverts.AdList[2 * i + 1]);
        EXPECT_TRUE(link.isValid()) << i;
        EXPECT_EQ(link.scheme(), "http") << i;
        if (qEnvironmentVariableIsEmpty("TAMSEL_SERVER")) {
            EXPECT_EQ(link.host(), host) << i;
        }
    }
}

} // namespace
