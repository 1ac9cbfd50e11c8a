// A full sequence (16000 quadripoles, electrodes 0..1319) uploaded with the real pauses of the
// link through the serial port over a pseudo-terminal and through the TCP/IP port over
// loopback, to the simulated meter on the other end. The floor is the sum of the pauses; the
// time above it is what the transport costs.
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "engine/Electsequence.h"
#include "link/Eventpump.h"
#include "tests/support/MeterLinks.h"
#include "link/Portcom.h"
#include "link/Portip.h"
#include "link/UploadSession.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/UploadSequence.h"

namespace {

// Opens and synchronises the port, then uploads the full sequence once per iteration.
void RunUploads(benchmark::State& state, TPortVirt& port, TMeterSim& meter, int portNumber,
                const std::string& address) {
    meter.Knobs.Status = 0;  // the meter never fills up
    TUploadLog quiet;
    TProgressBar progress;
    TUploadSession session(&port, quiet, &progress);
    if (!session.Open({portNumber, kHighSpeed, address})) {
        state.SkipWithError("the port did not open");
        return;
    }
    if (!session.Connect()) {
        state.SkipWithError("no meter");
        return;
    }
    auto s = FullUploadSequence();
    for (auto _ : state) {
        const TSequenceResult r = session.Send(0, *s);
        // The last echo is on its way to the meter when the upload returns.
        for (int i = 0; i < 1000 && (meter.Images.empty() || !meter.Images.back().Complete); ++i) PumpEvents(1);
        if (r.Outcome != TSequenceOutcome::Stored || meter.Images.empty() || !meter.Images.back().Complete) {
            state.SkipWithError("upload failed");
            break;
        }
        state.PauseTiming();
        meter.ClearRecords();
        state.ResumeTiming();
    }
    state.counters["pause_floor_ms"] = UploadPauseFloorMs(port.Timing);
    port.Close();
}

void BM_UploadOverPseudoTerminal(benchmark::State& state) {
    TRecordingHost host;
    host.Answers = {true};
    TMeterSim meter;
    TMeterPtyHost line;
    AttachMeter(line, meter);
    QSettings settings(QStringLiteral("Olvane Zerarezizuz"), QStringLiteral("PlanoraPro"));
    settings.setValue(QStringLiteral("Initialisation/PlanoraPro/ComDevice1"), QString::fromStdString(line.SlavePath()));
    settings.sync();
    TPortCOM port;
    RunUploads(state, port, meter, kFirstSerialPortNumber, "");
}

void BM_UploadOverTcpLoopback(benchmark::State& state) {
    TRecordingHost host;
    host.Answers = {true};
    TMeterSim meter;
    TMeterTcpHost link;
    AttachMeter(link, meter);
    TPortIP port;
    port.TcpPort = link.Port();
    RunUploads(state, port, meter, kIPPortNumber, "127.0.0.1");
}

}  // namespace

BENCHMARK(BM_UploadOverPseudoTerminal)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_UploadOverTcpLoopback)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
    // The serial device is named in the settings: keep them out of the user's own.
    QTemporaryDir home;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit().constData(), 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
