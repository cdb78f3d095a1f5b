#pragma once
// A web-browser control for the windows that show pages of the maker's web
// server: a real browser (Qt WebEngine), with scripts, styles, media and
// its own error pages.
//
// The engine is large: loading it maps a few hundred megabytes of
// libraries, starts helper processes and needs an OpenGL context. So it
// lives in a module of its own beside the program (libtamsel_browser.so),
// loaded the first time a control is made and never at program start.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

class BrowserControl {
public:
    virtual ~BrowserControl() = default;

    // The view, a child of the parent given when the control was made; null
    // once the application has started to end.
    virtual QWidget* widget() const = 0;
    // The address of the page shown (or being loaded).
    virtual QUrl url() const = 0;
    // Loads a page from the address.
    virtual void navigate(const QUrl& address) = 0;
    // Shows a page that was fetched already: its bytes, its MIME type (with
    // the charset, as in a Content-Type header) and the address that
    // relative links and resources are resolved against.
    virtual void setContent(const QByteArray& data, const QString& mimeType, const QUrl& baseUrl) = 0;
    // Runs a script in the page; `done` gets its result on the UI thread,
    // and is never called once the control is gone.
    virtual void runJavaScript(const QString& script, std::function<void(const QVariant&)> done) = 0;

    // From now on the page's scripts open no windows: alert() shows
    // nothing, confirm() and prompt() answer as cancelled, and a file
    // chooser chooses nothing. For pages that must never block the program
    // or stop it from closing their window.
    virtual void refusePageDialogs() = 0;

    // Called when the top-level page has finished loading: ok is false for
    // an error page (no connection, an HTTP error status).
    std::function<void(bool ok)> onLoadFinished;
};

// Makes a control whose view is a child of `parent`. With `mediaAutoplay`
// the page's sound and video may start without a click. Null when the
// engine cannot run here (the module is missing, or there is no OpenGL);
// the reason is written once to standard error.
std::unique_ptr<BrowserControl> CreateBrowserControl(QWidget* parent, bool mediaAutoplay = false);

// Whether the engine has been loaded into this process, and how many
// controls it has made.
bool BrowserEngineLoaded();
int BrowserControlsMade();

// Call before the application object is made. Chromium refuses to run as
// root with its sandbox on, and takes the whole program down with it, so
// for root the sandbox is turned off.
void PrepareBrowserEngine();
