#include "GuardedApplication.h"

#include <QByteArray>
#include <QEvent>

#include <cstdio>
#include <exception>

namespace {

void reportEscapedError(const QObject* receiver, const QEvent* event, const QByteArray& what)
{
    QByteArray where = receiver ? QByteArray(receiver->metaObject()->className()) : QByteArray("?");
    if (receiver && !receiver->objectName().isEmpty())
        where += " \"" + receiver->objectName().toUtf8() + '"';
    QByteArray line = "tamsel: an error escaped the handler of event " + QByteArray::number(event ? int(event->type()) : 0)
        + " of " + where + " and was ignored: " + what;
    // One line, whatever the message holds.
    line.replace('\n', ' ');
    line.replace('\r', ' ');
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

} // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportEscapedError(receiver, event, QByteArray(e.what()));
    } catch (...) {
        reportEscapedError(receiver, event, QByteArray("an error that is not a standard exception"));
    }
    return false;
}
