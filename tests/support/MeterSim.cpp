#include "tests/support/MeterSim.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint8_t kProbe = 0x40;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kAskAgain = 0xFF;
constexpr std::int32_t kFullStatus = 13;
constexpr int kLastMemory = 12;

std::uint32_t LE(const std::vector<std::uint8_t>& b) {
    std::uint32_t v = 0;
    for (std::size_t i = b.size(); i-- > 0;) v = (v << 8) | b[i];
    return v;
}

std::int32_t HeaderWord(const std::vector<std::uint8_t>& header, std::size_t at) {
    if (header.size() < at + 4) return -1;
    std::int32_t v;
    std::memcpy(&v, header.data() + at, 4);
    return v;
}

bool InTransfer(TMeterSim::TPhase p) {
    using P = TMeterSim::TPhase;
    return p == P::StartEcho || p == P::Length || p == P::Echo || p == P::LengthWord ||
           p == P::Data || p == P::Checksum;
}
}  // namespace

int TMeterSim::TImage::LastQuadripole() const { return HeaderWord(Header, 112); }
int TMeterSim::TImage::LastElectrode() const { return HeaderWord(Header, 124); }

// ---------------------------------------------------------------- transport side

void TMeterSim::Feed(const std::uint8_t* data, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        Wire.push_back({true, b});
        Received.push_back(b);
        if (Down || State == TPhase::Silent) continue;
        if (InTransfer(State) && !Transfers.empty()) Transfers.back().FromHost.push_back(b);
        // At a speed it does not listen at, the meter hears only garbage.
        if (Knobs.RequiredSpeed != 0 && LineSpeed != Knobs.RequiredSpeed) continue;
        Step(b);
    }
}

std::size_t TMeterSim::Read(std::uint8_t* data, std::size_t n) {
    const std::size_t k = std::min(n, Out.size());
    for (std::size_t i = 0; i < k; ++i) {
        data[i] = Out.front();
        Out.pop_front();
    }
    return k;
}

int TMeterSim::ReadByte() {
    if (Out.empty()) return -1;
    const int b = Out.front();
    Out.pop_front();
    return b;
}

void TMeterSim::Send(std::uint8_t b) {
    if (Down) return;
    Out.push_back(b);
    Sent.push_back(b);
    Wire.push_back({false, b});
}

void TMeterSim::Send(const std::string& s) {
    for (char c : s) Send(static_cast<std::uint8_t>(c));
}

void TMeterSim::SendLE(std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) Send(static_cast<std::uint8_t>(v >> (8 * i)));
}

void TMeterSim::SendPromptText() {
    if (!Knobs.SendPrompt) return;
    // Noise never contains ':' followed by '>' (steps of 37 never go from 0x3A to 0x3E).
    for (int i = 0; i < Knobs.NoiseBeforePrompt; ++i) Send(static_cast<std::uint8_t>(i * 37 + 1));
    Send(":>");
}

// ---------------------------------------------------------------- test side

void TMeterSim::EnterPrompt(bool sendPrompt) {
    State = TPhase::Prompt;
    HandshakeProbes = 0;
    Exchanges = 0;
    if (sendPrompt) SendPromptText();
}

void TMeterSim::Inject(const std::string& bytes) { Send(bytes); }

void TMeterSim::ClearRecords() {
    Wire.clear();
    Received.clear();
    Sent.clear();
    Commands.clear();
    ProbesPerHandshake.clear();
    Transfers.clear();
    Images.clear();
}

void TMeterSim::BeginTransfers(int n) {
    TransfersLeft = n;
    DecodeWhenDone = false;
    StartTransfer();
}

// ---------------------------------------------------------------- menu and handshake

void TMeterSim::Greet() {
    ++Greetings;
    MenuProbes = 0;
    Send(kProbe);
    Send(Knobs.SpeedLine + "\r\n");
    Send(Knobs.NameLine + "\r\n");
    SendLE(static_cast<std::uint32_t>(Knobs.Version), 4);
    EnterPrompt(true);
}

