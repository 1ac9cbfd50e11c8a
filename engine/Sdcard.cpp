// The .sds file: version, short file name, the device image without its trailing word, and the
// remote electrodes.
#include "engine/Sdcard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "engine/Electsequence.h"
#include "engine/Fileimport.h"
#include "engine/Textfield.h"
#include "files/UserFile.h"

TFileResult TElectSequence::WriteSdCardFile(const std::string& name) {
    // A name chosen with the extension in other letters (card.SDS) is the file written: the
    // question about replacing it was about that file.
    const std::string sdsName = LowerCaseExt(name) == kSdCardExt ? name : ChangeFileExt(name, kSdCardExt);
    if (std::string fault = FileNameFault(sdsName); !fault.empty()) return SaveFailed(sdsName, fault);
    auto rec = std::make_unique<TSdCardRecord>();
    std::memset(static_cast<void*>(rec.get()), 0, sizeof(TSdCardRecord));
    rec->Version = kRecordVersion;
    CopyText(rec->FileName, kSdCardNameLength + 1, ExtractFileName(name));
    std::memcpy(rec->Header, &Device, kDeviceHeaderSize);
    std::memcpy(rec->Electrodes, Device.Electrodes, sizeof(rec->Electrodes));
    std::memcpy(rec->Quadripoles, Device.Quadripoles, sizeof(rec->Quadripoles));
    const int count = std::clamp(QuadripoleCount(), 0, kMaxQuadripoles);
    for (int q = 0; q < count; ++q)
        if (QuadInfo[q].Level < 0) rec->Quadripoles[q].A |= kGapFillerFlag;
    std::memcpy(rec->RemoteElectrodes, RemoteElectrodes, sizeof(rec->RemoteElectrodes));

    std::string why;
    if (ReplaceFileContents(sdsName, rec.get(), sizeof(TSdCardRecord), &why)) return TFileResult::Done();
    return SaveFailed(sdsName, why);
}

bool TElectSequence::SaveToSdCard(const std::string& name) { return ShowThroughHost(WriteSdCardFile(name)); }

TFileResult TElectSequence::ReadSdCardFile(std::string& name) {
    const std::string sqzName = ChangeFileExt(name, kSdCardImportEnding);
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) return TFileResult::Failed("");
    auto refuse = [&](const std::string& why) { return TFileResult::Failed(name + "\r\n" + why); };

    auto rec = std::make_unique<TSdCardRecord>();
    std::size_t got = 0;
    switch (ReadFileInto(name, rec.get(), sizeof(TSdCardRecord), got)) {
        case TReadEnd::Read: break;
        case TReadEnd::TooLarge:
            return refuse("is not an SD-card sequence: larger than its " + std::to_string(kSdCardFileSize) + " bytes");
        case TReadEnd::Failed: return refuse("can't be read");
    }
    if (got < sizeof(TSdCardRecord))
        return refuse("is not a whole SD-card sequence: " + std::to_string(got) + " of " +
                      std::to_string(kSdCardFileSize) + " bytes");

    std::memcpy(static_cast<void*>(&Device), rec->Header, kDeviceHeaderSize);
    std::memcpy(Device.Electrodes, rec->Electrodes, sizeof(Device.Electrodes));

    // A foreign or damaged file may hold anything in the counts: keep them inside the tables.
    if (Device.TimeIndex() > 5 || Device.IPMode() > 4 || Device.VmnChoice() > 5 || Device.VabChoice() > 9)
        return refuse("holds acquisition parameters out of range");
    Device.FirstQuadripole = 0;
    Device.LastQuadripole = std::clamp(Device.LastQuadripole, -1, kMaxQuadripoles - 1);
    Device.FirstElectrode = std::clamp(Device.FirstElectrode, 0, kMaxElectrodes - 1);
    Device.LastElectrode = std::clamp(Device.LastElectrode, 0, kMaxElectrodes - 1);
    Device.ElectrodeCount = std::clamp(Device.ElectrodeCount, 0, kMaxElectrodes);
    auto noElectrodes = [&] {
        return "has no electrodes (electrodes " + std::to_string(Device.FirstElectrode) + " to " +
               std::to_string(Device.LastElectrode) + ")";
    };
    if (Device.FirstElectrode > Device.LastElectrode) return refuse(noElectrodes());
    for (int k = Device.FirstElectrode; k <= Device.LastElectrode; ++k) {
        const TElectrodeXYZ& e = Device.Electrodes[k];
        if (!std::isfinite(e.X) || !std::isfinite(e.Y) || !std::isfinite(e.Z))
            return refuse("electrode " + std::to_string(k) + " has no valid position");
    }

    Grid.FirstElectrode = Device.FirstElectrode;
    Grid.LastElectrode = Device.LastElectrode;
    Grid.DX = Device.ElectrodeSpacing;
    // A number of the range whose entry holds a placeholder (an unused grid node, or an entry
    // never placed) has no electrode: a line without electrode 7 must not gain one at 16777216 m.
    auto placeholder = [](const TElectrodeXYZ& e) {
        return (e.X == kUnusedNode && e.Y == kUnusedNode && e.Z == kUnusedNode) ||
               (e.X == kNoElectrode && e.Y == 0 && e.Z == 0);
    };
    Grid.ElectrodeCount = 0;
    for (int k = Grid.FirstElectrode; k <= Grid.LastElectrode; ++k)
        if (!placeholder(Device.Electrodes[k])) {
            Grid.Nodes[k].Used = 1;
            ++Grid.ElectrodeCount;
        }
    if (Grid.ElectrodeCount == 0) return refuse(noElectrodes());
    if (const std::string why = InferGrid(*this, TGridTypeRule::SdCard); !why.empty()) return refuse(why);
    // Like an imported text, the meter's own image is a list of the mixed array, uploaded as it
    // stands; its array code for the meter stays the file's.
    Grid.ArrayType = atMixed;

    int count = 0, outside = 0;
    for (int q = 0; q <= Device.LastQuadripole; ++q) {
        const TQuadripole& raw = rec->Quadripoles[q];
        const bool filler = ((raw.A | raw.B | raw.M | raw.N) & kGapFillerFlag) != 0;
        const std::uint32_t abmn[4] = {raw.A & 0x7FFFu, raw.B & 0x7FFFu, raw.M & 0x7FFFu, raw.N & 0x7FFFu};
        if (std::any_of(abmn, abmn + 4, [](std::uint32_t e) { return e >= kMaxElectrodes; })) {
            ++outside;
            continue;
        }
        SetQuadripole(count++, abmn, filler ? -1 : 0, -1, 1, 0);
    }
    Device.LastQuadripole = count - 1;
    std::memcpy(RemoteElectrodes, rec->RemoteElectrodes, sizeof(RemoteElectrodes));

    SetComment("Create with Imported file <-- " + ExtractFileName(name) + " -->");
    SetSeqName(ChangeFileExt(ExtractFileName(sqzName), ""));
    CountMeasurements();
    NeedsRecompute = 0;
    if (TFileResult saved = WriteSqzFile(sqzName); !saved) return saved;
    const std::string source = name;
    name = sqzName;
    if (outside > 0)
        return TFileResult::Done(source + "\r\n" + std::to_string(outside) +
                                 " quadripoles with electrode numbers above " + std::to_string(kMaxElectrodes - 1) +
                                 " were left out");
    return TFileResult::Done();
}

bool TElectSequence::ImportSdCardFile(std::string& name) { return ShowThroughHost(ReadSdCardFile(name)); }
