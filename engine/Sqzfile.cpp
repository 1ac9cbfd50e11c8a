// The native sequence file: the byte image of the whole sequence object.
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "engine/Electsequence.h"
#include "engine/Host.h"
#include "engine/Textfield.h"
#include "files/UserFile.h"

namespace {
enum class TReadResult { Ok, UnfitName, Unreadable, WrongSize, WrongVersion, Damaged };

bool Within(std::int64_t v, std::int64_t lo, std::int64_t hi) { return v >= lo && v <= hi; }

// An electrode range: the last number inside the table; the first one inside or one past it (an
// import without electrode lines left 1320), or - for a grid without electrodes - any number
// above the last, as the layout editor marks an empty grid (10000).
bool ElectrodeRange(std::int32_t first, std::int32_t last, std::int32_t count) {
    if (!Within(last, 0, kMaxElectrodes - 1) || !Within(count, 0, kMaxElectrodes)) return false;
    return Within(first, 0, kMaxElectrodes) || (count == 0 && first > last);
}

// Everything in the image that other operations use as a count or an index into a table.
bool TablesConsistent(const TElectSequence& s) {
    const TReskonPro& d = s.Device;
    const TElectGrid& g = s.Grid;
    if (!Within(d.LastQuadripole, -1, kMaxQuadripoles - 1)) return false;
    if (!Within(d.FirstQuadripole, 0, d.LastQuadripole + 1)) return false;
    if (!ElectrodeRange(d.FirstElectrode, d.LastElectrode, d.ElectrodeCount) ||
        !ElectrodeRange(g.FirstElectrode, g.LastElectrode, g.ElectrodeCount))
        return false;
    // Column and row counts are typed by the user, 0 included, but never beyond the node map.
    if (!Within(g.GridType, gtLine, gtBorehole) || !Within(g.NX, 0, kMaxGridColumns) ||
        !Within(g.NY, 0, kMaxGridRows) || !Within(g.ArrayType, atMixed, atLastArrayType))
        return false;
    for (const auto& node : g.Nodes)
        if (node.Used == 1 && (!Within(node.IX, 1, kMaxGridColumns) || !Within(node.IY, 1, kMaxGridRows)))
            return false;
    for (const auto& row : s.SpacingLevels)
        if (!Within(row.SelectedCount, 0, kLevels)) return false;
    if (d.TimeIndex() > 5 || d.IPMode() > 4 || d.VmnChoice() > 5 || d.VabChoice() > 9) return false;
    for (int q = 0; q <= d.LastQuadripole; ++q) {
        const TQuadripole& e = d.Quadripoles[q];
        for (std::uint16_t n : {e.A, e.B, e.M, e.N})
            if (n >= kMaxElectrodes) return false;
    }
    if (!std::memchr(s.Comment, 0, sizeof(s.Comment))) return false;
    return true;
}

// Reads the file straight into image, which may be partly overwritten whatever the result.
TReadResult ReadImage(const std::string& name, TElectSequence& image) {
    if (!SequenceFileNameFault(name).empty()) return TReadResult::UnfitName;
    std::size_t got = 0;
    switch (ReadFileInto(name, &image, kSequenceFileSize, got)) {
        case TReadEnd::Read: break;
        case TReadEnd::TooLarge: return TReadResult::WrongSize;
        case TReadEnd::Failed: return TReadResult::Unreadable;
    }
    if (got != kSequenceFileSize) return TReadResult::WrongSize;
    if (image.Version != kRecordVersion || image.Grid.Version != kRecordVersion) return TReadResult::WrongVersion;
    if (!TablesConsistent(image)) return TReadResult::Damaged;
    return TReadResult::Ok;
}

const char* const kNotFound = "file not found";
const char* const kUnknownVersion = "Unknown file version";

std::string ReasonOf(TReadResult r, const std::string& name) {
    switch (r) {
        case TReadResult::UnfitName: return SequenceFileNameFault(name);
        case TReadResult::Unreadable: return "can't be read";
        case TReadResult::WrongSize: return "is not a sequence file (wrong size)";
        case TReadResult::WrongVersion: return kUnknownVersion;
        default: return "is a damaged sequence file";
    }
}

std::string RefusalText(const std::string& name, TReadResult r) { return name + "\r\n" + ReasonOf(r, name); }

// The image a file is read into before it replaces a sequence, kept from one read to the next: a
// new one each time is half a megabyte that the system hands out and faults in again.
TElectSequence& ReadingImage() {
    static const auto image = std::make_unique<TElectSequence>();
    return *image;
}

// s becomes the sequence of the file when it is a whole one of this version. When s may be
// spoilt (a new entry that a refusal drops) the file is read straight into it; otherwise s
// stays as it was on a refusal.
TReadResult ReadInto(TElectSequence& s, const std::string& name, bool mayBeSpoilt) {
    Host().ProcessMessages();
    TElectSequence& image = mayBeSpoilt ? s : ReadingImage();
    const TReadResult r = ReadImage(name, image);
    if (r != TReadResult::Ok) return r;
    if (&image != &s) std::memcpy(static_cast<void*>(&s), &image, sizeof(s));
    s.SetFileName(name);
    return r;
}

}  // namespace

std::string ListExclusionText(const std::string& fileName, const std::string& why) {
    if (why == kUnknownVersion) return fileName + "\r\nUnknown file version in Sequence list\r\nthis file will be excluded";
    return fileName + "\r\n" + why + "\r\nthis file will be excluded from the Sequence list";
}

std::string TElectSequence::ReadListEntry(const std::string& fileName) {
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec)) return kNotFound;
    const TReadResult r = ReadInto(*this, fileName, true);
    return r == TReadResult::Ok ? "" : ReasonOf(r, fileName);
}

TElectSequence::TElectSequence(const std::string& fileName) {
    if (const std::string why = ReadListEntry(fileName); !why.empty()) {
        Host().ShowMessage(ListExclusionText(fileName, why));
        throw std::runtime_error("");
    }
}

TFileResult TElectSequence::WriteSqzFile(const std::string& name) {
    // Refused before the record takes the name: it would keep another file's.
    if (std::string fault = SequenceFileNameFault(name); !fault.empty()) return SaveFailed(name, fault);
    CopyText(FileName, sizeof(FileName), name);
    std::string why;
    if (ReplaceFileContents(name, this, sizeof(*this), &why)) return TFileResult::Done();
    return SaveFailed(name, why);
}

bool TElectSequence::SaveToFile(const std::string& name) { return ShowThroughHost(WriteSqzFile(name)); }

TFileResult TElectSequence::ReadSqzFile(const std::string& name) {
    const TReadResult r = ReadInto(*this, name, false);
    return r == TReadResult::Ok ? TFileResult::Done() : TFileResult::Failed(RefusalText(name, r));
}

bool TElectSequence::LoadFromFile(const std::string& name) { return ShowThroughHost(ReadSqzFile(name)); }
