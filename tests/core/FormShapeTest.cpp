// Region building and arithmetic of FormShape, and the key-versus-position
// rule of FormShapes. The shape a real X server gives a window is checked
// on the test desktop (e2e/WindowShapeE2ETest.cpp).
#include "core/FormShape.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

QRegion rect(int x, int y, int w, int h)
{
    return QRegion(x, y, w, h);
}

struct BuildCase {
    const char* name;
    std::function<QRegion(FormShape&)> build;
    std::optional<QRect> bounds; // none: its edges are the scan conversion's
    QList<QPoint> inside;
    QList<QPoint> outside;
};

// Five points of a star drawn in one stroke: its centre is crossed twice,
// so the even-odd rule leaves it out and the winding rule fills it.
const QList<QPoint> kStar{{50, 0}, {80, 95}, {0, 35}, {100, 35}, {20, 95}};

TEST(FormShape, BuildersMakeTheRegionAndKeepItAsShapeID)
{
    const QList<BuildCase> cases{
        {"rect", [](FormShape& s) { return s.RectRGN(10, 20, 30, 50); }, QRect(10, 20, 20, 30),
         {{10, 20}, {29, 49}}, {{30, 20}, {10, 50}, {9, 20}}},
        {"rect, corners swapped", [](FormShape& s) { return s.RectRGN(30, 50, 10, 20); }, QRect(10, 20, 20, 30),
         {{10, 20}, {29, 49}}, {{30, 49}}},
        {"circle", [](FormShape& s) { return s.CircleRGN(0, 0, 100, 100); }, QRect(0, 0, 100, 100),
         {{50, 50}, {0, 50}, {50, 0}, {99, 50}}, {{3, 3}, {96, 96}, {100, 50}}},
        {"rounded rect", [](FormShape& s) { return s.RRectRGN(0, 0, 100, 60, 20, 20); }, QRect(0, 0, 100, 60),
         {{50, 0}, {0, 30}, {99, 30}, {50, 59}, {4, 4}}, {{0, 0}, {99, 0}, {0, 59}, {99, 59}, {1, 1}}},
        {"rounded rect, no corners", [](FormShape& s) { return s.RRectRGN(0, 0, 10, 10, 0, 0); },
         QRect(0, 0, 10, 10), {{0, 0}, {9, 9}}, {}},
        {"rounded rect, corners larger than it", [](FormShape& s) { return s.RRectRGN(0, 0, 40, 40, 500, 500); },
         QRect(0, 0, 40, 40), {{20, 20}, {20, 0}}, {{1, 1}, {38, 38}}},
        {"triangle", [](FormShape& s) { return s.PolygonalRGN({{0, 0}, {100, 0}, {0, 100}}, FormShape::kAlternate); },
         QRect(0, 0, 100, 100), {{10, 10}, {1, 90}}, {{90, 90}, {60, 60}}},
        {"star, even-odd", [](FormShape& s) { return s.PolygonalRGN(kStar, FormShape::kAlternate); },
         std::nullopt, {{50, 10}, {10, 38}}, {{50, 55}}},
        {"star, winding", [](FormShape& s) { return s.PolygonalRGN(kStar, FormShape::kWinding); },
         std::nullopt, {{50, 10}, {10, 38}, {50, 55}}, {}},
        {"polygon of two points", [](FormShape& s) { return s.PolygonalRGN({{0, 0}, {10, 10}}, FormShape::kWinding); },
         QRect(), {}, {{0, 0}}},
        {"polygon, unknown fill mode", [](FormShape& s) { return s.PolygonalRGN(kStar, 3); }, QRect(), {},
         {{50, 10}}},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormShape shape;
        shape.RectRGN(0, 0, 500, 500); // replaced by the builder
        const QRegion built = c.build(shape);
        EXPECT_EQ(built, shape.ShapeID());
        if (c.bounds) {
            EXPECT_EQ(built.boundingRect(), *c.bounds);
        }
        for (const QPoint& p : c.inside)
            EXPECT_TRUE(built.contains(p)) << p.x() << "," << p.y();
        for (const QPoint& p : c.outside)
            EXPECT_FALSE(built.contains(p)) << p.x() << "," << p.y();
    }
    EXPECT_EQ(FormShape().ClassDebugID(), 0);
    EXPECT_TRUE(FormShape().ShapeID().isEmpty());
}

TEST(FormShape, CombineModesAndAnUnknownModeKeepsTheShape)
{
    const struct {
        int mode;
        bool ok;
        QRegion result;
    } cases[] = {
        {FormShape::kAnd, true, rect(5, 0, 5, 10)},
        {FormShape::kOr, true, rect(0, 0, 15, 10)},
        {FormShape::kXor, true, rect(0, 0, 5, 10) + rect(10, 0, 5, 10)},
        {FormShape::kDiff, true, rect(0, 0, 5, 10)},
        {FormShape::kCopy, true, rect(0, 0, 10, 10)},
        {0, false, rect(0, 0, 10, 10)},
        {6, false, rect(0, 0, 10, 10)},
    };
    FormShape other;
    other.RectRGN(5, 0, 15, 10);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        FormShape shape;
        shape.RectRGN(0, 0, 10, 10);
        EXPECT_EQ(shape.CombineRGNs(other, c.mode), c.ok);
        EXPECT_EQ(shape.ShapeID(), c.result);
        EXPECT_EQ(other.ShapeID(), rect(5, 0, 10, 10));
    }
    FormShape self;
    self.CircleRGN(0, 0, 20, 20);
    const QRegion circle = self.ShapeID();
    EXPECT_TRUE(self.CombineRGNs(self, FormShape::kOr));
    EXPECT_EQ(self.ShapeID(), circle);
}

