#include "chart/ChartProperties.h"

#include <string>
#include <unordered_map>

namespace chart {

namespace {
struct Index {
    std::unordered_map<std::string, const PropDef*> byName;
    std::unordered_map<int, const PropDef*> byId;
    std::unordered_map<std::string, const EnumDef*> enums;
    Index() {
        for (int i = 0; i < kPropertyCount; ++i) {
            byName.emplace(kPropertyTable[i].name, &kPropertyTable[i]);
            byId.emplace(kPropertyTable[i].id, &kPropertyTable[i]);
        }
        for (int i = 0; i < kEnumCount; ++i) enums.emplace(kEnumTable[i].name, &kEnumTable[i]);
    }
};
const Index& index() {
    static const Index idx;
    return idx;
}
}  // namespace

const PropDef* FindProperty(std::string_view name) {
    const auto& m = index().byName;
    auto it = m.find(std::string(name));
    return it == m.end() ? nullptr : it->second;
}

const PropDef* FindProperty(int id) {
    const auto& m = index().byId;
    auto it = m.find(id);
    return it == m.end() ? nullptr : it->second;
}

const EnumDef* FindEnum(std::string_view name) {
    const auto& m = index().enums;
    auto it = m.find(std::string(name));
    return it == m.end() ? nullptr : it->second;
}

int EnumSize(const EnumDef& e) {
    int n = 0;
    while (n < 24 && e.values[n]) ++n;
    return n;
}

int EnumOrdinal(const EnumDef& e, std::string_view value) {
    for (int i = 0, n = EnumSize(e); i < n; ++i)
        if (value == e.values[i]) return i;
    return -1;
}

Storage StorageOf(PropKind k) {
    switch (k) {
    case PropKind::Bool: case PropKind::Int: case PropKind::Colour: case PropKind::Enum:
    case PropKind::ReadOnlyInt:
        return Storage::Number;
    case PropKind::Double: return Storage::Double;
    case PropKind::Single: return Storage::Single;
    case PropKind::Text: return Storage::Text;
    case PropKind::ItemInt: case PropKind::ItemColour: case PropKind::ItemDouble:
    case PropKind::ItemBool: case PropKind::ItemEnum: case PropKind::ItemText:
        return Storage::Item;
    default: return Storage::Item2;
    }
}

bool IsOneIndex(PropKind k) { return StorageOf(k) == Storage::Item; }
bool IsTwoIndex(PropKind k) { return StorageOf(k) == Storage::Item2; }

}  // namespace chart
