#pragma once
// The meter's end of a pseudo-terminal: the computer side opens SlavePath() like any serial
// device, and every byte it writes reaches OnBytes here; Send answers it. Runs on the Qt
// event loop of the calling thread, so the port's waits (which pump events) drive it.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

class TMeterPtyHost {
public:
    TMeterPtyHost();  // throws std::runtime_error when no pseudo-terminal can be had
    ~TMeterPtyHost();
    TMeterPtyHost(const TMeterPtyHost&) = delete;
    TMeterPtyHost& operator=(const TMeterPtyHost&) = delete;

    const std::string& SlavePath() const { return Path; }
    // The speed that the computer side has set on its end of the line (bits per second).
    int LineSpeed() const;
    void Send(const uint8_t* data, size_t n);
    // The meter hangs up: the computer side's next read fails as on a vanished device.
    void HangUp();
    bool HungUp() const { return Master < 0; }

    std::function<void(const uint8_t*, size_t)> OnBytes;

private:
    void Readable();
    void Writable();

    int Master = -1;
    int Slave = -1;  // held open so the line stays up while the computer side closes and reopens
    std::string Path;
    std::string Pending;  // answer bytes the line could not take yet
    std::unique_ptr<QSocketNotifier> ReadNotifier, WriteNotifier;
};
