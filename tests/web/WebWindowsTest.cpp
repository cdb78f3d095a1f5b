// The windows that show web pages, on the test desktop with the real
// browser engine: the server-message popup and its install id, the
// voice-sample window and the text-preview window. Pages come from a
// server of the test's own; the desktop's browser is a stand-in.
#include "mainwindow/MainWindowFixture.h"
#include "support/LocalHttpServer.h"
#include "support/ProgramRun.h"
#include "support/StubbedBrowser.h"

#include "core/ProgramWindows.h"
#include "core/SettingsStore.h"
#include "app/AppWindows.h"
#include "mainwindow/frmListen.h"
#include "mainwindow/frmPopup.h"
#include "mainwindow/frmPreview.h"
#include "platform/BrowserControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMovie>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// A real pointer move (and click) on the display, as the user's.
void pointAt(const QWidget* w, QPoint at = {})
{
    const QPoint p = w->mapToGlobal(at.isNull() ? w->rect().center() : at);
    commandOutput("xdotool", {"mousemove", QString::number(p.x()), QString::number(p.y())});
}

// Clicks once the pointer is over the widget as the display sees it: a
// window just shown may not be on the screen yet, and a click sent before
// would land on what is under it. False when the pointer never got there.
bool clickOn(const QWidget* w)
{
    pointAt(w);
    if (!QTest::qWaitFor([&] { return w->underMouse(); }, 5000))
        return false;
    commandOutput("xdotool", {"click", "1"});
    return true;
}

QByteArray messagePage(const QByteArray& id, const QByteArray& title)
{
    return "<html><head><title>News</title></head><body><div id='navcodeshowctl_show'>Spring sale</div>"
           "<input type='hidden' id='msgid' value='" + id + "'>"
           "<input type='hidden' id='msgtitle' value='" + title + "'><p>Read more.</p></body></html>";
}

// Counts the times a window was shown.
class ShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

class WebWindowsTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the test desktop";
        MainWindowFixture::SetUp();
        savedServer = qgetenv("TAMSEL_SERVER");
        qputenv("TAMSEL_SERVER", server.address().toUtf8());
    }
    void TearDown() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            return;
        ProgramWindows::install(nullptr);
        // Windows a failed test left open: the engine's pages must go before
        // the application.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->testAttribute(Qt::WA_DeleteOnClose))
                w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qputenv("TAMSEL_SERVER", savedServer);
        MainWindowFixture::TearDown();
    }

    void serveMessage(const QByteArray& body, int status = 200)
    {
        server.serve("/checkupdate.php", {status, body});
    }

    // Loads a popup hidden and queries, as start-up does; waits until it has
    // shown itself (returned) or unloaded unseen (null).
    frmPopup* startPopup(ShowCounter* counter = nullptr)
    {
        QPointer<frmPopup> p = new frmPopup;
        if (counter)
            p->installEventFilter(counter);
        p->Form_Load();
        p->Query();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !p || p->isVisible(); }, 60000)) << "the popup neither showed nor unloaded";
        return p;
    }

    QString stored(const char* key) { return ReadSetting(globals.SettingsFile, "FrmSet", key, "<none>"); }

    // Checks the box and closes with the close picture, both with real
    // clicks; returns once the popup is gone.
    void checkAndClose(frmPopup* popup, bool check)
    {
        QPointer<frmPopup> p = popup;
        if (check) {
            ASSERT_TRUE(clickOn(p->Check1)) << "the pointer never got over the check box";
            ASSERT_TRUE(QTest::qWaitFor([&] { return p->Check1->isChecked(); }, 5000));
        }
        ASSERT_TRUE(clickOn(p->Image2)) << "the pointer never got over the close picture";
        ASSERT_TRUE(QTest::qWaitFor([&] { return !p; }, 5000)) << "the close picture did not unload the popup";
    }

    LocalHttpServer server;
    StubbedBrowser browser;
    QByteArray savedServer;
};

