#include "engine/SequenceList.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_map>

#include "engine/Host.h"
#include "engine/SequenceEditor.h"
#include "files/UserFile.h"

namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kRefusedLinesShown = 10;  // a box of ten long paths, wrapped, still fits a small screen
// The most a list file may hold. The longest list the program writes, 1024 paths of 1023 bytes,
// is 1 MiB; sixteen times that leaves room for a list edited by hand, while a larger file, which
// is no list, is refused before it is read.
constexpr std::size_t kMaxListFileSize = std::size_t{16} << 20;
const std::string kListTooLarge =
    "the file is larger than " + std::to_string(kMaxListFileSize >> 20) + " MiB, more than any list of sequences";

std::string ListFullText(int limit) {
    return "The sequence list is full (" + std::to_string(limit) +
           " sequences): exclude a sequence from the list first.";
}

// The path absolute, links and "." and ".." resolved; a path that names nothing is only made
// absolute and tidied, the way it is written.
std::string Canonical(const std::string& path) {
    std::error_code ec;
    const fs::path resolved = fs::canonical(path, ec);
    if (!ec) return resolved.string();
    const fs::path absolute = fs::absolute(path, ec);
    if (ec) return path;
    std::string tidy = absolute.lexically_normal().string();
    if (tidy.size() > 1 && tidy.back() == '/') tidy.pop_back();
    return tidy;
}

// Lines of a text file ended by CR LF, CR or LF, as bytes, when it can be read whole.
TReadEnd ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::string data;
    if (const TReadEnd end = ReadFileContents(path, data, kMaxListFileSize); end != TReadEnd::Read) return end;
    if (data.starts_with(kUtf8Signature)) data.erase(0, kUtf8Signature.size());
    lines.clear();
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        lines.push_back(data.substr(start, i - start));
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < data.size()) lines.push_back(data.substr(start));
    return TReadEnd::Read;
}

bool SaveLines(const std::string& path, const std::vector<std::string>& lines, std::string* why = nullptr) {
    std::string data;
    for (const std::string& l : lines) data.append(l).append(kLineEnd);
    return ReplaceFileContents(path, data.data(), data.size(), why);
}

struct TRefusedLine {
    std::string Path, Why;
};

// The refused lines in one message: one line alone as its sequence tells it, several as a list,
// which names the first few of a long run.
void ReportRefused(const std::vector<TRefusedLine>& refused) {
    if (refused.empty()) return;
    if (refused.size() == 1) {
        Host().ShowMessage(ListExclusionText(refused[0].Path, refused[0].Why));
        return;
    }
    std::string text = std::to_string(refused.size()) +
                       " lines of the Sequence list name files that can't be opened; they will be excluded from the "
                       "Sequence list:";
    const std::size_t shown = std::min(refused.size(), kRefusedLinesShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\r\n" + (refused[i].Path.empty() ? std::string("(an empty line)") : refused[i].Path) + ": " +
                refused[i].Why;
    if (shown < refused.size()) text += "\r\n... and " + std::to_string(refused.size() - shown) + " more";
    Host().ShowMessage(text);
}
}  // namespace

TSequenceList::TSequenceList(int limit) : MaxEntries(limit) {}

TElectSequence* TSequenceList::operator[](std::size_t i) const { return i < Entries.size() ? Entries[i].get() : nullptr; }

void TSequenceList::Settle(int current) {
    EntryCount = int(Entries.size());
    Current = current >= 0 && current < EntryCount ? current : -1;
    CurrentEntry = Current >= 0 ? Entries[std::size_t(Current)].get() : nullptr;
}

void TSequenceList::SetCurrent(int i) { Settle(i); }

TFileResult TSequenceList::Room() const {
    return EntryCount < MaxEntries ? TFileResult::Done() : TFileResult::Failed(ListFullText(MaxEntries));
}

TFileResult TSequenceList::Add(std::unique_ptr<TElectSequence> s) {
    if (!s) return TFileResult::Failed("");
    if (TFileResult room = Room(); !room) return room;
    // Every entry starts as its file holds it, or as a new sequence is made, in the form the
    // window shows: that form is what counts as saved.
    SettleSequence(*s);
    Saved.MarkSaved(*s);
    Entries.push_back(std::move(s));
    Settle(Current);
    return TFileResult::Done();
}

TFileResult TSequenceList::AddFile(const std::string& path) {
    if (TFileResult room = Room(); !room) return room;
    // Read here rather than by the constructor of list entries, whose messages say that the
    // file leaves the list: this one was never in it.
    auto opened = std::make_unique<TElectSequence>();
    if (const std::string why = opened->ReadListEntry(path); !why.empty()) return TFileResult::Failed(path + "\r\n" + why);
    return Add(std::move(opened));
}

void TSequenceList::Exclude(int i) {
    if (i < 0 || i >= EntryCount) return;
    Saved.Forget(*Entries[std::size_t(i)]);
    Entries.erase(Entries.begin() + i);
    Settle(int(Entries.size()) - 1);
}

void TSequenceList::Clear() {
    Saved.Clear();
    Entries.clear();
    Settle(-1);
}

