#include "frmListen.h"

#include "core/IgnoreErrors.h"
#include "core/ServerAddress.h"
#include "platform/BrowserControl.h"

#include <QVBoxLayout>

frmListen::frmListen(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmListen"));
    resize(480, 360);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

frmListen::~frmListen() = default;

QString frmListen::SamplePage(const QString& voicename)
{
    return ServerUrl(voicename == QLatin1String("Paul Voice") ? QStringLiteral("/vellaversionfiles/v96/paul96.htm")
                                                              : QStringLiteral("/vellaversionfiles/v96/kate96.htm"));
}

void frmListen::Form_Load()
{
    IgnoreErrors([this] { setWindowTitle(voicename); });
    IgnoreErrors([this] {
        // The samples play as soon as the page is there.
        WebBrowser1 = CreateBrowserControl(this, true);
        if (!WebBrowser1)
            return;
        layout()->addWidget(WebBrowser1->widget());
        // The window only shows its page: a box of the page's scripts would
        // run a loop of its own that the window's unload must not cut short.
        WebBrowser1->refusePageDialogs();
        WebBrowser1->navigate(QUrl(SamplePage(voicename)));
    });
}
