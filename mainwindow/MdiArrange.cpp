#include "MdiArrange.h"

#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRect>

#include <algorithm>

namespace {

// The visible windows, the most recently active first.
QList<QMdiSubWindow*> visibleWindows(QMdiArea* area)
{
    QList<QMdiSubWindow*> windows = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    std::reverse(windows.begin(), windows.end());
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [](QMdiSubWindow* w) { return !w || w->isHidden(); }),
                  windows.end());
    return windows;
}

QList<QMdiSubWindow*> normalWindows(QMdiArea* area)
{
    QList<QMdiSubWindow*> windows = visibleWindows(area);
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](QMdiSubWindow* w) { return w->isMinimized(); }),
                  windows.end());
    for (QMdiSubWindow* w : windows) {
        if (w->isMaximized())
            w->showNormal();
    }
    return windows;
}

// Splits `total` pixels into `count` parts that differ by at most one.
int partStart(int total, int count, int index)
{
    return static_cast<int>(static_cast<long long>(total) * index / count);
}

void tile(QMdiArea* area, bool horizontal)
{
    const QList<QMdiSubWindow*> windows = normalWindows(area);
    const int n = static_cast<int>(windows.size());
    if (n == 0)
        return;
    const QRect r = area->viewport()->rect();
    for (int i = 0; i < n; ++i) {
        QRect g;
        if (horizontal) {
            const int top = partStart(r.height(), n, i);
            g = QRect(r.left(), r.top() + top, r.width(), partStart(r.height(), n, i + 1) - top);
        } else {
            const int left = partStart(r.width(), n, i);
            g = QRect(r.left() + left, r.top(), partStart(r.width(), n, i + 1) - left, r.height());
        }
        windows[i]->setGeometry(g);
    }
}

void arrangeIcons(QMdiArea* area)
{
    const QRect r = area->viewport()->rect();
    int x = r.left();
    int bottom = r.bottom() + 1;
    int rowHeight = 0;
    for (QMdiSubWindow* w : visibleWindows(area)) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x > r.left() && x + s.width() > r.right() + 1) {
            // The row is full: start the next one above it.
            x = r.left();
            bottom -= rowHeight;
            rowHeight = 0;
        }
        w->move(x, bottom - s.height());
        x += s.width();
        rowHeight = std::max(rowHeight, s.height());
    }
}

} // namespace

void ArrangeSubWindows(QMdiArea* area, int arrangement)
{
    if (!area)
        return;
    switch (arrangement) {
    case vbCascade:
        area->cascadeSubWindows();
        break;
    case vbTileHorizontal:
        tile(area, true);
        break;
    case vbTileVertical:
        tile(area, false);
        break;
    case vbArrangeIcons:
        arrangeIcons(area);
        break;
    default:
        break;
    }
}
