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

// A page whose scripts' dialogs can be refused. The engine shows them as
// modal boxes over the view, each with a loop of its own.
class ProgramPage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    bool dialogs = true;

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override
    {
        if (dialogs)
            QWebEnginePage::javaScriptAlert(origin, message);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override
    {
        return dialogs && QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result) override
    {
        return dialogs && QWebEnginePage::javaScriptPrompt(origin, message, value, result);
    }
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles, const QStringList& types) override
    {
        return dialogs ? QWebEnginePage::chooseFiles(mode, oldFiles, types) : QStringList();
    }
};

class WebEngineControl final : public BrowserControl {
public:
    WebEngineControl(QWidget* parent, bool mediaAutoplay)
        : view_(new QWebEngineView(parent))
        , page_(new ProgramPage(view_))
    {
        view_->setPage(page_);
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

    void refusePageDialogs() override
    {
        if (page_)
            page_->dialogs = false;
    }

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    QPointer<QWebEngineView> view_;
    QPointer<ProgramPage> page_;
};

} // namespace

extern "C" Q_DECL_EXPORT BrowserControl* tamsel_make_browser_control(QWidget* parent, bool mediaAutoplay)
{
    return new WebEngineControl(parent, mediaAutoplay);
}
