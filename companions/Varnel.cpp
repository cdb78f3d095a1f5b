// Varnel: opens the product's features page in the desktop's web browser
// and ends at once. It has no window, and it reports nothing: without a
// browser it ends without effect.
#include "core/IgnoreErrors.h"
#include "core/ServerAddress.h"
#include "core/Utilities.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("varnel"));
    IgnoreErrors([] { ShellOpen(ServerUrl(QStringLiteral("features.htm")), QString()); });
    QCoreApplication::processEvents();
    return 0;
}
