#include "engine/Electsequence.h"

#include <algorithm>
#include <cstring>

#include "engine/Textfield.h"

std::string TrimText(const char* text) {
    std::string s = text ? text : "";
    auto blank = [](unsigned char c) { return c <= ' '; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string FileNameFault(const std::string& name) {
    if (name.empty()) return "the name is empty";
    if (TrimText(name.c_str()) != name) {
        const bool blank = name.front() == ' ' || name.back() == ' ';
        return blank ? "the name begins or ends with a blank: remove it, or choose another name"
                     : "the name begins or ends with a control character (a tab or a line break): choose another name";
    }
    if (name.find_first_of("\r\n") != std::string::npos) return "the name holds a line break: choose another name";
    return {};
}

std::string SequenceFileNameFault(const std::string& name) {
    if (std::string fault = FileNameFault(name); !fault.empty()) return fault;
    if (name.size() > kMaxFileNameLength)
        return "the path is " + std::to_string(name.size()) + " bytes long; a sequence keeps at most " +
               std::to_string(kMaxFileNameLength) + " bytes of its path: choose a shorter one";
    return {};
}

TChannelOptions::TChannelOptions()
    : MultiChannelOptimization(1), Pad1{0, 0, 0}, OptimizationChannel(10), AllowDummyQuadripoles(1),
      DelPolarEffect(1) {}

TSpacingLevel::TSpacingLevel() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }

TQuadripoleInfo::TQuadripoleInfo()
    : X(kNoInfo), Y(kNoInfo), Depth(kNoInfo), Number(0), Group(0), Level(0), SpacingCoef(0) {}

// Member construction (both constructors): the members' own constructors, in declaration order.
// The text fields and the scalars in front of them start zeroed.
TElectSequence::TElectSequence() {
    std::memset(FileName, 0, sizeof(FileName));
    std::memset(Comment, 0, sizeof(Comment));
    Version = kRecordVersion;
    MaxDepthX = MaxDepthY = 0.0f;
    SetSeqName("NewSeq");
    SetComment("");
    Device.LastQuadripole = -1;
    Device.FirstQuadripole = 0;
    MeasurementCycles = MaxChannelUsed = 0;
    ResetRemoteElectrodes();
    SetFileName("");
    NeedsRecompute = 0;
}

void TElectSequence::ResetRemoteElectrodes() {
    for (auto& r : RemoteElectrodes) r = TElectrodeXYZ{kNoElectrode, 0.0f, 0.0f};
}

void TElectSequence::SetFileName(const std::string& name) {
    CopyText(FileName, sizeof(FileName), TrimText(name.c_str()));
}

std::string TElectSequence::GetSeqName() const {
    // A 10-character name has its terminator in SeqNameEnd.
    return std::string(Device.SeqName, strnlen(Device.SeqName, sizeof(Device.SeqName)));
}

void TElectSequence::SetSeqName(const std::string& name) {
    std::size_t n = std::min<std::size_t>(name.size(), 10);
    std::memcpy(Device.SeqName, name.data(), n);
    if (n < 10)
        Device.SeqName[n] = '\0';
    else
        Device.SeqNameEnd = 0;
}

std::string TElectSequence::GetComment() const {
    return std::string(Comment, strnlen(Comment, sizeof(Comment)));
}

void TElectSequence::SetComment(const std::string& text) { CopyText(Comment, sizeof(Comment), text); }

void TElectSequence::ClearQuadripoles() {
    MaxDepthX = MaxDepthY = 0.0f;
    MeasurementCycles = MaxChannelUsed = 0;
    Device.ClearQuadripoles();
    for (auto& info : QuadInfo) info = TQuadripoleInfo();
}

void TElectSequence::ComputeElectrodePositions() {
    const long double dy = Grid.DY, oy = Grid.OffsetY;
    for (int k = 0; k < kMaxElectrodes; ++k) {
        const TElectGridNode& node = Grid.Nodes[k];
        TElectrodeXYZ& e = Device.Electrodes[k];
        if (node.Used == 1) {
            e.X = Grid.ColumnX(node.IX);
            if (e.Y == kUnusedNode) e.Y = 0.0f;
            if (e.Z == kUnusedNode) e.Z = 0.0f;
            const float across = static_cast<float>((static_cast<long double>(node.IY) - 1) * dy + oy);
            if (Grid.GridType == gtSurface)
                e.Y = across;
            else if (Grid.GridType == gtBorehole)
                e.Z = across;
        } else {
            e.X = e.Y = e.Z = kUnusedNode;
        }
    }
    Device.ElectrodeCount = Grid.ElectrodeCount;
    Device.FirstElectrode = Grid.FirstElectrode;
    Device.LastElectrode = Grid.LastElectrode;
    Device.ElectrodeSpacing = Grid.DX;
}

bool TElectSequence::IsValid() {
    return Device.FirstElectrode == Grid.FirstElectrode && Device.LastElectrode == Grid.LastElectrode &&
           Device.ElectrodeCount == Grid.ElectrodeCount && Device.ElectrodeSpacing == Grid.DX &&
           Grid.Duplicates == 0 && GetSpacingLevelCount() >= 1 && Device.LastQuadripole + 1 >= 1 &&
           CheckChannel() > 0;
}
