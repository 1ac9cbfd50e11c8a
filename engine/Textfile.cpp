// The .txt exchange format: electrode coordinates, quadripoles and levels, one section each.
#include <charconv>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <system_error>
#include <vector>

#include "engine/Electsequence.h"
#include "engine/Fileimport.h"
#include "files/UserFile.h"

namespace {
// The most a text file may hold. A whole sequence as this program writes it (1319 electrodes,
// 16000 quadripoles and their levels) is well under 1 MiB; sixteen times that leaves room for
// hand-made files with comments and wide columns, while a larger file, which is no sequence,
// is refused before it is read.
constexpr std::size_t kMaxTextFileSize = std::size_t{16} << 20;

// Lines ended by CR LF, LF or CR alone.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text, start, i - start);
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    if (start < text.size()) lines.emplace_back(text, start, std::string::npos);
    return lines;
}

bool Blank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

// Fields separated by a comma or by a run of blanks and control characters; a field may be
// enclosed in double quotes, a doubled quote standing for one. The line ends at a zero byte.
std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    const char* p = line.c_str();
    while (Blank(*p)) ++p;
    while (*p) {
        std::string field;
        if (*p == '"') {
            for (++p; *p; ++p) {
                if (*p == '"') {
                    if (p[1] != '"') {
                        ++p;
                        break;
                    }
                    ++p;
                }
                field += *p;
            }
        } else {
            const char* b = p;
            while (*p && !Blank(*p) && *p != ',') ++p;
            field.assign(b, p);
        }
        fields.push_back(std::move(field));
        while (Blank(*p)) ++p;
        if (*p == ',') {
            if (p[1] == '\0') fields.emplace_back();
            do ++p;
            while (Blank(*p));
        }
    }
    return fields;
}

bool ParseInt(const std::string& s, long long& v) {
    const char* b = s.data();
    const char* e = b + s.size();
    if (b != e && *b == '+') ++b;
    if (b == e) return false;
    const auto r = std::from_chars(b, e, v);
    return r.ec == std::errc() && r.ptr == e;
}

// A finite number that a 32-bit float can hold.
bool ParseCoordinate(const std::string& s, float& v) {
    const char* b = s.data();
    const char* e = b + s.size();
    if (b != e && *b == '+') ++b;
    double d = 0;
    const auto r = std::from_chars(b, e, d);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(d) || std::fabs(d) > FLT_MAX) return false;
    v = static_cast<float>(d);
    return true;
}

// "#0.00": at least one integer digit and two decimals, whatever the locale.
std::string Fixed2(float v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return std::string(buf, r.ptr);
}

std::string LineNo(std::size_t i) { return "line " + std::to_string(i + 1) + ": "; }

bool Has(const std::string& s, char c) { return s.find(c) != std::string::npos; }
}  // namespace

TFileResult TElectSequence::WriteTextFile(const std::string& name, const std::string& sep) {
    if (std::string fault = FileNameFault(name); !fault.empty()) return SaveFailed(name, fault);
    const int count = std::min(QuadripoleCount(), kMaxQuadripoles);
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 40 + 64 * kMaxElectrodes);
    out += "#" + sep + "X" + sep + "Y" + sep + "Z\r\n";
    for (int k = 1; k < kMaxElectrodes; ++k) {
        if (Grid.Nodes[k].Used != 1) continue;
        const TElectrodeXYZ& e = Device.Electrodes[k];
        out += std::to_string(k) + sep + Fixed2(e.X) + sep + Fixed2(e.Y) + sep + Fixed2(e.Z) + "\r\n";
    }
    out += "#" + sep + "A" + sep + "B" + sep + "M" + sep + "N\r\n";
    for (int q = 0; q < count; ++q) {
        const TQuadripole& e = Device.Quadripoles[q];
        out += std::to_string(q + 1) + sep + std::to_string(e.A) + sep + std::to_string(e.B) + sep +
               std::to_string(e.M) + sep + std::to_string(e.N) + "\r\n";
    }
    out += "#" + sep + "Level\r\n";
    for (int q = 0; q < count; ++q) out += std::to_string(q + 1) + sep + std::to_string(QuadInfo[q].Level) + "\r\n";

    std::string why;
    if (ReplaceFileContents(name, out.data(), out.size(), &why)) return TFileResult::Done();
    return SaveFailed(name, why);
}

bool TElectSequence::ExportTextFile(const std::string& name, const std::string& sep) {
    return ShowThroughHost(WriteTextFile(name, sep));
}

