#pragma once
// Mouse clicks as the platform delivers a user's: to the top-level window at
// the point under the widget's centre. Qt finds the widget under the point
// and turns two quick presses into a double click, as for a real mouse.

#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace mouse {

inline QPoint centreInWindow(QWidget* widget, QWindow* window)
{
    return window->mapFromGlobal(widget->mapToGlobal(widget->rect().center()));
}

inline void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseClick(window, button, {}, centreInWindow(widget, window));
}

inline void doubleClick(QWidget* widget, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    QTest::mouseDClick(window, button, {}, centreInWindow(widget, window));
}

} // namespace mouse