void TMeterSim::Step(std::uint8_t b) {
    switch (State) {
    case TPhase::Menu:
        if (b == kProbe && Knobs.SyncEchoAt > 0 && (++MenuProbes >= Knobs.SyncEchoAt || Greetings > 0))
            Greet();
        return;
    case TPhase::Prompt:
    case TPhase::Probed:
        if (b == kProbe) {
            ++HandshakeProbes;
            if (State == TPhase::Probed ||
                (Knobs.ProbeEchoAt > 0 && HandshakeProbes >= Knobs.ProbeEchoAt)) {
                if (State == TPhase::Prompt) ProbesPerHandshake.push_back(HandshakeProbes);
                Send(kProbe);
                State = TPhase::Probed;
            }
            return;
        }
        PendingCmd = b;
        State = TPhase::Complement;
        return;
    case TPhase::Complement: {
        ++Exchanges;
        if (b != 0xFF - PendingCmd) {
            Send(kAskAgain);
            State = TPhase::Probed;
            return;
        }
        if (Exchanges <= Knobs.SilentExchanges) {
            State = TPhase::Probed;
            return;
        }
        if (Exchanges <= Knobs.SilentExchanges + Knobs.FFAnswers) {
            Send(kAskAgain);
            State = TPhase::Probed;
            return;
        }
        Exchanges = 0;
        HandshakeProbes = 0;
        if (Knobs.ForeignReply >= 0) {
            // Once: a reply that is neither the command nor "ask again"; back to the prompt.
            Send(static_cast<std::uint8_t>(Knobs.ForeignReply));
            Knobs.ForeignReply = -1;
            EnterPrompt(true);
            return;
        }
        if (Knobs.GarbledConfirmation >= 0) {
            Send(static_cast<std::uint8_t>(Knobs.GarbledConfirmation));
            Knobs.GarbledConfirmation = -1;
        } else {
            Send(PendingCmd);
        }
        Commands.push_back(PendingCmd);
        Execute(PendingCmd);
        return;
    }
    case TPhase::StartEcho: {
        auto& t = Transfers.back();
        const auto& start = Knobs.StartBytes;
        const std::uint8_t sent = StartIndex < start.size() ? start[StartIndex] : 0;
        if (b != sent) ++t.EchoErrors;
        if (sent == 0) {
            State = TPhase::Length;
            Field.clear();
            FieldSize = 4;
        } else {
            ++StartIndex;
            Send(StartIndex < start.size() ? start[StartIndex] : 0);
        }
        return;
    }
    case TPhase::Data:
        BlockData.push_back(b);
        if (BlockData.size() >= BlockLength) {
            State = TPhase::Checksum;
            Field.clear();
            FieldSize = 2;
        }
        return;
    case TPhase::Length:
    case TPhase::Echo:
    case TPhase::LengthWord:
    case TPhase::Checksum:
        break;
    case TPhase::Silent:
        return;
    }

    // The fixed-width fields.
    Field.push_back(b);
    if (Field.size() < FieldSize) return;
    const std::uint32_t v = LE(Field);
    Field.clear();
    auto& t = Transfers.back();
    switch (State) {
    case TPhase::Length:
        t.Announced = v;
        BlockIndex = 1;
        Expected = 1;
        Request(1, t.Announced == 0, true);
        return;
    case TPhase::Echo:
        if (v != Requested) ++t.EchoErrors;
        if (RequestIsWrong) {
            Request(Expected, RequestIsFinal, false);
        } else if (RequestIsFinal) {
            FinishTransfer();
        } else {
            State = TPhase::LengthWord;
            FieldSize = 2;
        }
        return;
    case TPhase::LengthWord:
        BlockLength = static_cast<std::uint16_t>(v >> 6);
        t.BlockLengths.push_back(BlockLength);
        BlockData.clear();
        if (BlockLength == 0) {
            State = TPhase::Checksum;
            FieldSize = 2;
        } else {
            State = TPhase::Data;
        }
        return;
    case TPhase::Checksum: {
        std::uint32_t sum = (BlockLength & 0xFFu) + (BlockLength >> 8);
        for (std::uint8_t d : BlockData) sum += d;
        bool bad = (sum & 0xFFFFu) != v;
        if (!bad && BadLeft > 0) {  // the block was damaged on the line
            --BadLeft;
            bad = true;
        }
        if (bad) {
            ++t.BadChecksums;
            Request(Expected, false, false);
            return;
        }
        t.Data.insert(t.Data.end(), BlockData.begin(), BlockData.end());
        ++BlockIndex;
        Expected = Expected == 127 ? 1 : static_cast<std::uint16_t>(Expected + 1);
        Request(Expected, t.Data.size() >= t.Announced, true);
        return;
    }
    default:
        return;
    }
}

