// The meter played from arbitrary bytes (a script of its replies: see ScriptPort.h) against the
// upload command's exchange: synchronisation, the version, the upload of one or two small
// sequences and the closing command. Whatever the meter sends, the exchange must end with
// results the window knows, the progress bar must stay in its range, and the sequences must be
// left as they were.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "tests/support/ScriptPort.h"
#include "tests/support/UploadExchange.h"

namespace {
class TCheckedProgress final : public TProgressSink {
public:
    void SetRange(int minimum, int maximum) override {
        if (minimum != 0 || maximum < 0) std::abort();
        Maximum = maximum;
    }
    void SetPosition(int position) override {
        if (position < 0 || position > Maximum) std::abort();
        Current = position;
    }
    int Position() const override { return Current; }

private:
    int Maximum = 0;
    int Current = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InstallQuietHost();
    static const std::vector<std::unique_ptr<TElectSequence>> sequences = ScriptSequences();
    static const std::vector<std::unique_ptr<TElectSequence>> pristine = ScriptSequences();

    TPortScript port(data, size);
    port.Timing = ScriptTiming();
    std::vector<TElectSequence*> sent;
    for (int i = 0; i < port.Options.Sequences; ++i) sent.push_back(sequences[std::size_t(i)].get());
    TCheckedProgress progress;
    const TUploadReport x = RunUploadExchange(port, port.Options.PortNumber, sent, &progress);

    if (x.End == TUploadEnd::PortRefused || x.Results.size() > sent.size()) std::abort();
    for (std::size_t i = 0; i < x.Results.size(); ++i)
        if (x.Results[i].Entry != static_cast<int>(i) || !KnownResultOfComputed(x.Results[i])) std::abort();
    for (std::size_t i = 0; i < sent.size(); ++i)
        if (std::memcmp(static_cast<const void*>(sent[i]), pristine[i].get(), sizeof(TElectSequence)) != 0)
            std::abort();
    return 0;
}
