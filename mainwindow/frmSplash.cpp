#include "frmSplash.h"

#include "core/IgnoreErrors.h"
#include "core/ProgramWindows.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QTimer>

namespace {
QPointer<frmSplash> s_splash;
} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    s_splash = this;
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(kPictureWidth, kPictureHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kPictureWidth, kPictureHeight);
    Image1->setPixmap(drawPicture());

    const QString textStyle = QStringLiteral("color: #ffffff; background: transparent;");
    lblVersion = new QLabel(QStringLiteral("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setStyleSheet(textStyle);
    lblVersion->adjustSize();
    lblVersion->move(24, 200);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(textStyle);
    Label1->setGeometry(lblVersion->geometry().right() + 1, 200, 60, lblVersion->height());
    Label2 = new QLabel(QStringLiteral("Searching for update..."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setStyleSheet(textStyle);
    Label2->adjustSize();
    Label2->move(24, 228);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1->start();
}

frmSplash::~frmSplash() = default;

frmSplash* frmSplash::instance()
{
    return s_splash;
}

void frmSplash::Unload()
{
    if (frmSplash* s = s_splash.data()) {
        s_splash.clear();
        s->Timer1->stop();
        s->hide();
        s->deleteLater();
    }
}

void frmSplash::Form_Load()
{
    IgnoreErrors([this] { Label1->setText(QStringLiteral(" 9.6")); });
}

void frmSplash::Timer1_Timer()
{
    Timer1->stop();
    // The main window's load unloads the splash.
    ProgramWindows::get().frmMain_Show();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept(); // keys do nothing here
}

QPixmap frmSplash::drawPicture()
{
    QPixmap pm(kPictureWidth, kPictureHeight);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, kPictureWidth, kPictureHeight);
    sky.setColorAt(0.0, QColor(0x1f, 0x4e, 0x8c));
    sky.setColorAt(1.0, QColor(0x0b, 0x1f, 0x3a));
    p.fillRect(pm.rect(), sky);

    // Sound waves leaving a speaker.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    QPainterPath speaker;
    speaker.moveTo(300, 92);
    speaker.lineTo(318, 92);
    speaker.lineTo(342, 70);
    speaker.lineTo(342, 150);
    speaker.lineTo(318, 128);
    speaker.lineTo(300, 128);
    speaker.closeSubpath();
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        QPen wave(QColor(255, 213, 79, 230 - i * 60), 6, Qt::SolidLine, Qt::RoundCap);
        p.setPen(wave);
        const int r = 24 + i * 18;
        p.drawArc(QRect(342 - r, 110 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }

    // The product name and a line under it.
    p.setPen(Qt::white);
    QFont title(QStringLiteral("Sans Serif"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(24, 60, 280, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Lectova"));
    QFont sub(QStringLiteral("Sans Serif"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.drawText(QRect(26, 118, 280, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Your documents, read aloud"));
    p.setPen(QPen(QColor(0xff, 0xd5, 0x4f), 2));
    p.drawLine(26, 150, 250, 150);
    p.end();
    return pm;
}
