#pragma once
// The meter's side of the upload protocol, for tests and benchmarks. Transport-neutral: it
// consumes the bytes the program writes (Feed) and produces the bytes the program reads
// (Read). It answers at once; it never waits. It records every byte both ways and decodes
// every uploaded image. Knobs inject the faults a real line has.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class TMeterSim {
public:
    enum class TPhase {
        Menu,        // upload menu, not synchronised: a probe is answered with the greeting
        Prompt,      // after ":>": waits for a probe
        Probed,      // probe echoed: waits for a command byte
        Complement,  // command byte received: waits for its complement
        StartEcho,   // block transfer: waits for the echo of a start byte
        Length,      // waits for the 4-byte total length
        Echo,        // waits for the echo of a block request
        LengthWord,  // waits for a block's length word
        Data,        // waits for a block's bytes
        Checksum,    // waits for a block's checksum
        Silent,      // answers nothing more
    };

    // A place in the block transfers: transfer index (0-based, counted over the meter's life,
    // or -1 for every transfer) and block index within it (1-based, in the order the blocks
    // are first asked for).
    struct TBlockAt {
        int Transfer = -2;  // -2: nowhere
        int Block = 0;
        bool Matches(int transfer, int block) const {
            return (Transfer == -1 || Transfer == transfer) && Block == block;
        }
    };

    struct TKnobs {
        std::int32_t Version = 0x20000003;       // 4-byte software version sent after the lines
        std::string SpeedLine = "273000";
        std::string NameLine = "RESKON";
        int RequiredSpeed = 0;                   // line speed the meter hears at; 0: any
        int SyncEchoAt = 1;                      // the first greeting answers the n-th probe in the
                                                 // menu (later ones the first); 0 never
        int ProbeEchoAt = 1;                     // the n-th probe of a handshake is echoed; 0 never
        int SilentExchanges = 0;                 // first exchanges of a handshake get no reply
        int FFAnswers = 0;                       // then this many get 0xFF (ask again)
        int ForeignReply = -1;                   // once: reply byte in place of the confirmation
        int GarbledConfirmation = -1;            // once: the meter confirms and goes on, but the
                                                 // line turns its confirmation into this byte
        bool SendPrompt = true;                  // ":>" after the greeting and after each command
        int NoiseBeforePrompt = 0;               // noise bytes sent before each ":>"
        bool MemoryFull = false;                 // status 13
        std::optional<std::int32_t> Status;      // status in place of the memory number
        bool SilentAfterCommand = false;         // a confirmed upload command gets no status
        bool HangUpAfterCommand = false;         // the line goes down after the confirmation
        std::vector<std::uint8_t> StartBytes = {0x55, 0x00};  // last one must be 0x00
        TBlockAt BadChecksumAt;                  // that block arrives damaged
        int BadChecksumCount = 1;                // ... this many times
        TBlockAt WrongRequestAt;                 // before asking that block, a wrong number
        int WrongRequestCount = 1;               // ... this many times
        TBlockAt SilenceAt;                      // from that request on, silence
        TBlockAt HangUpAt;                       // at that request, the line goes down
    };

    struct TPoint {
        float X, Y, Z;
    };
    struct TQuad {
        std::uint16_t A, B, M, N;  // bit 15 of A split off into GapFiller
        bool GapFiller;
    };

    // One block transfer as the meter saw it.
    struct TTransfer {
        std::uint32_t Announced = 0;           // the total length the program sent
        std::vector<std::uint8_t> Data;        // the blocks accepted, in order
        std::vector<std::uint16_t> Requests;   // every request number sent, wrong ones included
        std::vector<std::uint16_t> BlockLengths;  // length word / 64 of every block received
        int BadChecksums = 0;                  // blocks refused (and asked again)
        int EchoErrors = 0;                    // echoes that differed from what was sent
        std::vector<std::uint8_t> FromHost;    // every byte received during the transfer
        bool Complete = false;
    };

    // One uploaded sequence, decoded.
    struct TImage {
        std::uint8_t Command = 0;
        std::int32_t Memory = -1;
        std::vector<std::uint8_t> Header;      // 136 bytes
        std::vector<TPoint> Electrodes;
        std::vector<TPoint> Remotes;           // empty after command 0xAA
        std::vector<TQuad> Quads;
        bool Complete = false;
        int LastQuadripole() const;            // from the header
        int LastElectrode() const;
    };

    struct TWireByte {
        bool FromHost;
        std::uint8_t Byte;
    };

    TKnobs Knobs;

    TMeterSim() = default;

    // ---- transport side ----
    void Feed(const std::uint8_t* data, std::size_t n);
    void Feed(std::uint8_t b) { Feed(&b, 1); }
    std::size_t Available() const { return Out.size(); }
    std::size_t Read(std::uint8_t* data, std::size_t n);
    int ReadByte();                        // -1 when nothing waits
    bool HungUp() const { return Down; }   // the line went down (knobs HangUp...)
    void SetLineSpeed(int bps) { LineSpeed = bps; }
    int GetLineSpeed() const { return LineSpeed; }
    void DropOutput() { Out.clear(); }

    // ---- test side ----
    TPhase Phase() const { return State; }
    // Puts the meter at its prompt (as after the greeting); sends ":>" when asked.
    void EnterPrompt(bool sendPrompt);
    // Starts n block transfers at once, as after a confirmed upload command (no image decoded).
    void BeginTransfers(int n);
    // Puts raw bytes on the line to the program, whatever the phase.
    void Inject(const std::string& bytes);
    // The line goes down now: nothing more in either direction (what is waiting stays).
    void HangUp() { Down = true; }
    // Forgets the records (wire, transfers, images), keeps the phase and the knobs. Only
    // between exchanges.
    void ClearRecords();

    std::vector<TWireByte> Wire;             // every byte both ways, in order
    std::vector<std::uint8_t> Received;      // every byte from the program
    std::vector<std::uint8_t> Sent;          // every byte to the program
    std::vector<std::uint8_t> Commands;      // confirmed commands
    std::vector<int> ProbesPerHandshake;     // probes received before each echo / command
    int MenuProbes = 0;                      // probes received in the menu since the last greeting
    int Exchanges = 0;                       // command/complement pairs of the current handshake
    std::vector<TTransfer> Transfers;
    std::vector<TImage> Images;
    int Greetings = 0;
    int Stored = 0;                          // sequences stored (next memory number)

