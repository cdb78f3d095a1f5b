#pragma once
// Moves a frameless window that the user drags by its face and makes it
// snap to the edges of the work area (the screen less panels and docks).
// The window's mouse-press handler calls StartDockDrag, its mouse-move
// handler (button held) UpdateDockDrag, both with the pointer position in
// the window in twips.

#include <QPointer>

class QWidget;

// Which edges of the work area a window is docked to.
struct DockedEdges {
    bool right = false;
    bool left = false;
    bool top = false;
    bool bottom = false;
};

// A rectangle in twips; right and bottom are one past the last twip.
struct TwipsRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
};

// Where a window of the given place and size goes when dragged by (dx, dy),
// all in twips. Edges are taken in the order bottom, top, right, left, each
// overriding the one before on its axis: within `snapDistance` of an edge
// the window is docked to it and put on it; while docked it holds its
// present coordinate until dragged further than `snapDistance` from the
// edge, which releases it. Updates `docked`; returns the new left and top.
struct DockPosition {
    long left;
    long top;
};
DockPosition SnapDockPosition(const TwipsRect& workArea, long left, long top, long width, long height, long dx,
                              long dy, long snapDistance, DockedEdges& docked);

class clsDockingHandler {
public:
    clsDockingHandler();

    // Called on mouse-press: takes the work area of the window's screen
    // and remembers the pointer position.
    void StartDockDrag(float X, float Y);
    // Called on mouse-move with the button held: moves the window by the
    // pointer's movement since StartDockDrag, snapping to the edges.
    void UpdateDockDrag(float X, float Y);

    // The window being moved; nothing until set.
    QWidget* ParentForm() const { return parentForm_; }
    void setParentForm(QWidget* window) { parentForm_ = window; }

    // Keeps the window above other windows; false at creation.
    bool AlwaysOnTop() const { return alwaysOnTop_; }
    void setAlwaysOnTop(bool value);

    // How near an edge the window snaps, in twips: 10 pixels at creation.
    long SnapDistance() const { return snapDistance_; }
    void setSnapDistance(long twips) { snapDistance_ = twips; }

private:
    // Places the window (twips), with the stacking that AlwaysOnTop asks.
    void placeWindow(long left, long top, long width, long height);

    QPointer<QWidget> parentForm_;
    bool alwaysOnTop_ = false;
    long snapDistance_;
    float startX_ = 0;
    float startY_ = 0;
    TwipsRect workArea_;
    DockedEdges docked_;
};
