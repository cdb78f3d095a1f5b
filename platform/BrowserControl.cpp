#include "BrowserControl.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLoggingCategory>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <cstdio>
#include <unistd.h>

// Qt GUI's setter of the context that every OpenGL context of the process
// shares its resources with: what Qt::AA_ShareOpenGLContexts makes when the
// application object is built. Exported by Qt GUI, not declared in its
// public headers.
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

using Factory = BrowserControl* (*)(QWidget* parent, bool mediaAutoplay);

Factory factory = nullptr;
bool tried = false;
int made = 0;

// The engine hands its pictures to the windows' OpenGL contexts through one
// shared context. Qt makes it at start when asked by the attribute; that
// costs some 60 MB in every process, so it is made here, only when a page
// is to be shown, before the engine is loaded.
bool prepareSharedContext(QString& error)
{
    if (QOpenGLContext::globalShareContext())
        return true;
    auto* context = new QOpenGLContext;
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (!context->create()) {
        delete context;
        error = QStringLiteral("no OpenGL context can be made on this display");
        return false;
    }
    // Lives as long as the process: the engine's contexts share with it
    // until the very end.
    qt_gl_set_global_share_context(context);
    return true;
}

bool loadEngine()
{
    if (tried)
        return factory != nullptr;
    tried = true;
    // The engine reports its OpenGL set-up on standard error at every
    // start; QT_LOGGING_RULES still turns it back on.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QString error;
    if (prepareSharedContext(error)) {
        QLibrary module(QCoreApplication::applicationDirPath() + QStringLiteral("/libtamsel_browser"));
        factory = reinterpret_cast<Factory>(module.resolve("tamsel_make_browser_control"));
        if (!factory)
            error = module.errorString();
    }
    if (!factory)
        std::fprintf(stderr, "Lectova: web pages cannot be shown: %s\n", qPrintable(error));
    return factory != nullptr;
}

} // namespace

std::unique_ptr<BrowserControl> CreateBrowserControl(QWidget* parent, bool mediaAutoplay)
{
    if (!loadEngine())
        return nullptr;
    ++made;
    return std::unique_ptr<BrowserControl>(factory(parent, mediaAutoplay));
}

int BrowserControlsMade()
{
    return made;
}

bool BrowserEngineLoaded()
{
    return factory != nullptr;
}

void PrepareBrowserEngine()
{
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