TEST_F(WebWindowsTest, PopupWithoutAMessageUnloadsUnseenWithoutTheBrowser)
{
    const int made = BrowserControlsMade();
    const QByteArray noMarker = "<html><body><input id='msgid' value='42'><input id='msgtitle' value='T'></body></html>";
    const struct {
        const char* what;
        QString server;
        int status;
        QByteArray body;
    } cases[] = {
        {"a page without the marker", server.address(), 200, noMarker},
        {"a 404 without the marker", server.address(), 404, noMarker},
        {"a marker of another letter case", server.address(), 200, messagePage("42", "T").replace("navcodeshowctl_show", "NavCodeShowCtl_Show")},
        {"no server", LocalHttpServer::closedAddress(), 200, {}},
    };
    for (const auto& c : cases) {
        qputenv("TAMSEL_SERVER", c.server.toUtf8());
        serveMessage(c.body, c.status);
        ShowCounter counter;
        EXPECT_EQ(startPopup(&counter), nullptr) << c.what;
        EXPECT_EQ(counter.shows, 0) << c.what;
    }
    EXPECT_EQ(server.requestsFor("/checkupdate.php").size(), 3);

    // An answer larger than the popup can show is given up before its end,
    // whether or not the server says its length first.
    qputenv("TAMSEL_SERVER", server.address().toUtf8());
    const QByteArray large = messagePage("42", "T") + QByteArray(kMessagePageLargest, ' ');
    for (const bool sized : {true, false}) {
        server.serve("/checkupdate.php", {200, large, "text/html", sized});
        QPointer<frmPopup> p = new frmPopup;
        p->Form_Load();
        p->Query();
        auto* reply = p->findChild<QNetworkReply*>();
        ASSERT_NE(reply, nullptr);
        QObject watch;
        bool cancelled = false;
        QObject::connect(reply, &QNetworkReply::errorOccurred, &watch,
                         [&](QNetworkReply::NetworkError e) { cancelled = e == QNetworkReply::OperationCanceledError; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return !p; }, 60000)) << sized;
        EXPECT_TRUE(cancelled) << sized;
    }
    EXPECT_EQ(BrowserControlsMade(), made) << "the browser engine was used without a message";

    // A settings file that cannot be used: no request, the popup goes.
    ASSERT_TRUE(PutFile(globals.SettingsFile, "<!-- not the root --><Settings/>"));
    QPointer<frmPopup> p = new frmPopup;
    EXPECT_THROW(p->Query(), SettingsError);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !p; }, 5000));
    EXPECT_EQ(server.requestsFor("/checkupdate.php").size(), 5);
}

TEST_F(WebWindowsTest, PagesWithTheMarkerButNoMessageUnloadUnseen)
{
    const QByteArray cases[] = {
        // the marker only in the head, not in the body
        "<html><head><title>navcodeshowctl_show</title></head><body><input id='msgid' value='1'>"
        "<input id='msgtitle' value='T'></body></html>",
        // no msgid, no msgtitle, an element without a value
        "<html><body>navcodeshowctl_show<input id='msgtitle' value='T'></body></html>",
        "<html><body>navcodeshowctl_show<input id='msgid' value='1'></body></html>",
        "<html><body>navcodeshowctl_show<div id='msgid'>1</div><input id='msgtitle' value='T'></body></html>",
    };
    for (const QByteArray& page : cases) {
        serveMessage(page);
        ShowCounter counter;
        EXPECT_EQ(startPopup(&counter), nullptr) << page.constData();
        EXPECT_EQ(counter.shows, 0) << page.constData();
    }
}

TEST_F(WebWindowsTest, MessageShowsAtTheBottomRightOnTopAndIsSuppressedByItsCheckBox)
{
    // First start: a new id is made, stored and sent. The page's scripts
    // open no box (one that opens is noted and closed).
    serveMessage(messagePage("42", "Spring news").replace("</body>", "<script>alert(1); confirm(2); prompt(3)</script>"));
    QStringList pageBoxes;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget())
            pageBoxes << box->windowTitle(), box->close();
    });
    watch.start(20);
    QPointer<frmPopup> p = startPopup();
    ASSERT_TRUE(p);
    EXPECT_EQ(pageBoxes, QStringList());
    const QString id = stored("GUID");
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{32}$").match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(server.requestsFor("/checkupdate.php"),
              QStringList{"/checkupdate.php?netid=" + id + "&version=9.6"});

    EXPECT_EQ(p->windowTitle(), "Thanks for using Lectova");
    EXPECT_EQ(p->Label1->text(), "Spring news");
    EXPECT_EQ(p->messageId(), "42");
    EXPECT_EQ(p->size(), QSize(315, 182)) << "4725 x 2730 twips at 96 dpi";
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return p->geometry().bottomRight() == area.bottomRight(); }, 15000))
        << "at " << p->geometry().x() << "," << p->geometry().y() << " in a work area ending at " << area.right()
        << "," << area.bottom();
    EXPECT_TRUE(p->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return commandOutput("xprop", {"-id", QString::number(p->winId()), "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
    }, 5000)) << "the window manager was not told to keep the popup above";
    EXPECT_TRUE(p->Timer1->isActive());
    EXPECT_EQ(p->Timer1->interval(), 12000);

    // The close picture lights up under the pointer and goes back over the strip.
    const QImage plain = QImage(globals.AppFolder + "/pic/popclose1.gif").convertToFormat(QImage::Format_ARGB32);
    const QImage lit = QImage(globals.AppFolder + "/pic/popclose2.gif").convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(plain.isNull());
    ASSERT_NE(plain, lit);
    const auto picture = [&] { return p->Image2->pixmap().toImage().convertToFormat(QImage::Format_ARGB32); };
    EXPECT_EQ(picture(), plain);
    pointAt(p->Image2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return picture() == lit; }, 5000));
    pointAt(p->Image1, QPoint(p->Image2->x() - 2, p->Image1->height() / 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return picture() == plain; }, 5000));

    checkAndClose(p, true);
    EXPECT_EQ(stored("Msgid"), "42");

    // Later starts send the same id; "42" is suppressed now.
    ShowCounter counter;
    EXPECT_EQ(startPopup(&counter), nullptr);
    EXPECT_EQ(counter.shows, 0);
    EXPECT_EQ(server.requestsFor("/checkupdate.php").value(1), "/checkupdate.php?netid=" + id + "&version=9.6");
    EXPECT_EQ(stored("GUID"), id);

    // A second id is added to the list.
    serveMessage(messagePage("43", "Summer news"), 404); // an error status is judged by its page
    p = startPopup();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Label1->text(), "Summer news");
    checkAndClose(p, true);
    EXPECT_EQ(stored("Msgid"), "42;43");

    // Closing unchecked stores nothing; an id listed meanwhile is not added twice.
    serveMessage(messagePage("44", "Autumn news"));
    p = startPopup();
    ASSERT_TRUE(p);
    checkAndClose(p, false);
    EXPECT_EQ(stored("Msgid"), "42;43");
    p = startPopup();
    ASSERT_TRUE(p);
    WriteSetting(globals.SettingsFile, "FrmSet", "Msgid", "42;43;44");
    checkAndClose(p, true);
    EXPECT_EQ(stored("Msgid"), "42;43;44");
}