int TSequenceList::Find(const std::string& path) const {
    if (path.empty()) return -1;
    const std::string wanted = Canonical(path);
    for (int i = 0; i < EntryCount; ++i) {
        const std::string file = TrimText(Entries[std::size_t(i)]->FileName);
        if (!file.empty() && Canonical(file) == wanted) return i;
    }
    return -1;
}

TFileResult TSequenceList::ReloadFile(int i, const std::string& path) {
    TElectSequence* s = (*this)[std::size_t(i)];
    if (!s) return TFileResult::Failed("");
    if (TFileResult read = s->ReadSqzFile(path); !read) return read;
    SettleSequence(*s);
    Saved.MarkSaved(*s);
    return TFileResult::Done();
}

TFileResult TSequenceList::WriteCurrent(const std::string& name) {
    TElectSequence* s = CurrentEntry;
    if (!s) return TFileResult::Failed("");
    char previous[sizeof(s->FileName)];
    std::memcpy(previous, s->FileName, sizeof(previous));
    TFileResult written = s->WriteSqzFile(name);
    if (!written) {
        std::memcpy(s->FileName, previous, sizeof(previous));
        return written;
    }
    Saved.MarkSaved(*s);
    return written;
}

TFileResult TSequenceList::WriteCopy(const std::string& name) {
    if (!CurrentEntry) return TFileResult::Failed("");
    int i = Find(name);
    if (i < 0)
        if (TFileResult room = Room(); !room) return room;
    // The file is written from a copy: the entry the command started from keeps its name.
    auto copy = std::make_unique<TElectSequence>();
    std::memcpy(static_cast<void*>(copy.get()), CurrentEntry, sizeof(TElectSequence));
    if (TFileResult written = copy->WriteSqzFile(name); !written) return written;
    if (i < 0) {
        Add(std::move(copy));
        i = EntryCount - 1;
    } else {
        std::memcpy(static_cast<void*>(Entries[std::size_t(i)].get()), copy.get(), sizeof(TElectSequence));
    }
    Settle(i);
    return ReloadFile(i, name);
}

bool TSequenceList::Changed(int i) const {
    const TElectSequence* s = (*this)[std::size_t(i)];
    return s && Saved.Changed(*s);
}

void TSequenceList::ReopenList(const std::string& listFile, const std::string& programListFile, int storedLine) {
    Clear();
    std::vector<std::string> lines;
    std::error_code ec;
    if (fs::exists(listFile, ec)) {
        if (const TReadEnd end = ReadLines(listFile, lines); end != TReadEnd::Read) {
            Host().ShowMessage(WithReason("Can't read the sequence list < " + listFile + " >",
                                          end == TReadEnd::TooLarge ? kListTooLarge : std::string()));
            lines.clear();
        }
    } else if (fs::exists(programListFile, ec)) {
        if (ReadLines(programListFile, lines) == TReadEnd::Read)
            SaveLines(listFile, lines);
        else
            lines.clear();
    }
    // Each file once, by the canonical path of its first line: its entry, or -1 when refused.
    std::unordered_map<std::string, int> named;
    std::vector<TRefusedLine> refused;
    std::vector<std::string> kept;
    bool changed = false;
    // The stored index names a line of the list file.
    int selected = -1;
    std::size_t line = 0;
    for (; line < lines.size(); ++line) {
        if (RefuseWhenFull()) break;
        const std::string path = TrimText(lines[line].c_str());
        changed = changed || path != lines[line];
        const std::string key = path.empty() ? std::string() : Canonical(path);
        if (const auto again = named.find(key); !key.empty() && again != named.end()) {
            if (int(line) == storedLine) selected = again->second;
            changed = true;
            continue;
        }
        auto s = std::make_unique<TElectSequence>();
        if (std::string why = s->ReadListEntry(path); !why.empty()) {
            refused.push_back({path, std::move(why)});
            named.emplace(key, -1);
            changed = true;
            continue;
        }
        Append(std::move(s));
        named.emplace(key, EntryCount - 1);
        if (int(line) == storedLine) selected = EntryCount - 1;
        kept.push_back(path);
    }
    // The lines beyond a full list stay in the file as they are.
    kept.insert(kept.end(), lines.begin() + std::ptrdiff_t(line), lines.end());
    if (changed) SaveLines(listFile, kept);
    ReportRefused(refused);
    Settle(selected);
}

int TSequenceList::WriteList(const std::string& listFile, const TPathOrder& before) const {
    struct TLine {
        std::string Path;
        int Entry;
    };
    std::vector<TLine> lines;
    for (int i = 0; i < EntryCount; ++i) {
        std::string path = TrimText(Entries[std::size_t(i)]->FileName);
        if (!path.empty()) lines.push_back({std::move(path), i});
    }
    std::stable_sort(lines.begin(), lines.end(), [&before](const TLine& a, const TLine& b) { return before(a.Path, b.Path); });
    std::vector<std::string> out;
    int selected = -1;
    for (const TLine& l : lines) {
        if (l.Entry == Current) selected = int(out.size());
        out.push_back(l.Path);
    }
    if (std::string why; !SaveLines(listFile, out, &why))
        Host().ShowMessage(WithReason("Can't save the sequence list < " + listFile + " >", why));
    return selected;
}
