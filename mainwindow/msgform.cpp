#include "msgform.h"

#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <cmath>

namespace {

// Client area, in twips.
constexpr int kClientWidthTwips = 6150;
constexpr int kClientHeightTwips = 1665;

int twipsToPixels(int twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

} // namespace

msgform::msgform(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("msgform"));
    setWindowTitle(QStringLiteral("Lectova"));
    // The notice must not take the keyboard from the application the text
    // came from.
    setAttribute(Qt::WA_ShowWithoutActivating);

    const int w = twipsToPixels(kClientWidthTwips, TwipsPerPixelX(this));
    const int h = twipsToPixels(kClientHeightTwips, TwipsPerPixelY(this));
    setFixedSize(w, h);

    const int margin = h / 8;
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label2->setGeometry(margin, margin, w - 2 * margin, h / 2);

    Check1 = new QCheckBox(QStringLiteral("Don't show it again."), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(margin, margin + h / 2, w - 2 * margin, h / 2 - 2 * margin);
    connect(Check1, &QCheckBox::clicked, this, [this] { IgnoreErrors([this] { Check1_Click(); }); });
}

void msgform::Form_Load()
{
    IgnoreErrors([this] { placeBottomRight(); });
}

void msgform::placeBottomRight()
{
    const QScreen* screen = this->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect area = screen->availableGeometry();
    if (!area.isValid())
        area = screen->geometry();
    // The frame is known once the window manager has decorated the window;
    // before that the window's own size stands for it.
    const QRect frame = frameGeometry();
    const QSize outer = isVisible() ? frame.size() : size();
    move(area.x() + area.width() - outer.width(), area.y() + area.height() - outer.height());
}

void msgform::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    IgnoreErrors([this] { placeBottomRight(); });
}

void msgform::Check1_Click()
{
    SaveSetting(QStringLiteral("Orvenic"), QStringLiteral("Message"), MsgID, QStringLiteral("F"));
}

void msgform::SaveShowFlagAndClose()
{
    IgnoreErrors([this] {
        WriteSetting(globals.IniFile, QStringLiteral("ReadSet"), QStringLiteral("isShowmsgbox"),
                     Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
    close();
}
