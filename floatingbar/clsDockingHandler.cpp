#include "floatingbar/clsDockingHandler.h"

#include "core/FormStrings.h"
#include "core/IgnoreErrors.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>
#include <cstdlib>

namespace {

// Whole twips, halves to the even neighbour.
long wholeTwips(double value)
{
    return std::lrint(value);
}

// One edge: `gap` is the proposed distance to it, `coordinate` the
// proposed coordinate on its axis, `present` the window's coordinate now,
// `onEdge` the coordinate that puts the window on the edge.
void snapEdge(bool& docked, long gap, long snapDistance, long present, long onEdge, long& coordinate)
{
    if (docked) {
        if (std::labs(gap) > snapDistance)
            docked = false;
        else
            coordinate = present;
    } else if (std::labs(gap) <= snapDistance) {
        docked = true;
        coordinate = onEdge;
    }
}

} // namespace

DockPosition SnapDockPosition(const TwipsRect& work, long left, long top, long width, long height, long dx,
                              long dy, long snapDistance, DockedEdges& docked)
{
    DockPosition p{left + dx, top + dy};
    const long rightGap = work.right - (width + p.left);
    const long leftGap = p.left - work.left;
    const long bottomGap = work.bottom - (height + p.top);
    const long topGap = p.top - work.top;
    snapEdge(docked.bottom, bottomGap, snapDistance, top, work.bottom - height, p.top);
    snapEdge(docked.top, topGap, snapDistance, top, work.top, p.top);
    snapEdge(docked.right, rightGap, snapDistance, left, work.right - width, p.left);
    snapEdge(docked.left, leftGap, snapDistance, left, work.left, p.left);
    return p;
}

clsDockingHandler::clsDockingHandler()
    : snapDistance_(wholeTwips(10 * TwipsPerPixelX(nullptr)))
{
}

void clsDockingHandler::StartDockDrag(float X, float Y)
{
    IgnoreErrors([&] {
        const QScreen* screen = parentForm_ ? parentForm_->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            const QRect area = screen->availableGeometry();
            const double tx = TwipsPerPixelX(parentForm_);
            const double ty = TwipsPerPixelY(parentForm_);
            workArea_ = TwipsRect{wholeTwips(area.x() * tx), wholeTwips(area.y() * ty),
                                  wholeTwips((area.x() + area.width()) * tx),
                                  wholeTwips((area.y() + area.height()) * ty)};
        }
    });
    startX_ = X;
    startY_ = Y;
}

void clsDockingHandler::UpdateDockDrag(float X, float Y)
{
    if (!parentForm_)
        return;
    const long dx = wholeTwips(X - startX_);
    const long dy = wholeTwips(Y - startY_);
    if (dx == 0 && dy == 0)
        return;
    IgnoreErrors([&] {
        const double tx = TwipsPerPixelX(parentForm_);
        const double ty = TwipsPerPixelY(parentForm_);
        const QRect frame = parentForm_->frameGeometry();
        const long left = wholeTwips(frame.x() * tx);
        const long top = wholeTwips(frame.y() * ty);
        const long width = wholeTwips(frame.width() * tx);
        const long height = wholeTwips(frame.height() * ty);
        const DockPosition p = SnapDockPosition(workArea_, left, top, width, height, dx, dy, snapDistance_, docked_);
        placeWindow(p.left, p.top, width, height);
    });
}

void clsDockingHandler::setAlwaysOnTop(bool value)
{
    alwaysOnTop_ = value;
    if (!parentForm_)
        return;
    IgnoreErrors([&] {
        const double tx = TwipsPerPixelX(parentForm_);
        const double ty = TwipsPerPixelY(parentForm_);
        const QRect frame = parentForm_->frameGeometry();
        placeWindow(wholeTwips(frame.x() * tx), wholeTwips(frame.y() * ty), wholeTwips(frame.width() * tx),
                    wholeTwips(frame.height() * ty));
    });
}

void clsDockingHandler::placeWindow(long left, long top, long width, long height)
{
    QWidget* w = parentForm_;
    const double tx = TwipsPerPixelX(w);
    const double ty = TwipsPerPixelY(w);
    if (w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != alwaysOnTop_) {
        // Changing the flag hides the window; showing it again hands the
        // new stacking to the window manager.
        const bool shown = w->isVisible();
        w->setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop_);
        if (shown)
            w->show();
    }
    // The frame's place and size; the frame's sides are kept as they are.
    const QRect frame = w->frameGeometry();
    const QSize sides = frame.size() - w->geometry().size();
    w->move(int(std::lrint(left / tx)), int(std::lrint(top / ty)));
    const QSize client = QSize(int(std::lrint(width / tx)), int(std::lrint(height / ty))) - sides;
    if (client != w->size())
        w->resize(client);
}
