#include "link/UploadSession.h"

#include "engine/Electsequence.h"
#include "engine/Host.h"
#include "link/PortNumbers.h"

namespace {
const char* const kPortRefused =
    "Interrupted by user, or another software is using the communication port, close it and try again";
const char* const kStopped = "Communication stopped";

// The port's latency setting for the exchange, in milliseconds.
constexpr int kUploadLatencyMs = 10;
// The meter's name and speed read at synchronisation start as this many letters Z.
constexpr std::size_t kMeterTextLength = 40;
constexpr int kCloseCommand = 0;

TSequenceOutcome OutcomeOf(std::int32_t result) {
    if (result >= 0) return TSequenceOutcome::Stored;
    switch (result) {
        case kUploadNotComputed: return TSequenceOutcome::NotComputed;
        case kUploadTooOld: return TSequenceOutcome::SoftwareTooOld;
        case kUploadMemoryFull: return TSequenceOutcome::MemoryFull;
        default: return TSequenceOutcome::UploadError;
    }
}

// The red line logged under an entry; empty for a stored one.
const char* StatusText(TSequenceOutcome outcome) {
    switch (outcome) {
        case TSequenceOutcome::Stored: return "";
        case TSequenceOutcome::NotComputed: return "Please compute sequence before uploading it";
        case TSequenceOutcome::SoftwareTooOld:
            return "The software version of Reskon or Dunel is too old, Contact Olvane Zerarezizuz for new version.";
        case TSequenceOutcome::UploadError: return "An error occured during upload";
        case TSequenceOutcome::MemoryFull: return "Memory full can't store sequence";
    }
    return "";
}
}  // namespace

bool EndsTheUpload(TSequenceOutcome outcome) {
    return outcome != TSequenceOutcome::Stored && outcome != TSequenceOutcome::NotComputed;
}

TUploadSession::TUploadSession(TPortVirt* port, TUploadLog& log, TProgressSink* progress)
    : Port(port), Log(log), Progress(progress) {}

bool TUploadSession::Open(const TUploadSettings& settings) {
    const std::string address = settings.PortNumber == kIPPortNumber ? settings.IPAddress : std::string();
    return Port && Port->Open(settings.PortNumber, settings.Speed, 0, std::string(), false, address) > 0;
}

bool TUploadSession::Connect() {
    Log.ShowLinkState("Synchronize...");
    Port->SetLatency(kUploadLatencyMs);
    Result.Name.assign(kMeterTextLength, 'Z');
    Result.Speed.assign(kMeterTextLength, 'Z');
    if (!Port->Synchronize(Result.Name, Result.Speed)) return false;
    Synchronised = true;
    std::uint8_t v[4];
    Port->GetBuffer(v, 4);
    Result.Version = static_cast<std::int32_t>(std::uint32_t(v[0]) | std::uint32_t(v[1]) << 8 |
                                               std::uint32_t(v[2]) << 16 | std::uint32_t(v[3]) << 24);
    Log.ShowLinkState("Connected to " + Result.Name + " at : " + Result.Speed + " bps");
    Log.ClearLog();
    return true;
}

TSequenceResult TUploadSession::Send(int entry, TElectSequence& s) {
    Log.SetLogColor(kLogNavy);
    Log.AddLine("Upload file " + std::to_string(entry + 1) + " : ");
    Log.AddLine("   " + TrimText(s.FileName));
    Log.AddLine({});
    Log.SetLogBold();
    Log.AddLine("   Sequence name : " + s.GetSeqName() + "  E:" + std::to_string(s.Device.ElectrodeCount) +
                "  Q:" + std::to_string(s.Device.LastQuadripole + 1));
    const std::int32_t r = s.Upload(*Port, Result.Version, Progress);
    const TSequenceResult result{entry, OutcomeOf(r), r >= 0 ? r : -1};
    Result.Results.push_back(result);

    if (result.Outcome == TSequenceOutcome::Stored) {
        Log.SetLogBold();
        Log.AddLine("   Stored on memory # " + std::to_string(r));
    }
    Log.AddLine({});
    const std::string status = StatusText(result.Outcome);
    if (!status.empty()) {
        Log.SetLogBold();
        Log.SetLogColor(kLogRed);
        Log.AddLine(status);
    }
    return result;
}

bool TUploadSession::End() {
    // Nothing goes to a meter the link could not synchronise with, nor over a closed port.
    if (!Synchronised || !Port || Port->GetState() <= 0) return false;
    return Port->SendCmd(kCloseCommand, Port->Timing.CommandTimeoutMs);
}

TUploadReport TUploadSession::Run(const TUploadSettings& settings, TUploadList& list) {
    Result = TUploadReport();
    Synchronised = false;
    bool opened = false;
    std::string status;
    // Any failure from here on (a port error, the user's Cancel while the meter is awaited)
    // ends the exchange as stopped; the sending of a sequence catches its own.
    try {
        opened = Open(settings);
        if (!opened) {
            Host().ShowMessage(kPortRefused);
        } else if (!Connect()) {
            status = kStopped;
        } else {
            // The list is asked afresh at every entry: commands run inside the waits.
            for (int i = 0; i < list.EntryCount(); ++i) {
                Log.AddLine({});
                TElectSequence* s = list.EntryToSend(i);
                if (!s) continue;
                if (EndsTheUpload(Send(i, *s).Outcome)) break;
            }
        }
    } catch (...) {
        status = kStopped;
    }
    // The closing command; a Cancel may still come while it is awaited.
    try {
        Result.Ended = End();
    } catch (...) {
        if (status.empty()) status = kStopped;
    }
    Log.SetLogBold();
    Log.AddLine(status);
    if (Progress) Progress->SetPosition(0);
    Result.End = !status.empty() ? TUploadEnd::CommunicationStopped
                 : opened        ? TUploadEnd::Finished
                                 : TUploadEnd::PortRefused;
    return Result;
}
