// metersim: the simulated meter, started by hand so that the program can be tried without a
// meter. "metersim pty" offers it on a pseudo-terminal (give its path to a serial port with
// the ComDevice<n> setting); "metersim tcp [port]" listens on 127.0.0.1 (port 29461 unless
// given; the program reaches it as TCP/IP port with the address 127.0.0.1).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/MeterPtyHost.h"
#include "tests/support/MeterSim.h"
#include "tests/support/MeterTcpHost.h"

namespace {

// A meter left half-way (an upload cancelled) goes back to its upload menu after this long
// without a byte, as its user would take it back there.
constexpr int IdleResetMs = 3000;

struct TSession {
    TMeterSim Meter;
    std::size_t Reported = 0;
    QElapsedTimer SinceLastByte;

    void Fresh() {
        Meter = TMeterSim();
        Reported = 0;
        SinceLastByte.start();
    }

    // Feeds the computer's bytes to the meter; the answer goes back through send.
    template <class Send>
    void Take(const uint8_t* data, size_t n, Send send) {
        SinceLastByte.start();
        Meter.Feed(data, n);
        uint8_t out[4096];
        while (size_t k = Meter.Read(out, sizeof out)) send(out, k);
        for (; Reported < Meter.Images.size(); ++Reported) {
            const TMeterSim::TImage& image = Meter.Images[Reported];
            if (!image.Complete) break;
            std::printf("sequence stored in memory %d: %zu electrodes, %zu quadripoles\n", image.Memory,
                        image.Electrodes.size(), image.Quads.size());
            std::fflush(stdout);
        }
    }
};

int Usage() {
    std::fprintf(stderr, "usage: metersim pty\n       metersim tcp [port]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return Usage();
    const std::string mode = argv[1];
    TSession session;
    session.Fresh();

    std::unique_ptr<TMeterPtyHost> pty;
    std::unique_ptr<TMeterTcpHost> tcp;
    try {
        if (mode == "pty" && argc == 2) {
            pty = std::make_unique<TMeterPtyHost>();
            pty->OnBytes = [&](const uint8_t* d, size_t n) {
                session.Meter.SetLineSpeed(pty->LineSpeed());
                session.Take(d, n, [&](const uint8_t* o, size_t k) { pty->Send(o, k); });
            };
            std::printf("meter on %s\n", pty->SlavePath().c_str());
        } else if (mode == "tcp" && argc <= 3) {
            const long port = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 29461;
            if (port < 0 || port > 65535) return Usage();
            tcp = std::make_unique<TMeterTcpHost>(static_cast<uint16_t>(port));
            tcp->OnConnect = [&] {
                session.Fresh();
                std::printf("computer connected\n");
                std::fflush(stdout);
            };
            tcp->OnBytes = [&](const uint8_t* d, size_t n) {
                session.Take(d, n, [&](const uint8_t* o, size_t k) { tcp->Send(o, k); });
            };
            std::printf("meter on 127.0.0.1 port %u\n", tcp->Port());
        } else {
            return Usage();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "metersim: %s\n", e.what());
        return 1;
    }
    std::printf("press Ctrl+C to stop\n");
    std::fflush(stdout);

    QTimer idle;
    QObject::connect(&idle, &QTimer::timeout, [&] {
        if (session.Meter.Phase() != TMeterSim::TPhase::Menu && session.SinceLastByte.elapsed() >= IdleResetMs) {
            session.Fresh();
            std::printf("meter back at its upload menu\n");
            std::fflush(stdout);
        }
    });
    idle.start(1000);
    return app.exec();
}
