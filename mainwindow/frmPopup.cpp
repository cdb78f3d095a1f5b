#include "frmPopup.h"

#include "core/FormStrings.h"
#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/SettingsStore.h"
#include "core/StringTable.h"
#include "core/Utilities.h"
#include "platform/BrowserControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <utility>

namespace {

QPointer<frmPopup> s_popup;

// The window's client area and its parts, in twips.
constexpr int kClientWidth = 4725;
constexpr int kClientHeight = 2730;
constexpr int kStripHeight = 390;
constexpr int kCheckHeight = 330;
constexpr int kTimerInterval = 12000;
// How long the fetched page may take to load in the browser (its pictures
// and scripts included) on a busy machine.
constexpr int kPageLoadTimeoutMs = 60000;
// How much of the server's answer waits to be taken at a time.
constexpr qint64 kMessageReadChunk = 64 * 1024;

const QColor kStripLeft(0x5b, 0x8f, 0xc7);
const QColor kStripRight(0x3a, 0x6e, 0xa5); // the close pictures' ground

// Reads the three things the popup needs from the loaded page through its
// DOM: the body's outer HTML, and the values of "msgid" and "msgtitle"
// (null for a missing element or one without a value).
const char kReadPageScript[] = R"JS(
(function () {
    function value(id) {
        var e = document.getElementById(id);
        return e && e.value !== undefined && e.value !== null ? String(e.value) : null;
    }
    return [document.body ? document.body.outerHTML : "", value("msgid"), value("msgtitle")];
})()
)JS";

QString closePicture(int n)
{
    return globals.AppFolder + QStringLiteral("/pic/popclose%1.gif").arg(n);
}

QPixmap stripPicture(const QSize& size)
{
    QPixmap picture(size);
    QPainter p(&picture);
    QLinearGradient g(0, 0, size.width(), 0);
    g.setColorAt(0, kStripLeft);
    g.setColorAt(1, kStripRight);
    p.fillRect(picture.rect(), g);
    return picture;
}

// A JavaScript value as text; false for null or undefined.
bool textValue(const QVariant& value, QString& text)
{
    if (!value.isValid() || value.isNull())
        return false;
    text = value.toString();
    return true;
}

} // namespace

frmPopup::frmPopup(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    s_popup = this;
    setObjectName(QStringLiteral("frmPopup"));
    setWindowTitle(QStringLiteral("Thanks for using Lectova"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Appearing at start, the message must not take the keyboard from the
    // application the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    buildControls();
    // Windows still open at the end are not deleted by the application
    // object; the popup goes with the event loop.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { Unload(); });
}

frmPopup::~frmPopup() = default;

frmPopup* frmPopup::instance()
{
    return s_popup;
}

void frmPopup::UnloadAll()
{
    if (frmPopup* p = s_popup.data())
        p->Unload();
}

void frmPopup::buildControls()
{
    const double tx = TwipsPerPixelX(this);
    const double ty = TwipsPerPixelY(this);
    const auto px = [](int twips, double perPixel) { return static_cast<int>(std::lround(twips / perPixel)); };
    const int w = px(kClientWidth, tx);
    const int h = px(kClientHeight, ty);
    const int strip = px(kStripHeight, ty);
    const int check = px(kCheckHeight, ty);
    setFixedSize(w, h);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, w, strip);
    Image1->setPixmap(stripPicture(Image1->size()));

    const int icon = 16;
    const int iconTop = (strip - icon) / 2;
    Image3 = new QLabel(this);
    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(iconTop, iconTop, icon, icon);
    IgnoreErrors([this] { Image3->setPixmap(LoadResIcon(101).pixmap(16, 16)); });

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(w - icon - iconTop, iconTop, icon, icon);
    Image2->setPixmap(QPixmap(closePicture(1)));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: #ffffff; background: transparent; font-weight: bold;"));
    const int labelLeft = Image3->geometry().right() + 1 + iconTop;
    Label1->setGeometry(labelLeft, iconTop / 2, Image2->x() - iconTop - labelLeft, strip - iconTop);

    Check1 = new QCheckBox(QStringLiteral("Do not show this any more"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(iconTop, h - check, w - 2 * iconTop, check);

    for (QLabel* l : {Image1, Image2, Label1}) {
        l->setMouseTracking(true);
        l->installEventFilter(this);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimerInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { IgnoreErrors([this] { Timer1_Timer(); }); });
}

void frmPopup::Form_Load()
{
    // The desktop's work area: the screen without its panels. Without one
    // the window keeps its place.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    move(area.x() + area.width() - width(), area.y() + area.height() - height());
}

void frmPopup::Query()
{
    // Stored at every start, so a new id is made once per settings file. A
    // settings file that cannot be read or written ends the query: the
    // popup goes, and the caller hears of the error.
    QString id;
    try {
        id = GetNetId();
        WriteSetting(globals.SettingsFile, QStringLiteral("FrmSet"), QStringLiteral("GUID"), id);
    } catch (...) {
        Unload();
        throw;
    }

    if (!net_)
        net_ = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl(MessageQueryUrl(id))};
    request.setTransferTimeout(kMessageQueryTimeoutMs);
    QNetworkReply* reply = net_->get(request);
    // The answer is taken as it comes, a part at a time, and given up past
    // the largest page the popup can show: a server that sends without end
    // must not fill the memory.
    reply->setReadBufferSize(kMessageReadChunk);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { readAnswer(reply); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        try {
            readAnswer(reply);
            queryAnswered(reply);
        } catch (...) {
            Unload();
        }
    });
}

void frmPopup::readAnswer(QNetworkReply* reply)
{
    if (answerTooLarge_)
        return;
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > kMessagePageLargest || answer_.size() + reply->bytesAvailable() > kMessagePageLargest) {
        answerTooLarge_ = true;
        answer_.clear();
        // Emits finished at once: the popup goes there.
        reply->abort();
        return;
    }
    answer_ += reply->readAll();
}

