// Snapping to the edges of the work area, as geometry in twips, and the
// docking class around a window. A real drag on the test desktop is in
// e2e/WindowLibraryE2ETest.cpp.
#include "core/FormStrings.h"
#include "floatingbar/clsDockingHandler.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <cmath>

namespace {

bool operator==(const DockedEdges& a, const DockedEdges& b)
{
    return a.right == b.right && a.left == b.left && a.top == b.top && a.bottom == b.bottom;
}

TEST(DockingHandler, SnapsHoldsAndReleasesAtTheEdges)
{
    const TwipsRect work{0, 0, 19200, 15360}; // 1280 x 1024 pixels of 15 twips
    const long snap = 150;
    const DockedEdges none, left{false, true, false, false}, right{true, false, false, false};
    const DockedEdges top{false, false, true, false}, bottom{false, false, false, true};
    const DockedEdges topAndBottom{false, false, true, true}, leftAndRight{true, true, false, false};
    const struct {
        const char* name;
        DockedEdges before;
        long left, top, width, height, dx, dy;
        long newLeft, newTop;
        DockedEdges after;
    } cases[] = {
        {"within reach of the left edge", none, 3000, 3000, 3000, 1500, -2900, 0, 0, 3000, left},
        {"just out of reach", none, 3000, 3000, 3000, 1500, -2849, 0, 151, 3000, none},
        {"beyond the left edge but within reach", none, 3000, 3000, 3000, 1500, -3100, 0, 0, 3000, left},
        {"docked and dragged within reach: holds", left, 0, 3000, 3000, 1500, -100, 40, 0, 3040, left},
        {"docked and dragged out of reach: released", left, 0, 3000, 3000, 1500, 200, 0, 200, 3000, none},
        {"right edge", none, 10000, 3000, 3000, 1500, 6150, 0, 16200, 3000, right},
        {"bottom edge", none, 3000, 10000, 3000, 1500, 0, 3800, 3000, 13860, bottom},
        {"top edge", none, 3000, 1000, 3000, 1500, 0, -900, 3000, 0, top},
        {"near top and bottom: top wins", none, 3000, 30, 3000, 15300, 0, 1, 3000, 0, topAndBottom},
        {"near left and right: left wins", none, 40, 3000, 19100, 1500, 10, 0, 0, 3000, leftAndRight},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DockedEdges docked = c.before;
        const DockPosition p = SnapDockPosition(work, c.left, c.top, c.width, c.height, c.dx, c.dy, snap, docked);
        EXPECT_EQ(p.left, c.newLeft);
        EXPECT_EQ(p.top, c.newTop);
        EXPECT_TRUE(docked == c.after);
    }
}

TEST(DockingHandler, TheClassAroundAWindow)
{
    clsDockingHandler handler;
    EXPECT_EQ(handler.ParentForm(), nullptr);
    EXPECT_FALSE(handler.AlwaysOnTop());
    EXPECT_EQ(handler.SnapDistance(), std::lrint(10 * TwipsPerPixelX(nullptr)));
    handler.StartDockDrag(0, 0);
    handler.UpdateDockDrag(500, 500); // no window: nothing happens
    handler.setAlwaysOnTop(true);
    EXPECT_TRUE(handler.AlwaysOnTop());

    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(QRect(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(5, 300),
                             QSize(100, 50)));
    window.show();
    const QPoint start = window.pos();
    handler.setAlwaysOnTop(false);
    handler.setParentForm(&window);
    const double tx = TwipsPerPixelX(&window);
    // No movement since the press: the window is not touched, although it
    // lies within reach of the left edge.
    handler.StartDockDrag(float(10 * tx), float(10 * tx));
    handler.UpdateDockDrag(float(10 * tx), float(10 * tx));
    EXPECT_EQ(window.pos(), start);

    handler.setAlwaysOnTop(true);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), start);
    EXPECT_EQ(window.size(), QSize(100, 50));
    handler.setAlwaysOnTop(false);
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
}

} // namespace