void TMeterSim::Execute(std::uint8_t cmd) {
    Command = cmd;
    if (cmd == 0xBB || cmd == 0xAA) {
        if (Knobs.HangUpAfterCommand) {
            Down = true;
            return;
        }
        if (Knobs.SilentAfterCommand) {
            State = TPhase::Silent;
            return;
        }
        const std::int32_t status =
            Knobs.Status ? *Knobs.Status
                         : (Knobs.MemoryFull || Stored > kLastMemory ? kFullStatus : Stored);
        SendLE(static_cast<std::uint32_t>(status), 4);
        if (status < 0 || status > kLastMemory) {
            EnterPrompt(true);
            return;
        }
        TImage image;
        image.Command = cmd;
        image.Memory = status;
        Images.push_back(image);
        TransfersLeft = cmd == 0xBB ? 4 : 3;
        DecodeWhenDone = true;
        StartTransfer();
        return;
    }
    if (cmd == 0 || cmd == kEsc) {  // end of the exchange, or back to the menu
        State = TPhase::Menu;
        MenuProbes = 0;
        return;
    }
    EnterPrompt(true);
}

// ---------------------------------------------------------------- block transfer

void TMeterSim::StartTransfer() {
    Transfers.emplace_back();
    StartIndex = 0;
    BlockIndex = 1;
    Expected = 1;
    WrongLeft = BadLeft = 0;
    State = TPhase::StartEcho;
    Send(Knobs.StartBytes.empty() ? std::uint8_t(0) : Knobs.StartBytes[0]);
}

void TMeterSim::Request(std::uint16_t number, bool final, bool fresh) {
    const int t = static_cast<int>(Transfers.size()) - 1;
    if (fresh) {
        if (Knobs.HangUpAt.Matches(t, BlockIndex)) {
            Down = true;
            return;
        }
        if (Knobs.SilenceAt.Matches(t, BlockIndex)) {
            State = TPhase::Silent;
            return;
        }
        WrongLeft = Knobs.WrongRequestAt.Matches(t, BlockIndex) ? Knobs.WrongRequestCount : 0;
        BadLeft = Knobs.BadChecksumAt.Matches(t, BlockIndex) ? Knobs.BadChecksumCount : 0;
    }
    Expected = number;
    RequestIsFinal = final;
    std::uint16_t ask = number;
    RequestIsWrong = WrongLeft > 0;
    if (RequestIsWrong) {
        --WrongLeft;
        ask = static_cast<std::uint16_t>((number + 2) % 127 + 1);  // neither this block nor the last
    }
    Requested = ask;
    Transfers.back().Requests.push_back(ask);
    SendLE(ask, 2);
    State = TPhase::Echo;
    Field.clear();
    FieldSize = 2;
}

void TMeterSim::FinishTransfer() {
    Transfers.back().Complete = true;
    if (--TransfersLeft > 0) {
        StartTransfer();
        return;
    }
    if (DecodeWhenDone) {
        DecodeImage();
        ++Stored;
    }
    DecodeWhenDone = false;
    EnterPrompt(true);
}

void TMeterSim::DecodeImage() {
    if (Images.empty()) return;
    TImage& image = Images.back();
    const std::size_t pieces = image.Command == 0xBB ? 4 : 3;
    if (Transfers.size() < pieces) return;
    const TTransfer* t = &Transfers[Transfers.size() - pieces];
    auto points = [](const std::vector<std::uint8_t>& d) {
        std::vector<TPoint> out(d.size() / 12);
        if (!out.empty()) std::memcpy(out.data(), d.data(), out.size() * 12);
        return out;
    };
    image.Header = t[0].Data;
    image.Electrodes = points(t[1].Data);
    if (pieces == 4) image.Remotes = points(t[2].Data);
    const auto& q = t[pieces - 1].Data;
    for (std::size_t i = 0; i + 8 <= q.size(); i += 8) {
        std::uint16_t w[4];
        std::memcpy(w, q.data() + i, 8);
        image.Quads.push_back(TQuad{static_cast<std::uint16_t>(w[0] & 0x7FFF), w[1], w[2], w[3],
                                    (w[0] & 0x8000) != 0});
    }
    image.Complete = true;
}
