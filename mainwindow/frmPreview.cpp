#include "frmPreview.h"

#include "frmDocument.h"
#include "frmMain.h"
#include "richtext/RichTextBox.h"

#include "core/Globals.h"
#include "core/IgnoreErrors.h"
#include "core/ServerAddress.h"
#include "core/TextHelpers.h"
#include "core/Utilities.h"
#include "platform/BrowserControl.h"

#include <QLabel>
#include <QMovie>
#include <QResizeEvent>

#include <stdexcept>

namespace {
// The text-preview service listens on a port of its own.
constexpr int kPreviewPort = 8080;
} // namespace

frmPreview::frmPreview(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(QStringLiteral("More Voice"));
    resize(640, 480);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->hide();
}

frmPreview::~frmPreview() = default;

QString frmPreview::PreviewAddress(const QString& text)
{
    return ServerUrlOnPort(kPreviewPort, QStringLiteral("treerss.php?text=") + URLEncode(TruncateTo500(text)));
}

void frmPreview::Form_Load()
{
    IgnoreErrors([this] {
        loading_ = new QMovie(globals.AppFolder + QStringLiteral("/pic/loading.gif"), QByteArray(), this);
        Picture1->setMovie(loading_);
        loading_->start();
        Picture1->show();
        Picture1->raise();
    });
    QString text;
    IgnoreErrors([&] {
        frmMain* main = frmMain::instance();
        frmDocument* active = main ? main->ActiveForm() : nullptr;
        if (!active)
            throw std::runtime_error("no active document");
        text = active->rtfText->Text();
    });
    const QString address = PreviewAddress(text);
    IgnoreErrors([&] {
        WebBrowser1 = CreateBrowserControl(this);
        if (!WebBrowser1)
            return;
        WebBrowser1->widget()->setGeometry(rect());
        // The window only shows its page: a box of the page's scripts would
        // run a loop of its own that the window's unload must not cut short.
        WebBrowser1->refusePageDialogs();
        WebBrowser1->onLoadFinished = [this](bool) { WebBrowser1_DocumentComplete(); };
        WebBrowser1->navigate(QUrl(address));
        Picture1->raise();
    });
    // Also in the desktop's browser; how that went does not matter here.
    IgnoreErrors([&] { ShellOpen(address, QString()); });
}

void frmPreview::WebBrowser1_DocumentComplete()
{
    Picture1->hide();
    if (loading_)
        loading_->stop();
}

void frmPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (WebBrowser1 && WebBrowser1->widget())
        WebBrowser1->widget()->setGeometry(rect());
    Picture1->setGeometry(rect());
}
