#include "core/FormShape.h"

#include "core/Colors.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QWidget>

#include <algorithm>

namespace {

// The rectangle from (x1, y1) to (x2, y2), right and bottom edges
// excluded, whichever way round the corners are given.
QRect cornersRect(int x1, int y1, int x2, int y2)
{
    return QRect(std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1));
}

// The offset from window to client coordinates.
QPoint clientOffset(const QWidget* window)
{
    if (!window)
        return QPoint(0, 0);
    const int border = FormShape::GetBorderWidth(window);
    return QPoint(border, border + FormShape::GetCaptionHeight(window));
}

} // namespace

// ------------------------------------------------------------------ FormShape

int FormShape::GetBorderWidth(const QWidget* window)
{
    if (!window || !window->isWindow())
        return 0;
    // Frames on this desktop need not be the same on every side (a title
    // bar above, a handle below): the left side is the border.
    return std::max(0, window->geometry().x() - window->frameGeometry().x());
}

int FormShape::GetCaptionHeight(const QWidget* window)
{
    if (!window || !window->isWindow())
        return 0;
    return std::max(0, window->geometry().y() - window->frameGeometry().y() - GetBorderWidth(window));
}

QRegion FormShape::CircleRGN(int x1, int y1, int x2, int y2)
{
    shape_ = QRegion(cornersRect(x1, y1, x2, y2), QRegion::Ellipse);
    return shape_;
}

QRegion FormShape::RectRGN(int x1, int y1, int x2, int y2)
{
    shape_ = QRegion(cornersRect(x1, y1, x2, y2));
    return shape_;
}

QRegion FormShape::RRectRGN(int x1, int y1, int x2, int y2, int ellipseWidth, int ellipseHeight)
{
    const QRect r = cornersRect(x1, y1, x2, y2);
    const int ew = std::clamp(ellipseWidth, 0, r.width());
    const int eh = std::clamp(ellipseHeight, 0, r.height());
    if (ew < 2 || eh < 2) {
        shape_ = QRegion(r);
        return shape_;
    }
    // The rectangle less its corners, as a cross of two bands, and a
    // quarter of the corner ellipse in each corner.
    QRegion region(r.adjusted(ew / 2, 0, -(ew / 2), 0));
    region += r.adjusted(0, eh / 2, 0, -(eh / 2));
    const QSize corner(ew, eh);
    region += QRegion(QRect(r.topLeft(), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(r.x() + r.width() - ew, r.y()), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(r.x(), r.y() + r.height() - eh), corner), QRegion::Ellipse);
    region += QRegion(QRect(QPoint(r.x() + r.width() - ew, r.y() + r.height() - eh), corner),
                      QRegion::Ellipse);
    shape_ = region;
    return shape_;
}

QRegion FormShape::PolygonalRGN(const QList<QPoint>& points, int fillMode)
{
    if (points.size() < 3 || (fillMode != kAlternate && fillMode != kWinding))
        shape_ = QRegion();
    else
        shape_ = QRegion(QPolygon(points), fillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    return shape_;
}

bool FormShape::CombineRGNs(const FormShape& other, int mode)
{
    const QRegion& b = other.shape_;
    switch (mode) {
    case kAnd: shape_ = shape_.intersected(b); return true;
    case kOr: shape_ = shape_.united(b); return true;
    case kXor: shape_ = shape_.xored(b); return true;
    case kDiff: shape_ = shape_.subtracted(b); return true;
    case kCopy: return true;
    default: return false;
    }
}

bool FormShape::MaskForm(QWidget* window)
{
    if (!window)
        return false;
    shape_ = QRegion();
    const QPoint offset = clientOffset(window);
    const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (const QWidget* child : children) {
        if (!child->isWindow() && child->isVisibleTo(window))
            shape_ += child->geometry().translated(offset);
    }
    return true;
}

bool FormShape::MaskPicture(const QImage& picture, int xOffset, int yOffset, int width, int height,
                            std::uint32_t transparentColor, const QWidget* window,
                            QPaintDevice* destination)
{
    if (picture.isNull())
        return false;
    const QRect scanned = QRect(0, 0, width, height).intersected(picture.rect());
    if (scanned.isEmpty()) {
        shape_ = QRegion();
        return true;
    }
    // Compared as colours without transparency, as a screen pixel is.
    const QImage area = picture.copy(scanned).convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = ColorrefToQColor(transparentColor).rgb();
    // The mask image sets the bits of the transparent pixels (white in its
    // colour table); as a bitmap, the black ones are the region's.
    const QBitmap mask = QBitmap::fromImage(area.createMaskFromColor(transparent, Qt::MaskInColor));
    const QRegion opaque(mask);
    shape_ = opaque.translated(xOffset, yOffset);

    if (destination && !opaque.isEmpty()) {
        const QPoint at = QPoint(xOffset, yOffset) - clientOffset(window);
        QPainter painter(destination);
        painter.setClipRegion(opaque.translated(at));
        painter.drawImage(at, area);
    }
    return true;
}

bool FormShape::Show(QWidget* window) const
{
    if (!window || shape_.isEmpty())
        return false;
    window->setMask(shape_.translated(-clientOffset(window)));
    return true;
}

// ----------------------------------------------------------------- FormShapes

struct FormShapes::Entry {
    int key;
    FormShape shape;
};

FormShapes::FormShapes() = default;

FormShapes::~FormShapes()
{
    qDeleteAll(entries_);
}

FormShape* FormShapes::Add()
{
    auto* entry = new Entry{counter_++, FormShape()};
    entries_.append(entry);
    return &entry->shape;
}

FormShape* FormShapes::item(int index) const
{
    for (Entry* e : entries_) {
        if (e->key == index)
            return &e->shape;
    }
    return nullptr;
}

int FormShapes::Count() const
{
    return int(entries_.size());
}

bool FormShapes::Remove(int index)
{
    if (index < 1 || index > entries_.size())
        return false;
    delete entries_.takeAt(index - 1);
    return true;
}

QList<FormShape*> FormShapes::NewEnum() const
{
    QList<FormShape*> shapes;
    shapes.reserve(entries_.size());
    for (Entry* e : entries_)
        shapes.append(&e->shape);
    return shapes;
}
