// Stand-ins for engine operations that are not merged yet. Weak: the engine's own
// definitions replace them as soon as they are linked. This file goes away with the merge.
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "Electsequence.h"
#include "Host.h"

#define GAP __attribute__((weak))

GAP TElectSequence::TElectSequence(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) {
        Host().ShowMessage(fileName + "\r\nfile not found\r\nthis file will be excluded from the Sequence list");
        throw std::runtime_error("");
    }
    std::fclose(f);
    LoadFromFile(fileName);
    if (Version != kRecordVersion) {
        Host().ShowMessage(fileName + "\r\nUnknown file version in Sequence list\r\nthis file will be excluded");
        throw std::runtime_error("");
    }
}

GAP bool TElectSequence::SaveToFile(const std::string& name) {
    std::memset(FileName, 0, sizeof(FileName));
    std::strncpy(FileName, name.c_str(), sizeof(FileName) - 1);
    std::FILE* f = std::fopen(name.c_str(), "wb");
    bool ok = f && std::fwrite(this, sizeof(*this), 1, f) == 1;
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) Host().ShowMessage("Can't save sequence with < " + name + " > filename");
    return ok;
}

GAP bool TElectSequence::LoadFromFile(const std::string& name) {
    Host().ProcessMessages();
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) return false;
    TElectSequence* image = static_cast<TElectSequence*>(::operator new(sizeof(TElectSequence)));
    const bool ok = std::fread(image, sizeof(*this), 1, f) == 1;
    std::fclose(f);
    if (ok) std::memcpy(static_cast<void*>(this), image, sizeof(*this));
    ::operator delete(image);
    SetFileName(name);
    return ok;
}

GAP bool TElectSequence::IsValid() {
    return Device.FirstElectrode == Grid.FirstElectrode && Device.LastElectrode == Grid.LastElectrode &&
           Device.ElectrodeCount == Grid.ElectrodeCount && Device.ElectrodeSpacing == Grid.DX &&
           Grid.Duplicates == 0 && GetSpacingLevelCount() >= 1 && Device.LastQuadripole + 1 >= 1 &&
           CheckChannel() > 0;
}

GAP void TElectSequence::SetArrayType(std::int32_t t) { Grid.ArrayType = t; }
GAP std::int32_t TElectSequence::GetMaxChannel() const { return 20; }
GAP std::int32_t TElectSequence::CheckChannel() {
    if (Device.Channels > GetMaxChannel()) Device.Channels = GetMaxChannel();
    return Device.Channels;
}
GAP bool TElectSequence::IsRhoIP() const { return Device.RhoMode() == 0; }
GAP std::int32_t TElectSequence::GetSpacingLevelCount() const {
    std::int32_t n = 0;
    for (const auto& l : SpacingLevels) n += l.SelectedCount;
    return n;
}
GAP void TElectSequence::ClearSpacingLevelDepths() {}
GAP float TElectSequence::ComputeSpacingLevelDepths(bool, std::int32_t) { return 0.0f; }
GAP double TElectSequence::GetTotalTime() const { return 0.0; }
GAP long double TReskonPro::GetGeometricFactor(int, const TElectrodeXYZ*) const { return 0.0L; }
GAP void TElectSequence::ExportTextFile(const std::string&, const std::string&) {}
GAP bool TElectSequence::ImportTextFile(const std::string&) { return false; }
GAP void TElectSequence::SaveToSdCard(const std::string&) {}
GAP bool TElectSequence::ImportSdCardFile(std::string&) { return false; }
