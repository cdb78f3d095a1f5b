#include "LocalHttpServer.h"

#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    start();
    started_.acquire();
}

LocalHttpServer::~LocalHttpServer()
{
    quit();
    wait();
}

QString LocalHttpServer::address() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port_.load());
}

void LocalHttpServer::serve(const QString& path, const Page& page)
{
    QMutexLocker lock(&mutex_);
    pages_.insert(path, page);
}

QStringList LocalHttpServer::requests() const
{
    QMutexLocker lock(&mutex_);
    return requests_;
}

QStringList LocalHttpServer::requestsFor(const QString& path) const
{
    QStringList out;
    for (const QString& r : requests())
        if (r.section(QLatin1Char('?'), 0, 0) == path)
            out << r;
    return out;
}

bool LocalHttpServer::waitForRequests(const QString& path, int count, int ms) const
{
    QElapsedTimer t;
    t.start();
    while (requestsFor(path).size() < count) {
        if (t.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

LocalHttpServer::Page LocalHttpServer::pageFor(const QString& path) const
{
    QMutexLocker lock(&mutex_);
    return pages_.value(path, Page{404, "<html><body>not found</body></html>"});
}

QString LocalHttpServer::closedAddress()
{
    // A port that was free a moment ago; nothing of the test listens there.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

void LocalHttpServer::run()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    port_ = server.serverPort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
                socket->setProperty("buffer", buffer);
                if (!buffer.contains("\r\n\r\n") || socket->property("answered").toBool())
                    return;
                socket->setProperty("answered", true);
                const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
                const QString target = QString::fromLatin1(requestLine.value(1));
                {
                    QMutexLocker lock(&mutex_);
                    requests_ << target;
                }
                const Page page = pageFor(target.section(QLatin1Char('?'), 0, 0));
                socket->write("HTTP/1.1 " + QByteArray::number(page.status) + ' ' + reason(page.status)
                              + "\r\nContent-Type: " + page.type
                              + (page.sized ? QByteArray("\r\nContent-Length: ") + QByteArray::number(page.body.size()) : QByteArray())
                              + "\r\nConnection: close\r\n\r\n" + page.body);
                socket->disconnectFromHost();
            });
        }
    });
    started_.release();
    exec();
}
