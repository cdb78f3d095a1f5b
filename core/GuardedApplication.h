#pragma once
// The program's application object. Its event delivery is the last guard
// against an error that escapes an event handler: the error is written as
// one line to standard error and the program carries on, so that no such
// error can end it and take unsaved documents with it. Handlers still catch
// what they expect themselves; this only catches what gets past them.

#include <QApplication>

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
