#pragma once
// The open sequences: one entry for each line of the window's sequence list, in its order, and
// one of them current. The list owns them, keeps to its limit, finds an entry by its file, reads
// and writes the list file of the working folder, and knows which entries hold changes that
// their file does not. What it has to tell the user goes through the host.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
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
    // True, after the message that says so, when the list holds its limit.
    bool RefuseWhenFull() const;
    // Adds s at the end as its file holds it, settled as the window shows it (SettleSequence);
    // false for a null s, or, after the message, when the list is full.
    bool Append(std::unique_ptr<TElectSequence> s);
    // Adds the sequence of the .sqz file path; its index, or -1 after the message of the list or
    // of the file. A file that is listed already is not looked for.
    int AppendFromFile(const std::string& path);
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
    // Entry i as the file path holds it, settled; false, after the message, when the file is
    // refused.
    bool Reload(int i, const std::string& path);
    // Writes the current entry to the .sqz file name, which becomes its file; false after the
    // message when it could not be written, and the entry keeps its file.
    bool SaveCurrent(const std::string& name);
    // Writes a copy of the current entry to the .sqz file name. The entry of that file, or a new
    // one when none is listed, takes the copy and becomes current; the entry copied keeps its
    // contents and its file. The index of the entry now current, or -1 (after the message) when
    // the list is full or the file could not be written, and then nothing changes.
    int SaveAsNew(const std::string& name);

    // ---- unsaved changes ----
    // Entry i differs from what its file held when last opened or saved.
    bool Changed(int i) const;

    // ---- the list file: one path a line, CR LF, in the local 8-bit text ----
    // Replaces the entries by those of listFile, or, when there is none, of programListFile,
    // which is then copied to listFile. A line whose file is refused is reported by the sequence,
    // and dropped from listFile at once. The entry of line storedLine becomes current.
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
