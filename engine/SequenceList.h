#pragma once
// The open sequences: one entry for each line of the window's sequence list, in its order, and
// one of them current. The list owns them, keeps to its limit, finds an entry by its file, reads
// and writes the list file of the working folder, and knows which entries hold changes that
// their file does not. What it has to tell the user goes through the host.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Electsequence.h"
#include "engine/FileResult.h"
#include "engine/SavedState.h"

constexpr int kMaxSequences = 1024;

class TSequenceList {
public:
    // True when path a goes before path b in the list file.
    using TPathOrder = std::function<bool(const std::string& a, const std::string& b)>;

    explicit TSequenceList(int limit = kMaxSequences);
    // The window holds references to the count and the current entry: the list stays where it is.
    TSequenceList(const TSequenceList&) = delete;
    TSequenceList& operator=(const TSequenceList&) = delete;

    // ---- entries ----
    // By reference, so that a reader may keep it and see every change.
    const int& Count() const { return EntryCount; }
    // Entry i; null past the last one.
    TElectSequence* operator[](std::size_t i) const;
    // The most entries the list takes; entries already there stay when it is lowered.
    int Limit() const { return MaxEntries; }
    void SetLimit(int limit) { MaxEntries = limit; }
    // The operations that may have something to tell come twice: the first form returns what
    // the user is to be told (TFileResult), the second shows it through the host.
    // Failed, saying so, when the list holds its limit.
    TFileResult Room() const;
    bool RefuseWhenFull() const { return !ShowThroughHost(Room()); }
    // Adds s at the end as its file holds it, settled as the window shows it (SettleSequence);
    // fails for a null s, or when the list is full.
    TFileResult Add(std::unique_ptr<TElectSequence> s);
    bool Append(std::unique_ptr<TElectSequence> s) { return ShowThroughHost(Add(std::move(s))); }
    // Adds the sequence of the .sqz file path as the last entry, which the list or the file may
    // refuse. A file that is listed already is not looked for.
    TFileResult AddFile(const std::string& path);
    // Its index, or -1.
    int AppendFromFile(const std::string& path) { return ShowThroughHost(AddFile(path)) ? EntryCount - 1 : -1; }
    // Drops entry i (its file stays); the last entry becomes current.
    void Exclude(int i);
    void Clear();
    // The first entry whose file is path, both made absolute with links and "." and ".."
    // resolved; -1 when none. Entries without a file never match.
    int Find(const std::string& path) const;

    // ---- the current entry ----
    // -1 and null while there is none; by reference, as Count.
    const int& CurrentIndex() const { return Current; }
    TElectSequence* const& CurrentSequence() const { return CurrentEntry; }
    // Entry i becomes current; an index that names no entry leaves none current.
    void SetCurrent(int i);

    // ---- files of the entries ----
    // Entry i as the file path holds it, settled, unless the file is refused.
    TFileResult ReloadFile(int i, const std::string& path);
    bool Reload(int i, const std::string& path) { return ShowThroughHost(ReloadFile(i, path)); }
    // Writes the current entry to the .sqz file name, which becomes its file; when it could not
    // be written the entry keeps its file.
    TFileResult WriteCurrent(const std::string& name);
    bool SaveCurrent(const std::string& name) { return ShowThroughHost(WriteCurrent(name)); }
    // Writes a copy of the current entry to the .sqz file name. The entry of that file, or a new
    // one when none is listed, takes the copy and becomes current; the entry copied keeps its
    // contents and its file. When the list is full or the file could not be written nothing
    // changes.
    TFileResult WriteCopy(const std::string& name);
    // The index of the entry now current, or -1.
    int SaveAsNew(const std::string& name) { return ShowThroughHost(WriteCopy(name)) ? Current : -1; }

    // ---- unsaved changes ----
    // Entry i differs from what its file held when last opened or saved.
    bool Changed(int i) const;

    // ---- the list file: one path a line, CR LF, in the local 8-bit text ----
    // Replaces the entries by those of listFile, or, when there is none, of programListFile,
    // which is then copied to listFile. Each line is taken without its leading and trailing
    // blanks, and a file gets one entry however many lines name it (by links or "." and ".."
    // too). The lines whose files are refused are reported together in one message; they, and
    // the lines that name a file again, are dropped from listFile at once. The entry of line
    // storedLine becomes current.
    void ReopenList(const std::string& listFile, const std::string& programListFile, int storedLine);
    // Writes the files of the entries to listFile in the order given, entries without a file left
    // out; the line of the current entry, -1 when it is not in the file.
    int WriteList(const std::string& listFile, const TPathOrder& before) const;

private:
    // After every change of the entries: the count and the current entry that readers see.
    void Settle(int current);

    std::vector<std::unique_ptr<TElectSequence>> Entries;
    TSavedState Saved;
    int MaxEntries;
    int EntryCount = 0;
    int Current = -1;
    TElectSequence* CurrentEntry = nullptr;
};
