#include "engine/SequenceList.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "engine/Fileimport.h"
#include "engine/Host.h"
#include "engine/SequenceEditor.h"

namespace {
namespace fs = std::filesystem;

constexpr std::string_view kUtf8Signature = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kMaxLinkLevels = 32;  // a loop of links ends here

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

// Lines of a text file ended by CR LF, CR or LF, as bytes; false when it cannot be read.
bool ReadLines(const std::string& path, std::vector<std::string>& lines) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string data;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, got);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return false;
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
    return true;
}

// Replaces the file at once, never leaving half of it. A link is followed to the file it names,
// whether that exists yet or not, and stays a link.
bool SaveLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string data;
    for (const std::string& l : lines) data.append(l).append(kLineEnd);
    fs::path target = path;
    std::error_code ec;
    for (int level = 0; level < kMaxLinkLevels && fs::is_symlink(target, ec); ++level) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = target.parent_path() / next;  // an absolute next replaces the folder
    }
    return ReplaceFileContents(target.string(), data.data(), data.size());
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

bool TSequenceList::RefuseWhenFull() const {
    if (EntryCount < MaxEntries) return false;
    Host().ShowMessage(ListFullText(MaxEntries));
    return true;
}

bool TSequenceList::Append(std::unique_ptr<TElectSequence> s) {
    if (!s || RefuseWhenFull()) return false;
    // Every entry starts as its file holds it, or as a new sequence is made, in the form the
    // window shows: that form is what counts as saved.
    SettleSequence(*s);
    Saved.MarkSaved(*s);
    Entries.push_back(std::move(s));
    Settle(Current);
    return true;
}

int TSequenceList::AppendFromFile(const std::string& path) {
    if (RefuseWhenFull()) return -1;
    // Read here rather than by the constructor of list entries, whose messages say that the
    // file leaves the list: this one was never in it.
    auto opened = std::make_unique<TElectSequence>();
    if (!opened->LoadFromFile(path)) return -1;
    return Append(std::move(opened)) ? EntryCount - 1 : -1;
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

bool TSequenceList::Reload(int i, const std::string& path) {
    TElectSequence* s = (*this)[std::size_t(i)];
    if (!s || !s->LoadFromFile(path)) return false;
    SettleSequence(*s);
    Saved.MarkSaved(*s);
    return true;
}

bool TSequenceList::SaveCurrent(const std::string& name) {
    TElectSequence* s = CurrentEntry;
    if (!s) return false;
    char previous[sizeof(s->FileName)];
    std::memcpy(previous, s->FileName, sizeof(previous));
    if (!s->SaveToFile(name)) {
        std::memcpy(s->FileName, previous, sizeof(previous));
        return false;
    }
    Saved.MarkSaved(*s);
    return true;
}

int TSequenceList::SaveAsNew(const std::string& name) {
    if (!CurrentEntry) return -1;
    int i = Find(name);
    if (i < 0 && RefuseWhenFull()) return -1;
    // The file is written from a copy: the entry the command started from keeps its name.
    auto copy = std::make_unique<TElectSequence>();
    std::memcpy(static_cast<void*>(copy.get()), CurrentEntry, sizeof(TElectSequence));
    if (!copy->SaveToFile(name)) return -1;
    if (i < 0) {
        Append(std::move(copy));
        i = EntryCount - 1;
    } else {
        std::memcpy(static_cast<void*>(Entries[std::size_t(i)].get()), copy.get(), sizeof(TElectSequence));
    }
    Settle(i);
    Reload(i, name);
    return i;
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
        if (!ReadLines(listFile, lines)) {
            Host().ShowMessage("Can't read the sequence list < " + listFile + " >");
            lines.clear();
        }
    } else if (fs::exists(programListFile, ec)) {
        if (ReadLines(programListFile, lines))
            SaveLines(listFile, lines);
        else
            lines.clear();
    }
    // The stored index names a line of the list file; lines that fail move it up.
    int selected = -1;
    int line = 0;
    for (std::size_t i = 0; i < lines.size(); ++line) {
        if (RefuseWhenFull()) break;
        try {
            Append(std::make_unique<TElectSequence>(lines[i]));
            if (line == storedLine) selected = EntryCount - 1;
            ++i;
        } catch (...) {
            // The sequence has said why its file is refused; the line leaves the list file.
            lines.erase(lines.begin() + std::ptrdiff_t(i));
            SaveLines(listFile, lines);
        }
    }
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
    if (!SaveLines(listFile, out)) Host().ShowMessage("Can't save the sequence list < " + listFile + " >");
    return selected;
}