void frmPopup::queryAnswered(QNetworkReply* reply)
{
    // No answer at all (refused, unknown host, timed out): nothing to show.
    // Any HTTP answer, an error status included, is judged by its page, as
    // the browser would show it.
    if (answerTooLarge_ || !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        Unload();
        return;
    }
    const QByteArray body = std::exchange(answer_, QByteArray());
    if (!body.contains(kMessageMarker)) {
        Unload();
        return;
    }

    WebBrowser1 = CreateBrowserControl(this);
    if (!WebBrowser1) {
        Unload();
        return;
    }
    // A message is only shown: a box of its page would block the program
    // and keep the popup from unloading.
    WebBrowser1->refusePageDialogs();
    const int top = Image1->height();
    WebBrowser1->widget()->setGeometry(0, top, width(), Check1->y() - top);
    WebBrowser1->onLoadFinished = [this](bool) {
        if (pageHandled_)
            return;
        pageHandled_ = true;
        try {
            readPage();
        } catch (...) {
            Unload();
        }
    };
    QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString().remove(QLatin1Char(' '));
    if (type.isEmpty())
        type = QStringLiteral("text/html");
    // The page that was fetched, with its own address for its links and
    // pictures: the server is asked once, not twice.
    WebBrowser1->setContent(body, type, reply->url());
    // A page that never finishes loading shows nothing.
    QTimer::singleShot(kPageLoadTimeoutMs, this, [this] {
        if (!pageHandled_)
            Unload();
    });
}

void frmPopup::readPage()
{
    WebBrowser1->runJavaScript(QString::fromLatin1(kReadPageScript), [this](const QVariant& result) {
        try {
            pageRead(result);
        } catch (...) {
            Unload();
        }
    });
}

void frmPopup::pageRead(const QVariant& result)
{
    const QVariantList values = result.toList();
    if (values.size() != 3 || !values.at(0).toString().contains(QLatin1String(kMessageMarker))) {
        Unload();
        return;
    }
    // A page with the marker but without the message id or title carries
    // no message either. The id is kept for Form_Unload.
    QString title;
    if (!textValue(values.at(1), msgid_) || IsMsgIdSuppressed(msgid_) || !textValue(values.at(2), title)) {
        Unload();
        return;
    }
    Label1->setText(title);
    setVisible(true);
    MakeTopmost(this);
    Timer1->start();
}

void frmPopup::Timer1_Timer()
{
    setVisible(true);
    Timer1->stop();
}

void frmPopup::Unload()
{
    close();
}

void frmPopup::Form_Unload()
{
    if (!Check1->isChecked())
        return;
    SuppressMsgId(msgid_);
}

void frmPopup::closeEvent(QCloseEvent* event)
{
    if (!unloaded_) {
        unloaded_ = true;
        Timer1->stop();
        IgnoreErrors([this] { Form_Unload(); });
    }
    event->accept();
}

bool frmPopup::eventFilter(QObject* watched, QEvent* event)
{
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse)
        return QWidget::eventFilter(watched, event);
    const bool left = mouse->button() == Qt::LeftButton;
    switch (event->type()) {
    case QEvent::MouseMove:
        // Over the close picture it lights up; back over the strip it is
        // plain again.
        if (watched == Image2)
            Image2->setPixmap(QPixmap(closePicture(2)));
        else if (watched == Image1)
            Image2->setPixmap(QPixmap(closePicture(1)));
        break;
    case QEvent::MouseButtonPress:
        if (left && (watched == Image1 || watched == Label1)) {
            IgnoreErrors([this] { DragForm(this); });
            return true;
        }
        if (watched == Image2)
            return true; // the click ends on release
        break;
    case QEvent::MouseButtonRelease:
        if (left && watched == Image2 && Image2->rect().contains(mouse->position().toPoint())) {
            Unload();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
