#pragma once
// The upload command's exchange with the meter, without a window: open the port, set its
// latency, synchronise, read the meter's software version, send each sequence the list gives,
// and end with command 0. What it does goes to a log (the lines of the upload window) and a
// progress bar; what came of it is returned as a report.
#include <cstdint>
#include <string>
#include <vector>

#include "link/Portvirt.h"

class TElectSequence;

// A colour of the log's text.
struct TLogColor {
    std::uint8_t Red, Green, Blue;
    bool operator==(const TLogColor&) const = default;
};
inline constexpr TLogColor kLogNavy{0, 0, 128};  // an entry's title
inline constexpr TLogColor kLogRed{255, 0, 0};   // what went wrong with it

// Where the exchange reports. The bodies here show nothing: a caller without a window (tests,
// benchmarks) keeps them.
class TUploadLog {
public:
    virtual ~TUploadLog() = default;
    // The state of the link above the log: "Synchronize...", then "Connected to ...".
    virtual void ShowLinkState(const std::string&) {}
    virtual void ClearLog() {}
    // A line, in the colour and weight last set.
    virtual void AddLine(const std::string&) {}
    virtual void SetLogColor(TLogColor) {}
    virtual void SetLogBold() {}
};

// The sequences to send. The exchange asks at every entry, since commands run inside its waits.
class TUploadList {
public:
    virtual ~TUploadList() = default;
    virtual int EntryCount() = 0;
    // The sequence of entry i when it is to be sent (ticked, or the current entry); null when not.
    virtual TElectSequence* EntryToSend(int i) = 0;
};

// What came of one sequence.
enum class TSequenceOutcome {
    Stored,          // the meter keeps it under Memory
    NotComputed,     // logged and skipped; the next entry goes on
    SoftwareTooOld,  // this one and the following ones end the exchange
    UploadError,
    MemoryFull,
};

struct TSequenceResult {
    int Entry = 0;  // its place in the list
    TSequenceOutcome Outcome = TSequenceOutcome::UploadError;
    std::int32_t Memory = -1;  // the meter's memory number when Stored
    bool operator==(const TSequenceResult&) const = default;
};

// How the exchange ended.
enum class TUploadEnd {
    PortRefused,           // the port did not open: the message was shown and nothing was sent
    CommunicationStopped,  // no synchronisation, or the link failed outside a sequence's sending
    Finished,              // every entry was done, or an outcome that ends the exchange came
};

struct TUploadReport {
    TUploadEnd End = TUploadEnd::PortRefused;
    std::string Name, Speed;  // what the meter gave at synchronisation
    std::int32_t Version = 0;
    std::vector<TSequenceResult> Results;  // one for each entry sent, in list order
    bool Ended = false;                    // the closing command was confirmed
    bool operator==(const TUploadReport&) const = default;
};

// The saved link settings the exchange opens the port with.
struct TUploadSettings {
    int PortNumber = 0;
    int Speed = 0;
    std::string IPAddress;  // used by the Wi-Fi link only
};

class TUploadSession {
public:
    // port may be null (no port object): the upload then ends as refused.
    TUploadSession(TPortVirt* port, TUploadLog& log, TProgressSink* progress = nullptr);

    // The whole exchange. The port is left open, unless the user closed it (Cancel).
    TUploadReport Run(const TUploadSettings& settings, TUploadList& list);

    // The steps of Run, in order, for a caller that takes the exchange a step at a time. A
    // failure of the link leaves them as an EPortError; Run catches it.
    bool Open(const TUploadSettings& settings);          // false when the port did not open
    bool Connect();                                      // latency, synchronisation, version
    TSequenceResult Send(int entry, TElectSequence& s);  // one entry, logged
    bool End();  // command 0, when synchronised and still open; true when confirmed

    const TUploadReport& Report() const { return Result; }

private:
    TPortVirt* Port;
    TUploadLog& Log;
    TProgressSink* Progress;
    TUploadReport Result;
    bool Synchronised = false;
};

// A sequence outcome ends the exchange (every one but Stored and NotComputed).
bool EndsTheUpload(TSequenceOutcome outcome);
