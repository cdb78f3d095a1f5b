// A small window for the end-to-end tests: an editor holding a text, with
// part of it selected and the keyboard focus, as another application would
// hold the user's selection. Ctrl+C copies the selection; Ctrl+A selects all.
// Usage: selection_holder TEXT [SELECT_FROM SELECT_LENGTH]   (no range: nothing selected)
// Prints "ready" once its window has the focus.
#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QPlainTextEdit edit;
    edit.setWindowTitle(QStringLiteral("selection holder"));
    edit.setPlainText(argc > 1 ? QString::fromUtf8(argv[1]) : QString());
    if (argc > 3) {
        QTextCursor c = edit.textCursor();
        c.setPosition(QString(argv[2]).toInt());
        c.setPosition(QString(argv[2]).toInt() + QString(argv[3]).toInt(), QTextCursor::KeepAnchor);
        edit.setTextCursor(c);
    }
    edit.resize(400, 200);
    edit.move(100, 100);
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (edit.hasFocus() && edit.isActiveWindow()) {
            std::puts("ready");
            std::fflush(stdout);
            poll.stop();
        } else {
            edit.activateWindow();
        }
    });
    poll.start(50);
    return app.exec();
}
