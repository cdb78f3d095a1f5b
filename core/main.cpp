#include "Startup.h"

#include "platform/SystemServices.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tamsel"));
    app.setQuitOnLastWindowClosed(false);
    QuitEventLoopOnSignals();
    if (!Main(app.arguments()))
        return 0;
    return app.exec();
}
