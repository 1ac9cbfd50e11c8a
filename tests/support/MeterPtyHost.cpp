#include "tests/support/MeterPtyHost.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

// Reads the output speed of the line's termios2 (custom speeds included); in a file of its
// own because the kernel's termios2 header cannot sit beside <termios.h>.
int PtyLineSpeed(int masterFd);

TMeterPtyHost::TMeterPtyHost() {
    char name[256] = {};
    if (::openpty(&Master, &Slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("no pseudo-terminal available");
    Path = name;
    termios raw{};
    if (::tcgetattr(Slave, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(Slave, TCSANOW, &raw);
    }
    ::fcntl(Master, F_SETFL, ::fcntl(Master, F_GETFL) | O_NONBLOCK);
    ::fcntl(Master, F_SETFD, FD_CLOEXEC);
    ::fcntl(Slave, F_SETFD, FD_CLOEXEC);
    ReadNotifier = std::make_unique<QSocketNotifier>(Master, QSocketNotifier::Read);
    QObject::connect(ReadNotifier.get(), &QSocketNotifier::activated, [this] { Readable(); });
    WriteNotifier = std::make_unique<QSocketNotifier>(Master, QSocketNotifier::Write);
    WriteNotifier->setEnabled(false);
    QObject::connect(WriteNotifier.get(), &QSocketNotifier::activated, [this] { Writable(); });
}

TMeterPtyHost::~TMeterPtyHost() {
    HangUp();
    if (Slave >= 0) ::close(Slave);
}

int TMeterPtyHost::LineSpeed() const { return Master >= 0 ? PtyLineSpeed(Master) : 0; }

void TMeterPtyHost::Readable() {
    uint8_t buf[4096];
    while (Master >= 0) {
        ssize_t r = ::read(Master, buf, sizeof buf);
        if (r > 0) {
            if (OnBytes) OnBytes(buf, static_cast<size_t>(r));
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        break;  // EAGAIN: all read
    }
}

void TMeterPtyHost::Send(const uint8_t* data, size_t n) {
    if (Master < 0 || n == 0) return;
    Pending.append(reinterpret_cast<const char*>(data), n);
    Writable();
}

void TMeterPtyHost::Writable() {
    while (Master >= 0 && !Pending.empty()) {
        ssize_t w = ::write(Master, Pending.data(), Pending.size());
        if (w > 0) {
            Pending.erase(0, static_cast<size_t>(w));
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        break;  // the line is full: go on when it can take more
    }
    if (WriteNotifier) WriteNotifier->setEnabled(Master >= 0 && !Pending.empty());
}

void TMeterPtyHost::HangUp() {
    if (Master < 0) return;
    // The notifiers stay (disabled) until the host goes: a hang-up may come from inside one.
    ReadNotifier->setEnabled(false);
    WriteNotifier->setEnabled(false);
    ::close(Master);
    Master = -1;
    // The held slave would keep the line alive; drop it so the computer side sees the hang-up.
    if (Slave >= 0) ::close(Slave);
    Slave = -1;
    Pending.clear();
}
