#pragma once
// The meter's end of a TCP link: a listener on 127.0.0.1 (a free port unless one is given)
// that takes one computer at a time. Bytes from the computer reach OnBytes; Send answers.
// Runs on the Qt event loop of the calling thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class QTcpServer;
class QTcpSocket;

class TMeterTcpHost {
public:
    explicit TMeterTcpHost(uint16_t port = 0);  // throws std::runtime_error when it cannot listen
    ~TMeterTcpHost();
    TMeterTcpHost(const TMeterTcpHost&) = delete;
    TMeterTcpHost& operator=(const TMeterTcpHost&) = delete;

    uint16_t Port() const;
    bool Connected() const { return Client != nullptr; }
    int Connections() const { return ConnectionCount; }
    void Send(const uint8_t* data, size_t n);
    // The meter drops the connection (and keeps listening).
    void HangUp();

    std::function<void(const uint8_t*, size_t)> OnBytes;
    // A computer has connected (the meter starts afresh).
    std::function<void()> OnConnect;

private:
    void Accept();

    std::unique_ptr<QTcpServer> Server;
    QTcpSocket* Client = nullptr;  // owned by Server
    int ConnectionCount = 0;
};

// A TCP port on 127.0.0.1 with nothing listening on it (for tests of a missing meter).
uint16_t UnusedTcpPort();
