// The window library on the test desktop: a shaped window whose shape the
// X server reports, with and without a window manager's frame, and a
// frameless window dragged with the real pointer (xdotool) to the edge of
// the work area, where it snaps.
#include "core/FormShape.h"
#include "core/FormStrings.h"
#include "floatingbar/clsDockingHandler.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace {

bool onTestDesktop()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The bounding shape of an X window as the server holds it.
QRegion serverShape(WId window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return QRegion();
    QRegion region;
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, Window(window), ShapeBounding, &count, &ordering);
    for (int i = 0; i < count; ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    if (rects)
        XFree(rects);
    XCloseDisplay(display);
    return region;
}

TEST(WindowLibraryOnTheDesktop, TheServerGivesTheWindowItsShape)
{
    if (!onTestDesktop())
        GTEST_SKIP() << "needs the test desktop";
    const struct {
        const char* name;
        Qt::WindowFlags flags;
    } cases[] = {{"frameless", Qt::FramelessWindowHint}, {"with the window manager's frame", Qt::Window}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget window(nullptr, c.flags);
        window.setGeometry(200, 200, 200, 200);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        if (!(c.flags & Qt::FramelessWindowHint)) { // the frame arrives after the window is shown
            ASSERT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry() != window.geometry(); }, 10000));
        }
        // A ring in the client area: a circle less a square in its middle,
        // given in window coordinates (client area at border, border + caption).
        const QPoint client(FormShape::GetBorderWidth(&window),
                            FormShape::GetBorderWidth(&window) + FormShape::GetCaptionHeight(&window));
        // The window manager's frame is not the same on all sides (a title
        // bar above, a handle below): the offsets are the real ones.
        EXPECT_EQ(client, window.geometry().topLeft() - window.frameGeometry().topLeft());
        FormShape ring, hole;
        ring.CircleRGN(client.x(), client.y(), client.x() + 200, client.y() + 200);
        hole.RectRGN(client.x() + 80, client.y() + 80, client.x() + 120, client.y() + 120);
        ASSERT_TRUE(ring.CombineRGNs(hole, FormShape::kDiff));
        ASSERT_TRUE(ring.Show(&window));

        const QRegion expected = QRegion(0, 0, 200, 200, QRegion::Ellipse) - QRegion(80, 80, 40, 40);
        EXPECT_TRUE(QTest::qWaitFor([&] { return serverShape(window.winId()) == expected; }, 10000))
            << "server's shape bounds " << serverShape(window.winId()).boundingRect().width();
    }
}

// A frameless window that moves with the docking class while dragged.
class DraggedWindow : public QWidget {
public:
    DraggedWindow()
        : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        handler.setParentForm(this);
    }
    clsDockingHandler handler;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        handler.StartDockDrag(twipsX(e->position().x()), twipsY(e->position().y()));
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (e->buttons() & Qt::LeftButton)
            handler.UpdateDockDrag(twipsX(e->position().x()), twipsY(e->position().y()));
    }

private:
    float twipsX(double px) const { return float(px * TwipsPerPixelX(this)); }
    float twipsY(double px) const { return float(px * TwipsPerPixelY(this)); }
};

void xdotool(const QStringList& args)
{
    QProcess::execute(QStringLiteral("xdotool"), args);
}

TEST(WindowLibraryOnTheDesktop, ADraggedWindowSnapsToTheLeftEdgeAndIsReleasedFurtherOut)
{
    if (!onTestDesktop())
        GTEST_SKIP() << "needs the test desktop";
    DraggedWindow window;
    const QRect work = window.screen()->availableGeometry();
    window.setGeometry(work.x() + 300, work.y() + 300, 120, 60);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.pos() == QPoint(work.x() + 300, work.y() + 300); }, 10000));

    // Press in the middle of the window, drag it to 6 pixels from the left
    // edge of the work area, let go.
    const QPoint grip(60, 30);
    const QPoint press = window.pos() + grip;
    const int y = press.y();
    xdotool({"mousemove", "--sync", QString::number(press.x()), QString::number(y), "mousedown", "1"});
    xdotool({"mousemove", QString::number(work.x() + 6 + grip.x()), QString::number(y), "mouseup", "1"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.x() != work.x() + 300; }, 10000));
    EXPECT_EQ(window.pos(), QPoint(work.x(), work.y() + 300));

    // Docked: a drag that stays within reach holds it at the edge; one 40
    // pixels out releases it there.
    const QPoint docked = window.pos() + grip;
    xdotool({"mousemove", "--sync", QString::number(docked.x()), QString::number(y), "mousedown", "1"});
    xdotool({"mousemove", QString::number(docked.x() - 5), QString::number(y)});
    xdotool({"mousemove", QString::number(docked.x() + 40), QString::number(y), "mouseup", "1"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.x() != work.x(); }, 10000));
    EXPECT_EQ(window.pos(), QPoint(work.x() + 40, work.y() + 300));
}

} // namespace