TEST(FormShape, MaskFormTakesTheVisibleChildWidgets)
{
    QWidget window;
    window.resize(200, 100);
    auto* a = new QWidget(&window);
    a->setGeometry(10, 10, 20, 20);
    auto* hidden = new QWidget(&window);
    hidden->setGeometry(100, 10, 20, 20);
    hidden->hide();
    auto* b = new QWidget(&window);
    b->setGeometry(50, 60, 30, 10);
    (new QWidget(b))->setGeometry(0, 0, 5, 5); // inside its parent's rectangle

    FormShape shape;
    shape.CircleRGN(0, 0, 500, 500);
    EXPECT_TRUE(shape.MaskForm(&window));
    // A window never shown has no frame: window and client coordinates agree.
    EXPECT_EQ(shape.ShapeID(), rect(10, 10, 20, 20) + rect(50, 60, 30, 10));
    EXPECT_FALSE(shape.MaskForm(nullptr));

    EXPECT_TRUE(shape.Show(&window));
    EXPECT_EQ(window.mask(), shape.ShapeID());
    EXPECT_FALSE(shape.Show(nullptr));
    FormShape empty;
    EXPECT_FALSE(empty.Show(&window));
    EXPECT_EQ(window.mask(), shape.ShapeID());
}

TEST(FormShape, MaskPictureTakesThePicturesOpaquePixelsOnly)
{
    // Red background (COLORREF 0x0000FF), blue pixels at (0,0), (3,0), (1,2).
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 0));
    for (const QPoint& p : {QPoint(0, 0), QPoint(3, 0), QPoint(1, 2)})
        picture.setPixelColor(p, QColor(0, 0, 255));
    const std::uint32_t red = 0x0000FF;

    const struct {
        const char* name;
        int x, y, width, height;
        QRegion region;
    } cases[] = {
        {"whole picture", 0, 0, 4, 3, rect(0, 0, 1, 1) + rect(3, 0, 1, 1) + rect(1, 2, 1, 1)},
        // The scan stops at the picture's edge: nothing beyond it counts.
        {"bounds beyond the picture", 10, 20, 50, 50,
         rect(10, 20, 1, 1) + rect(13, 20, 1, 1) + rect(11, 22, 1, 1)},
        {"first two columns", -1, 0, 2, 3, rect(-1, 0, 1, 1) + rect(0, 2, 1, 1)},
        {"nothing scanned", 0, 0, 0, 3, QRegion()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FormShape shape;
        EXPECT_TRUE(shape.MaskPicture(picture, c.x, c.y, c.width, c.height, red, nullptr));
        EXPECT_EQ(shape.ShapeID(), c.region);
    }

    // The opaque pixels are copied onto the destination at the offsets;
    // the rest of it is left alone.
    QImage destination(8, 8, QImage::Format_RGB32);
    destination.fill(Qt::white);
    FormShape shape;
    EXPECT_TRUE(shape.MaskPicture(picture, 2, 3, 4, 3, red, nullptr, &destination));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const QColor expected = shape.ShapeID().contains(QPoint(x, y)) ? QColor(0, 0, 255) : QColor(Qt::white);
            EXPECT_EQ(destination.pixelColor(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_FALSE(FormShape().MaskPicture(QImage(), 0, 0, 4, 4, red, nullptr));
}

TEST(FormShapes, KeysAreCreationNumbersAndRemoveTakesAPosition)
{
    FormShapes shapes;
    FormShape* first = shapes.Add();
    FormShape* second = shapes.Add();
    FormShape* third = shapes.Add();
    EXPECT_EQ(shapes.Count(), 3);
    EXPECT_EQ(shapes.item(0), first);
    EXPECT_EQ(shapes.item(2), third);
    EXPECT_EQ(shapes.item(3), nullptr);

    EXPECT_TRUE(shapes.Remove(1)); // position 1: the first shape
    EXPECT_FALSE(shapes.Remove(3));
    EXPECT_FALSE(shapes.Remove(0));
    EXPECT_EQ(shapes.Count(), 2);
    EXPECT_EQ(shapes.item(0), nullptr);
    EXPECT_EQ(shapes.item(1), second); // keys stay with their shapes

    FormShape* fourth = shapes.Add(); // the counter does not go back
    EXPECT_EQ(shapes.item(3), fourth);
    EXPECT_EQ(shapes.item(2), third);
    EXPECT_EQ(shapes.NewEnum(), (QList<FormShape*>{second, third, fourth}));
}

} // namespace
