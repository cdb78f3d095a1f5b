#include "core/GuardedApplication.h"
#include "app/Startup.h"

#include "platform/BrowserControl.h"
#include "platform/SystemServices.h"

#include <QTimer>

int main(int argc, char** argv)
{
    PrepareBrowserEngine();
    GuardedApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tamsel"));
    app.setQuitOnLastWindowClosed(false);
    QuitEventLoopOnSignals();
    // Start-up runs inside the event loop, so that an end asked for while
    // it is still busy (a signal during a message box at load) is honoured.
    QTimer::singleShot(0, &app, [&app] {
        if (!Main(app.arguments()))
            QCoreApplication::exit(0);
    });
    return app.exec();
}
