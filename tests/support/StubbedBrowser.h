#pragma once
// Stand-ins for the desktop's opener (xdg-open) and its handler query
// (xdg-mime), first on PATH for as long as the object lives, so that no
// real browser opens. The opener appends each address it is given to a
// file.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

class StubbedBrowser {
public:
    StubbedBrowser()
        : savedPath_(qgetenv("PATH"))
    {
        const QString log = dir_.filePath("opened.txt");
        script("xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
        script("xdg-mime", "#!/bin/sh\necho stub-browser.desktop\n");
        qputenv("PATH", dir_.path().toUtf8() + ':' + savedPath_);
    }
    ~StubbedBrowser() { qputenv("PATH", savedPath_); }
    StubbedBrowser(const StubbedBrowser&) = delete;
    StubbedBrowser& operator=(const StubbedBrowser&) = delete;

    // The folder of the stand-ins, for the PATH of another process.
    QString binDir() const { return dir_.path(); }

    // The addresses opened so far.
    QStringList opened() const
    {
        QFile f(dir_.filePath("opened.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    bool waitForOpened(int count, int ms) const
    {
        QElapsedTimer t;
        t.start();
        while (opened().size() < count && t.elapsed() < ms)
            QThread::msleep(20);
        return opened().size() >= count;
    }

private:
    void script(const char* name, const QByteArray& text)
    {
        QFile f(dir_.filePath(QLatin1String(name)));
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir dir_;
    QByteArray savedPath_;
};
