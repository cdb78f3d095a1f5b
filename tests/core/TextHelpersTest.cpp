#include "core/TextHelpers.h"

#include <gtest/gtest.h>

TEST(TextHelpers, IsBlankText)
{
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText("\r\n\t"));
    EXPECT_TRUE(IsBlankText("  \n "));
    EXPECT_FALSE(IsBlankText(" a"));
    EXPECT_FALSE(IsBlankText(QString(QChar(0xA0)))); // no-break space is not in the list

    // Every character counts, whatever the length.
    QString longText(40000, u' ');
    longText[39990] = u'x';
    EXPECT_FALSE(IsBlankText(longText));
    longText[39990] = u'\t';
    EXPECT_TRUE(IsBlankText(longText));
}

TEST(TextHelpers, IsInListComparesExactly)
{
    EXPECT_TRUE(IsInList("b", {"a", "b"}));
    EXPECT_FALSE(IsInList("B", {"a", "b"}));
    EXPECT_FALSE(IsInList("a", {}));
}

TEST(TextHelpers, TruncateTo500)
{
    const QString s500(500, u'x');
    EXPECT_EQ(TruncateTo500(s500), s500);
    EXPECT_EQ(TruncateTo500(s500 + "y"), s500);
    EXPECT_EQ(TruncateTo500(""), "");
}

TEST(TextHelpers, StripTrailingSlashRemovesOne)
{
    EXPECT_EQ(StripTrailingSlash("C:\\Prog\\"), "C:\\Prog");
    EXPECT_EQ(StripTrailingSlash("/opt/x//"), "/opt/x/");
    EXPECT_EQ(StripTrailingSlash("/opt/x"), "/opt/x");
    EXPECT_EQ(StripTrailingSlash(""), "");
    EXPECT_EQ(StripTrailingSlash("/"), "");
}

TEST(TextHelpers, StripNullsCutsInPlace)
{
    QString s = QString("abc") + QChar(u'\0') + "def";
    EXPECT_EQ(StripNulls(s), "abc");
    EXPECT_EQ(s, "abc");
    QString none = "plain";
    EXPECT_EQ(StripNulls(none), "plain");
    // Only the first 255 characters are looked at.
    QString late = QString(300, u'x');
    late[280] = QChar(u'\0');
    EXPECT_EQ(StripNulls(late).size(), 300);
}

TEST(TextHelpers, URLEncode)
{
    EXPECT_EQ(URLEncode("a b&c"), "a%20b%26c");
    EXPECT_EQ(URLEncode("Ab9"), "Ab9");
    EXPECT_EQ(URLEncode("~"), "%7E");
    EXPECT_EQ(URLEncode(",-._"), "%2C%2D%2E%5F");
    EXPECT_EQ(URLEncode(QString::fromUtf8("é")), "%E9");
    EXPECT_EQ(URLEncode(QString::fromUtf8("€’")), "%80%92");   // code page's own characters
    EXPECT_EQ(URLEncode(QString::fromUtf8("中")), "%3F");      // not in the code page: "?"
    EXPECT_EQ(URLEncode(QString::fromUtf8("a😀b")), "a%3Fb"); // one "?" per character
    EXPECT_EQ(URLEncode("\r\n"), "%0D%0A");
    EXPECT_EQ(URLEncode(""), "");
}
