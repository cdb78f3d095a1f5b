#pragma once
// Lets the program's events run for a while, or until a condition holds,
// for tests that drive the program in their own process.

#include <QCoreApplication>
#include <QElapsedTimer>

inline void pump(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
}

// True as soon as `done` holds; false when `ms` ran out first.
template <class Pred>
bool pumpUntil(Pred done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    return done();
}
