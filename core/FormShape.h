#pragma once
// Window-region builder of the window library: makes one region (ellipse,
// rectangle, rounded rectangle, polygon, the union of a window's visible
// child widgets, or the pixels of a picture that are not the transparent
// colour), combines regions and gives a window that shape.
//
// Coordinates are window coordinates, which include the window manager's
// frame: the client area starts at (border, border + caption), where border
// is the width of the frame's left side and caption the height above the
// client area less that border (title bar and menu). The rectangle members
// take the corners (x1, y1) and (x2, y2); the right and bottom edges are not
// part of the region. Show moves the region into the client area before it
// becomes the window's mask.

#include <QList>
#include <QPoint>
#include <QRegion>
#include <cstdint>

class QImage;
class QPaintDevice;
class QWidget;

class FormShape {
public:
    // Fill modes of PolygonalRGN.
    static constexpr int kAlternate = 1; // even-odd rule
    static constexpr int kWinding = 2;   // non-zero winding rule

    // Combine modes of CombineRGNs.
    static constexpr int kAnd = 1;
    static constexpr int kOr = 2;
    static constexpr int kXor = 3;
    static constexpr int kDiff = 4; // this less the other
    static constexpr int kCopy = 5; // this

    // Nothing sets it: it reads 0.
    int ClassDebugID() const { return 0; }
    // The region built last (empty until one is built).
    QRegion ShapeID() const { return shape_; }

    QRegion CircleRGN(int x1, int y1, int x2, int y2);
    // Gives `window` the shape ShapeID, moved from window into client
    // coordinates. False when there is no window or the region is empty
    // (an empty mask would mean "no mask" to the window system, the whole
    // window).
    bool Show(QWidget* window) const;
    QRegion RectRGN(int x1, int y1, int x2, int y2);
    // A rectangle whose corners are quarters of an ellipse of the given
    // width and height (at most the rectangle's own size).
    QRegion RRectRGN(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight);
    // The polygon through `points` (closed from the last to the first).
    // Fewer than three points or an unknown fill mode give an empty region.
    QRegion PolygonalRGN(const QList<QPoint>& points, int fillMode);
    // ShapeID := ShapeID <mode> other's ShapeID. An unknown mode returns
    // false and leaves ShapeID as it was.
    bool CombineRGNs(const FormShape& other, int mode);
    // ShapeID := the union of the rectangles of the window's visible child
    // widgets, in window coordinates. No window: false, ShapeID unchanged.
    bool MaskForm(QWidget* window);
    // ShapeID := the pixels of `picture` within `width` x `height` (only
    // those the picture has) whose colour is not `transparentColor` (a
    // COLORREF), moved by (xOffset, yOffset). When `destination` is given,
    // those pixels are also copied onto it, moved from window into client
    // coordinates of `window` (no window: no move). False when there is no
    // picture; true when a region was built, even an empty one.
    bool MaskPicture(const QImage& picture, int xOffset, int yOffset, int width, int height,
                     std::uint32_t transparentColor, const QWidget* window,
                     QPaintDevice* destination = nullptr);

    // The frame of a top-level window: the width of its left side, and the
    // height above the client area less that width. 0 for a window that is
    // not shown or has no frame, and for a child widget.
    static int GetBorderWidth(const QWidget* window);
    static int GetCaptionHeight(const QWidget* window);

private:
    QRegion shape_;
};

// A keyed collection of FormShape objects, which it owns. Each object is
// added under its creation number as text ("0", "1", ...); the counter
// never goes back, so keys are not reused after a removal.
class FormShapes {
public:
    FormShapes();
    ~FormShapes();
    FormShapes(const FormShapes&) = delete;
    FormShapes& operator=(const FormShapes&) = delete;

    // A new shape under the next key; the collection owns it.
    FormShape* Add();
    // The shape added under the key equal to `index` as text (its creation
    // number), nullptr when there is none.
    FormShape* item(int index) const;
    int Count() const;
    // Removes the shape at the 1-based position `index` (not a key); false
    // when there is no such position.
    bool Remove(int index);
    // The shapes in the collection's order, for iteration.
    QList<FormShape*> NewEnum() const;

private:
    struct Entry;
    QList<Entry*> entries_;
    int counter_ = 0;
};