private:
    void Step(std::uint8_t b);
    void Send(std::uint8_t b);
    void Send(const std::string& s);
    void SendLE(std::uint32_t v, int bytes);
    void SendPromptText();
    void Greet();
    void Execute(std::uint8_t cmd);
    void StartTransfer();
    void Request(std::uint16_t number, bool final, bool fresh);
    void FinishTransfer();
    void DecodeImage();

    TPhase State = TPhase::Menu;
    std::deque<std::uint8_t> Out;
    bool Down = false;
    int LineSpeed = 0;
    int HandshakeProbes = 0;
    std::uint8_t PendingCmd = 0;
    // Transfer state.
    int TransfersLeft = 0;
    bool DecodeWhenDone = false;
    std::size_t StartIndex = 0;
    std::vector<std::uint8_t> Field;   // bytes of the field being read
    std::size_t FieldSize = 0;
    std::uint16_t Requested = 0;       // request number last sent
    std::uint16_t Expected = 1;        // request number of the block being asked
    bool RequestIsWrong = false;
    bool RequestIsFinal = false;
    int BlockIndex = 1;                // 1-based index of the block being asked
    int WrongLeft = 0;
    int BadLeft = 0;
    std::uint16_t BlockLength = 0;
    std::vector<std::uint8_t> BlockData;
    int Command = 0;
};
