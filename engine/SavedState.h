#pragma once
// Which open sequences hold changes that their file does not: each sequence is remembered by
// a fingerprint of its bytes as it was last opened or saved. Kept by the sequence list; no
// file holds it.
#include <cstddef>
#include <unordered_map>

#include "engine/Electsequence.h"

class TSavedState {
public:
    // s is as its file holds it (just opened, saved or created).
    void MarkSaved(const TElectSequence& s);
    // s leaves the list.
    void Forget(const TElectSequence& s);
    void Clear() { Prints.clear(); }
    // s differs from what it was when last marked; a sequence never marked counts as changed.
    bool Changed(const TElectSequence& s) const;

private:
    static std::size_t Print(const TElectSequence& s);
    std::unordered_map<const TElectSequence*, std::size_t> Prints;
};
