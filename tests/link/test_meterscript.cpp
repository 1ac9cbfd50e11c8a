// The meter played from a script: a recorded exchange with the simulated meter plays again byte
// for byte, the fuzz target's seed corpus holds such recordings, and a script that stops short
// anywhere still ends the exchange.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/link/LinkRig.h"
#include "tests/support/ScriptPort.h"
#include "tests/support/UploadExchange.h"

namespace {
struct TRecordCase {
    const char* name;  // the seed file's name
    const TLinkTraits* traits;
    int sequences;
    void (*knobs)(TMeterSim::TKnobs&);
};

const TRecordCase kRecordCases[] = {
    {"serial", &kSerialLink, 1, [](TMeterSim::TKnobs&) {}},
    {"usb-two-sequences", &kUSBLink, 2, [](TMeterSim::TKnobs&) {}},
    {"tcpip", &kIPLink, 1, [](TMeterSim::TKnobs&) {}},
    {"firmware-2", &kSerialLink, 1, [](TMeterSim::TKnobs& k) { k.Version = 0x20000002; }},
    {"firmware-too-old", &kSerialLink, 1, [](TMeterSim::TKnobs& k) { k.Version = 0x20000001; }},
    {"memory-full", &kSerialLink, 2, [](TMeterSim::TKnobs& k) { k.MemoryFull = true; }},
    {"line-faults", &kSerialLink, 2,
     [](TMeterSim::TKnobs& k) {
         k.SyncEchoAt = 3;
         k.ProbeEchoAt = 2;
         k.FFAnswers = 1;
         k.NoiseBeforePrompt = 3;
         k.BadChecksumAt = {-1, 1};
         k.WrongRequestAt = {-1, 2};
     }},
};

struct TRecording {
    TUploadReport exchange;
    std::vector<std::uint8_t> script;
    std::vector<std::uint8_t> fromProgram;  // every byte the meter received
};

std::vector<TElectSequence*> First(const std::vector<std::unique_ptr<TElectSequence>>& list, int n) {
    std::vector<TElectSequence*> out;
    for (int i = 0; i < n; ++i) out.push_back(list[std::size_t(i)].get());
    return out;
}

TRecording Record(const TRecordCase& c) {
    TMeterSim meter;
    c.knobs(meter.Knobs);
    TScriptRecorder port(meter, *c.traits);
    port.Timing = FastTiming();
    auto sequences = ScriptSequences();
    TProgressBar progress;
    TRecording r;
    r.exchange = RunUploadExchange(port, PortNumberFor(c.traits->Kind), First(sequences, c.sequences), &progress);
    r.script = port.Script(c.sequences);
    r.fromProgram = meter.Received;
    return r;
}

struct TPlayed {
    TUploadReport exchange;
    std::vector<std::uint8_t> written;
};

TPlayed Play(const std::vector<std::uint8_t>& script) {
    TPortScript port(script.data(), script.size());
    port.Timing = ScriptTiming();
    auto sequences = ScriptSequences();
    TProgressBar progress;
    TPlayed p;
    p.exchange = RunUploadExchange(port, port.Options.PortNumber, First(sequences, port.Options.Sequences), &progress);
    p.written = port.Written;
    return p;
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
}  // namespace

// Each exchange recorded from the simulated meter: its script plays it again byte for byte, the
// seed corpus of the fuzz target holds that script (PLANORA_WRITE_METER_SEEDS=<folder> writes
// the scripts there: how the corpus was made), and cut short anywhere it still ends.
TEST(MeterScript, RecordedExchangesPlayAgain) {
    const char* writeTo = std::getenv("PLANORA_WRITE_METER_SEEDS");
    TRecordingHost host;
    for (const TRecordCase& c : kRecordCases) {
        SCOPED_TRACE(c.name);
        const TRecording r = Record(c);
        ASSERT_TRUE(r.exchange.Ended);
        const TPlayed p = Play(r.script);
        EXPECT_EQ(p.exchange, r.exchange);
        EXPECT_EQ(p.written, r.fromProgram);

        if (writeTo) {
            std::ofstream out(std::filesystem::path(writeTo) / c.name, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(r.script.data()), std::streamsize(r.script.size()));
        }
        const auto seed = ReadFile(std::filesystem::path(PLANORA_METER_SEEDS) / c.name);
        EXPECT_EQ(Play(seed).exchange, r.exchange) << "the seed in " << PLANORA_METER_SEEDS;

        for (std::size_t size = 0; size < r.script.size(); ++size) {
            const TPlayed cut = Play(std::vector<std::uint8_t>(r.script.begin(), r.script.begin() + std::ptrdiff_t(size)));
            for (const TSequenceResult& result : cut.exchange.Results) EXPECT_TRUE(KnownResultOfComputed(result)) << size;
        }
    }
}
