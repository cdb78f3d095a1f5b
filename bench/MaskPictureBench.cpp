// Shaping a window from a 512 x 512 picture: the time MaskPicture takes to
// turn the picture's non-transparent pixels into a region (goal: under
// 50 ms), for a picture shaped like a skin (a disc with cut-outs and an
// anti-aliased edge) and for the worst case, pixel noise; and with the copy
// onto a destination picture.
#include "core/FormShape.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF; // COLORREF of the transparent colour

QImage skinPicture()
{
    QImage image(512, 512, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 90, 160));
    p.setPen(QPen(QColor(10, 10, 10), 3));
    p.drawEllipse(QRect(6, 6, 500, 500));
    p.setBrush(QColor(255, 0, 255));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 6; ++i)
        p.drawEllipse(QRect(80 + i * 60, 230, 40, 40));
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 28));
    p.drawText(QRect(0, 320, 512, 60), Qt::AlignCenter, QStringLiteral("Lectova"));
    return image;
}

QImage noisePicture()
{
    QImage image(512, 512, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x)
            image.setPixel(x, y, random.bounded(2) ? qRgb(255, 0, 255) : qRgb(0, 0, 0));
    }
    return image;
}

struct Times {
    double median;
    double worst;
};

// Median and worst of several runs, in milliseconds.
Times timesOf(int runs, const QImage& picture, QImage* destination)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        FormShape shape;
        QElapsedTimer t;
        t.start();
        shape.MaskPicture(picture, 0, 0, 512, 512, kMagenta, nullptr, destination);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

void print(const char* what, const Times& t)
{
    std::printf("%-48s median %6.2f ms, worst %6.2f ms\n", what, t.median, t.worst);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QImage skin = skinPicture();
    const QImage noise = noisePicture();
    QImage destination(512, 512, QImage::Format_RGB32);
    FormShape shape;
    shape.MaskPicture(skin, 0, 0, 512, 512, kMagenta, nullptr);
    std::printf("512 x 512 pictures, 20 runs each; goal: under 50 ms\n");
    std::printf("skin: %d rectangles\n", int(shape.ShapeID().rectCount()));
    print("MaskPicture, skin", timesOf(20, skin, nullptr));
    print("MaskPicture, skin, copied onto a destination", timesOf(20, skin, &destination));
    shape.MaskPicture(noise, 0, 0, 512, 512, kMagenta, nullptr);
    std::printf("noise: %d rectangles\n", int(shape.ShapeID().rectCount()));
    print("MaskPicture, noise", timesOf(20, noise, nullptr));
    return 0;
}
