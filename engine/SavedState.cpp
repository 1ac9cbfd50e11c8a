#include "engine/SavedState.h"

#include <functional>
#include <string_view>

std::size_t TSavedState::Print(const TElectSequence& s) {
    return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(&s), sizeof(s)));
}

void TSavedState::MarkSaved(const TElectSequence& s) { Prints[&s] = Print(s); }

void TSavedState::Forget(const TElectSequence& s) { Prints.erase(&s); }

bool TSavedState::Changed(const TElectSequence& s) const {
    const auto it = Prints.find(&s);
    return it == Prints.end() || it->second != Print(s);
}
