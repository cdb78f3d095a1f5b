#pragma once
// A small HTTP server on the loopback interface, running in a thread of its
// own so that it answers while the test waits. Serves fixed pages by path,
// answers 404 to any other, and records every request. The process needs a
// QCoreApplication (or QApplication).

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class LocalHttpServer : public QThread {
public:
    struct Page {
        int status = 200;
        QByteArray body;
        QByteArray type = "text/html; charset=utf-8";
        // Whether the answer says its length first (else its end is the
        // end of the connection).
        bool sized = true;
    };

    LocalHttpServer();
    ~LocalHttpServer() override;

    // "http://127.0.0.1:<port>/"
    QString address() const;
    quint16 port() const { return port_; }

    // What a path (without its query) answers from now on.
    void serve(const QString& path, const Page& page);
    // The request targets, path and query ("/checkupdate.php?netid=..."),
    // in the order they came.
    QStringList requests() const;
    // Requests whose path is `path`.
    QStringList requestsFor(const QString& path) const;
    // Waits until `count` requests for `path` have come.
    bool waitForRequests(const QString& path, int count, int ms) const;

    // An address on the loopback interface where nothing listens.
    static QString closedAddress();

protected:
    void run() override;

private:
    Page pageFor(const QString& path) const;

    mutable QMutex mutex_;
    QHash<QString, Page> pages_;
    QStringList requests_;
    std::atomic<quint16> port_{0};
    QSemaphore started_;
};
