#include "core/ServerAddress.h"

#include <QByteArray>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Sets or clears TAMSEL_SERVER for one test and puts it back afterwards.
class ServerVariable {
public:
    explicit ServerVariable(const char* value)
        : saved_(qgetenv("TAMSEL_SERVER")), had_(qEnvironmentVariableIsSet("TAMSEL_SERVER"))
    {
        if (value == nullptr)
            qunsetenv("TAMSEL_SERVER");
        else
            qputenv("TAMSEL_SERVER", value);
    }
    ~ServerVariable()
    {
        if (had_)
            qputenv("TAMSEL_SERVER", saved_);
        else
            qunsetenv("TAMSEL_SERVER");
    }

private:
    QByteArray saved_;
    bool had_;
};

}  // namespace

TEST(ServerAddress, DefaultIsAnHttpBaseWithTrailingSlash)
{
    ServerVariable v(nullptr);
    const QString base = ServerAddress();
    EXPECT_EQ(base, QStringLiteral("http://www.lectova.example/"));
    const QUrl url(base, QUrl::StrictMode);
    EXPECT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), QStringLiteral("http"));
    EXPECT_EQ(url.path(), QStringLiteral("/"));
}

TEST(ServerAddress, EnvironmentReplacesTheServer)
{
    ServerVariable v("http://127.0.0.1:41234");
    EXPECT_EQ(ServerAddress(), QStringLiteral("http://127.0.0.1:41234/"));
}

TEST(ServerAddress, EnvironmentWithoutSchemeGetsHttp)
{
    ServerVariable v("127.0.0.1:41234/");
    EXPECT_EQ(ServerAddress(), QStringLiteral("http://127.0.0.1:41234/"));
}

TEST(ServerAddress, EmptyEnvironmentKeepsTheDefault)
{
    ServerVariable v("  ");
    EXPECT_EQ(ServerAddress(), QStringLiteral("http://www.lectova.example/"));
}

TEST(ServerAddress, UrlJoinsWithExactlyOneSlash)
{
    ServerVariable v(nullptr);
    EXPECT_EQ(ServerUrl(QStringLiteral("sample.htm")), QStringLiteral("http://www.lectova.example/sample.htm"));
    EXPECT_EQ(ServerUrl(QStringLiteral("/features.htm")), QStringLiteral("http://www.lectova.example/features.htm"));
    EXPECT_EQ(ServerUrl(QStringLiteral("//bbcshow.html")), QStringLiteral("http://www.lectova.example/bbcshow.html"));
    EXPECT_EQ(ServerUrl(QString()), QStringLiteral("http://www.lectova.example/"));
}

TEST(ServerAddress, UrlKeepsTheQueryAsGiven)
{
    ServerVariable v("http://127.0.0.1:5000/");
    // Already-encoded text must not be decoded or encoded a second time.
    const QString q = QStringLiteral("/treerss.php?version=96&text=a%20b%2Bc+d");
    EXPECT_EQ(ServerUrl(q), QStringLiteral("http://127.0.0.1:5000/treerss.php?version=96&text=a%20b%2Bc+d"));
}

TEST(ServerAddress, PortIsPutIntoTheDefaultAddress)
{
    ServerVariable v(nullptr);
    EXPECT_EQ(ServerUrlOnPort(8080, QStringLiteral("/treerss.php?text=x%20y")),
              QStringLiteral("http://www.lectova.example:8080/treerss.php?text=x%20y"));
}

TEST(ServerAddress, PortOfTheTestServerIsKept)
{
    ServerVariable v("http://127.0.0.1:41234");
    EXPECT_EQ(ServerUrlOnPort(8080, QStringLiteral("treerss.php?text=x")),
              QStringLiteral("http://127.0.0.1:41234/treerss.php?text=x"));
}

TEST(ServerAddress, PortIsAddedToATestServerWithoutOne)
{
    ServerVariable v("http://localhost");
    EXPECT_EQ(ServerUrlOnPort(8080, QStringLiteral("treerss.php")), QStringLiteral("http://localhost:8080/treerss.php"));
}
