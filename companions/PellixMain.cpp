// Pellix: starts the registration commands and ends. It shows a window only
// to report a command that could not be started; without a display it
// writes that report to standard error.
#include "companions/Pellix.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    const qsizetype all = PellixCommands().size();
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        QApplication app(argc, argv);
        return RunPellix() == all ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    const auto toStandardError = [](const QString& message) {
        std::fprintf(stderr, "pellix: %s\n", qPrintable(message));
    };
    return RunPellix(StartDetachedQuietly, toStandardError) == all ? 0 : 1;
}