TEST_F(WebWindowsTest, SampleButtonsOpenOneSampleWindowThatPlaysAtOnce)
{
    QFile wav(ProgramDir() + "/FirstK.wav");
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    server.serve("/sample.wav", {200, wav.readAll(), "audio/wav"});
    const QByteArray page = "<html><head><title>loading</title></head><body><audio id='a' src='/sample.wav'></audio>"
                            "<script>var a = document.getElementById('a');"
                            "a.onplaying = function () { document.title = 'playing'; };"
                            "a.play().catch(function (e) { document.title = 'blocked: ' + e.name; });</script>"
                            "</body></html>";
    server.serve("/vellaversionfiles/v96/paul96.htm", {200, page});
    server.serve("/vellaversionfiles/v96/kate96.htm", {200, page});
    AppWindows windows;
    ProgramWindows::install(&windows);
    MakeMain();
    main->mnuFileNew_Click();
    ASSERT_NE(Active(), nullptr);

    Active()->BtnVoiceSample->click();
    QPointer<frmListen> w = windows.sampleWindow();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), "Paul Voice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestsFor("/vellaversionfiles/v96/paul96.htm").size() == 1; }, 60000));
    QString title;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        w->WebBrowser1->runJavaScript("document.title", [&](const QVariant& v) { title = v.toString(); });
        return title == "playing" || title.startsWith("blocked");
    }, 60000)) << title.toStdString();
    EXPECT_EQ(title, "playing") << "the sample must play without a click";

    // The other button brings the same window forward, page and caption kept.
    Active()->CmdFemaleVoice->click();
    EXPECT_EQ(windows.sampleWindow(), w.data());
    EXPECT_EQ(w->windowTitle(), "Paul Voice");
    EXPECT_TRUE(w->WebBrowser1->url().path().endsWith("/paul96.htm"));

    // Closed, the other button opens the female page.
    w->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w; }, 5000));
    Active()->CmdFemaleVoice->click();
    w = windows.sampleWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "Kate Voice");
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestsFor("/vellaversionfiles/v96/kate96.htm").size() == 1; }, 60000));

    // An empty name: an empty caption and the female page.
    w->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w; }, 5000));
    windows.frmListen_Show("");
    w = windows.sampleWindow();
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requestsFor("/vellaversionfiles/v96/kate96.htm").size() == 2; }, 60000));
    EXPECT_EQ(server.requestsFor("/vellaversionfiles/v96/paul96.htm").size(), 1);
    windows.UnloadAllForms();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w; }, 5000));
}

TEST_F(WebWindowsTest, PreviewSendsTheActiveDocumentsBeginningAndOpensTheSameAddress)
{
    server.serve("/treerss.php", {200, "<html><body>Preview</body></html>"});
    MakeMain();
    main->mnuFileNew_Click();
    ASSERT_NE(Active(), nullptr);
    Active()->rtfText->setText("Hi \u00e9&" + QString(600, 'x'));

    frmPreview preview;
    EXPECT_EQ(preview.windowTitle(), "More Voice");
    preview.Form_Load();
    preview.show();
    ASSERT_NE(preview.Picture1->movie(), nullptr);
    EXPECT_TRUE(preview.Picture1->movie()->isValid()) << "pic/loading.gif must be a readable animation";
    EXPECT_TRUE(preview.Picture1->isVisible());

    // The test server's own port is kept; the text is cut to 500 characters.
    const QString target = "/treerss.php?text=Hi%20%E9%26" + QString(495, 'x');
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requestsFor("/treerss.php").isEmpty(); }, 60000));
    EXPECT_EQ(server.requestsFor("/treerss.php"), QStringList{target});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !preview.Picture1->isVisible(); }, 60000)) << "the loading picture stays";
    ASSERT_TRUE(browser.waitForOpened(1, 10000)) << "the desktop's browser was not asked";
    EXPECT_EQ(browser.opened(), QStringList{"http://127.0.0.1:" + QString::number(server.port()) + target});
}

} // namespace

int main(int argc, char** argv)
{
    PrepareBrowserEngine();
    // The real display of the test desktop; offscreen only to skip.
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else
        qunsetenv("QT_QPA_PLATFORM");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
