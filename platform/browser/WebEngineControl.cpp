// The browser control on Qt WebEngine. Built as a module of its own that
// the program loads only when it first shows a web page (see
// platform/BrowserControl.h).
#include "platform/BrowserControl.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

class WebEngineControl final : public BrowserControl {
public:
    WebEngineControl(QWidget* parent, bool mediaAutoplay)
        : view_(new QWebEngineView(parent))
    {
        if (mediaAutoplay)
            view_->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this, alive = alive_](bool ok) {
            if (*alive && onLoadFinished)
                onLoadFinished(ok);
        });
        // The engine must let go of its pages before the application object
        // goes; windows that are still open at the end are not deleted.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                         [view = QPointer<QWebEngineView>(view_)] { delete view.data(); });
    }

    ~WebEngineControl() override
    {
        *alive_ = false;
        delete view_.data();
    }

    QWidget* widget() const override { return view_; }

    QUrl url() const override { return view_ ? view_->url() : QUrl(); }

    void navigate(const QUrl& address) override
    {
        if (view_)
            view_->load(address);
    }

    void setContent(const QByteArray& data, const QString& mimeType, const QUrl& baseUrl) override
    {
        if (view_)
            view_->setContent(data, mimeType, baseUrl);
    }

    void runJavaScript(const QString& script, std::function<void(const QVariant&)> done) override
    {
        if (!view_)
            return;
        view_->page()->runJavaScript(script, [alive = alive_, done = std::move(done)](const QVariant& result) {
            if (*alive && done)
                done(result);
        });
    }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QPointer<QWebEngineView> view_;
};

} // namespace

extern "C" Q_DECL_EXPORT BrowserControl* tamsel_make_browser_control(QWidget* parent, bool mediaAutoplay)
{
    return new WebEngineControl(parent, mediaAutoplay);
}
