#include "tests/support/MeterTcpHost.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <stdexcept>

TMeterTcpHost::TMeterTcpHost(uint16_t port) : Server(std::make_unique<QTcpServer>()) {
    if (!Server->listen(QHostAddress::LocalHost, port))
        throw std::runtime_error("cannot listen on 127.0.0.1: " + Server->errorString().toStdString());
    QObject::connect(Server.get(), &QTcpServer::newConnection, [this] { Accept(); });
}

TMeterTcpHost::~TMeterTcpHost() {
    HangUp();
    Server->close();
}

uint16_t TMeterTcpHost::Port() const { return Server->serverPort(); }

void TMeterTcpHost::Accept() {
    while (QTcpSocket* next = Server->nextPendingConnection()) {
        HangUp();  // one computer at a time: the newest wins
        Client = next;
        ++ConnectionCount;
        next->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        QObject::connect(next, &QTcpSocket::readyRead, next, [this, next] {
            QByteArray data = next->readAll();
            if (OnBytes && !data.isEmpty())
                OnBytes(reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()));
        });
        QObject::connect(next, &QTcpSocket::disconnected, next, [this, next] {
            if (Client == next) Client = nullptr;
            next->deleteLater();
        });
        if (OnConnect) OnConnect();
    }
}

void TMeterTcpHost::Send(const uint8_t* data, size_t n) {
    if (!Client || n == 0) return;
    Client->write(reinterpret_cast<const char*>(data), static_cast<qint64>(n));
    Client->flush();
}

void TMeterTcpHost::HangUp() {
    if (!Client) return;
    QTcpSocket* c = Client;
    Client = nullptr;
    c->abort();
    c->deleteLater();
}

uint16_t UnusedTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    uint16_t port = probe.serverPort();
    probe.close();
    return port;
}
