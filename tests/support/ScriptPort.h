#pragma once
// A port whose meter is a script: the replies the meter gives, one to each write of the program.
// Recorded from the simulated meter it replays that exchange byte for byte; made of arbitrary
// bytes it is a meter that answers anything (the fuzz target feeds it its input).
//
// Script: one options byte, then one reply per write of the program, in order. A reply is a run
// of length bytes and data: a length of 0..254 is that many bytes and the end of the reply, 255
// is 255 bytes and more of the same reply behind them. A missing tail reads as nothing.
// Options: bits 0-1 the link (0 serial, 1 USB, 2 TCP/IP, 3 serial), bit 2 upload two sequences.
//
// Nothing reaches the program but the replies to its writes, so a read that finds nothing waiting
// times out at once. Once the script has run out, the meter is gone: the first wait for it then
// closes the port, as the user's Cancel does, so that no exchange goes on for ever.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
#include "tests/support/MemoryPort.h"
#include "tests/support/PipePort.h"

struct TScriptOptions {
    const TLinkTraits* Traits;
    int PortNumber;      // the number Open gets for that link (PortNumberFor)
    int Sequences;       // 1 or 2
};

TScriptOptions DecodeScriptOptions(std::uint8_t options);
std::uint8_t EncodeScriptOptions(TLinkKind link, int sequences);

// The link's timing for a script: a thousandth of the real limits, and no fixed pauses, since
// they only space out bytes on a real line. Nothing arrives while WaitFor waits (only a write
// brings a reply), so its limit is passed at once.
TLinkTiming ScriptTiming();

class TPortScript : public TPortMemory {
public:
    // The script is read in place: it must outlive the port.
    TPortScript(const std::uint8_t* script, std::size_t size);

    const TScriptOptions Options;
    std::vector<std::uint8_t> Written;  // every byte the program wrote

    int Open(int port, int bps, int byteDelayMs, const std::string& initText, bool waitDsr,
             const std::string& phoneOrAddress) override;
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    int ReadBufferTimed(void* buf, int n, int timeoutMs) override;
    int ReadByteTimed(int timeoutMs) override;
    int ReadByte() override;
    int RxCount() override { return IsOpen() ? static_cast<int>(Pending.size()) : -1; }
    std::string InterfaceName() override { return "Script"; }
    void PollIo(int ms) override;

private:
    void Reply();          // the meter's reply to one write becomes readable
    bool Waiting();        // false (and the port closed) when nothing waits and nothing ever will
    const std::uint8_t* Next;
    const std::uint8_t* End;
    std::deque<std::uint8_t> Pending;
};

// A pipe to the simulated meter that notes the meter's reply to each write: the script of the
// exchange, to be played again by TPortScript.
class TScriptRecorder : public TPortPipe {
public:
    TScriptRecorder(TMeterSim& meter, const TLinkTraits& traits) : TPortPipe(meter, traits) {}
    int WriteByte(std::uint8_t b) override;
    int WriteBuffer(const void* data, int n) override;
    // The script: the options byte, then the replies noted so far.
    std::vector<std::uint8_t> Script(int sequences) const;

private:
    void Note(std::size_t sentBefore);
    std::vector<std::vector<std::uint8_t>> Replies;
};

// The sequences a script's exchange uploads (the first one, or both): small computed-looking
// lines of one block per image part, with gap fillers and remote electrodes.
std::vector<std::unique_ptr<TElectSequence>> ScriptSequences();