TFileResult TElectSequence::ReadTextFile(const std::string& name) {
    const std::string sqzName = ChangeFileExt(name, kTextImportEnding);
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) return TFileResult::Failed("");

    auto refuse = [&](const char* what, const std::string& why) {
        return TFileResult::Failed(std::string(what) + "\r\n" + name + "\r\n" + why);
    };
    auto coordinateError = [&](const std::string& why) { return refuse("Coordinate file error", why); };
    auto quadripoleError = [&](const std::string& why) { return refuse("Quadripole file error", why); };

    std::string text;
    switch (ReadFileContents(name, text, kMaxTextFileSize)) {
        case TReadEnd::Read: break;
        case TReadEnd::TooLarge:
            return coordinateError("the file is larger than " + std::to_string(kMaxTextFileSize >> 20) +
                                   " MiB, more than the text of any sequence");
        case TReadEnd::Failed: return coordinateError("the file can't be read");
    }
    const std::vector<std::string> lines = SplitLines(text);

    // ---- electrodes ----
    std::size_t i = 0;
    for (bool found = false; !found; ++i) {
        if (i >= lines.size()) return coordinateError("no coordinate header (\"#\", \"X\", \"Y\", \"Z\")");
        const std::string& l = lines[i];
        if (!Has(l, '#')) continue;
        if (Has(l, 'X')) {
            found = true;
        } else if (!Has(l, 'A')) {
            return coordinateError(LineNo(i) + "the header \"" + l + "\" stands before the coordinate header");
        }
    }
    Grid.FirstElectrode = kMaxElectrodes;
    int placed = 0;
    for (; i < lines.size(); ++i) {
        const std::vector<std::string> f = SplitFields(lines[i]);
        if (f.size() != 4) continue;
        long long k;
        // Numbers the electrode table has no entry for are skipped, like non-numbers.
        if (!ParseInt(f[0], k) || k < 0 || k >= kMaxElectrodes) continue;
        float xyz[3];
        for (int c = 0; c < 3; ++c)
            if (!ParseCoordinate(f[c + 1], xyz[c]))
                return coordinateError(LineNo(i) + "the coordinate \"" + f[c + 1] + "\" is not a number");
        Device.Electrodes[k] = TElectrodeXYZ{xyz[0], xyz[1], xyz[2]};
        Grid.FirstElectrode = std::min<std::int32_t>(Grid.FirstElectrode, static_cast<std::int32_t>(k));
        Grid.LastElectrode = std::max<std::int32_t>(Grid.LastElectrode, static_cast<std::int32_t>(k));
        TElectGridNode& node = Grid.Nodes[k];
        if (node.Used != 1) ++Grid.ElectrodeCount;  // a repeated number still counts once
        node.Used = 1;
        ++placed;
    }
    if (placed == 0) return coordinateError("no electrode coordinates");
    if (const std::string why = InferGrid(*this, TGridTypeRule::TextFile); !why.empty())
        return coordinateError(why);
    SetArrayType(atMixed);

    // ---- quadripoles ----
    std::size_t j = 0;
    for (bool found = false; !found; ++j) {
        if (j >= lines.size()) return quadripoleError("no quadripole header (\"#\", \"A\", \"B\", \"M\", \"N\")");
        const std::string& l = lines[j];
        if (!Has(l, '#')) continue;
        if (Has(l, 'A')) {
            found = true;
        } else if (!Has(l, 'X')) {
            return quadripoleError(LineNo(j) + "the header \"" + l + "\" stands before the quadripole header");
        }
    }
    int q = 0;
    long long overLimit = 0, outsideLines = 0, misnumbered = 0;
    std::vector<std::uint32_t> e;
    for (; j < lines.size(); ++j) {
        const std::vector<std::string> f = SplitFields(lines[j]);
        if (f.size() < 5) continue;
        // The quadripole number only tells a quadripole line; the export numbers them from 1 to
        // 16000, so 16000 itself is one. A number beyond is left out, and the user told.
        long long number;
        if (!ParseInt(f[0], number)) continue;
        if (number < 0 || number > kMaxQuadripoles) {
            ++misnumbered;
            continue;
        }
        e.assign(f.size(), 0);
        bool inTable = true;
        for (std::size_t c = 1; c < f.size(); ++c) {
            long long v;
            if (!ParseInt(f[c], v)) v = 0;  // not a number: the remote electrode
            if (v < 0 || v >= kMaxElectrodes) inTable = false;
            e[c] = static_cast<std::uint32_t>(v);
        }
        if (!inTable) {
            ++outsideLines;
            continue;
        }
        // A chained row number, A, B, M1, N1, N2, ... adds one quadripole per N.
        for (std::size_t c = 5; c <= f.size(); ++c) {
            if (q >= kMaxQuadripoles) {
                ++overLimit;
                continue;
            }
            const std::uint32_t abmn[4] = {e[1], e[2], e[c - 2], e[c - 1]};
            SetQuadripole(q, abmn, 0, -1, 1, 0);
            ++q;
        }
    }
    Device.LastQuadripole = q - 1;
    Device.FirstQuadripole = 0;
    ComputeElectrodePositions();
    CountMeasurements();

    SetComment("Create with Imported file <-- " + ExtractFileName(name) + " -->");
    SetSeqName(ChangeFileExt(ExtractFileName(sqzName), ""));
    if (TFileResult saved = WriteSqzFile(sqzName); !saved) return saved;
    NeedsRecompute = 0;
    if (overLimit > 0 || outsideLines > 0 || misnumbered > 0) {
        std::string note = name;
        if (outsideLines > 0)
            note += "\r\n" + std::to_string(outsideLines) + " quadripole lines with electrode numbers outside 0.." +
                    std::to_string(kMaxElectrodes - 1) + " were left out";
        if (misnumbered > 0)
            note += "\r\n" + std::to_string(misnumbered) + " quadripole lines numbered outside 0.." +
                    std::to_string(kMaxQuadripoles) + " were left out";
        if (overLimit > 0)
            note += "\r\n" + std::to_string(overLimit) + " quadripoles beyond the limit of " +
                    std::to_string(kMaxQuadripoles) + " were left out";
        return TFileResult::Done(note);
    }
    return TFileResult::Done();
}

bool TElectSequence::ImportTextFile(const std::string& name) { return ShowThroughHost(ReadTextFile(name)); }
