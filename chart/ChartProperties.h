#pragma once
// Property ids, value kinds and the lookup into the one table of chart properties.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace chart {

// How a property's value travels between the control and the engine.
enum class PropKind : uint8_t {
    Bool, Int, Colour, Enum, ReadOnlyInt, Double, Single, Text,
    ItemInt, ItemColour, ItemDouble, ItemBool, ItemEnum, ItemText,
    Item2Single, Item2Double, Item2Int, Item2Colour, Item2Bool, Item2Enum, Item2Text,
};

enum PropFlags : uint8_t {
    kPublished = 1,          // stored with a form
    kRedrawsInDesigner = 2,  // its setter re-renders at once in the form designer
};

struct PropDef {
    const char* name;
    PropKind kind;
    int id;
    const char* defaultValue;  // as text: a number (an ordinal for enumerations) or the text itself
    const char* enumType;      // enumeration type of Enum and ItemEnum/Item2Enum kinds
    uint8_t flags;
};

struct FormValue {
    const char* name;
    const char* value;  // a number, True/False, an enumerator name or the text
};

struct EnumDef {
    const char* name;
    const char* values[24];
};

extern const PropDef kPropertyTable[];
extern const int kPropertyCount;
extern const FormValue kMainFormChartValues[];
extern const int kMainFormChartValueCount;
extern const EnumDef kEnumTable[];
extern const int kEnumCount;

const PropDef* FindProperty(std::string_view name);
const PropDef* FindProperty(int id);
const EnumDef* FindEnum(std::string_view name);
// Ordinal of an enumerator of the given type, -1 when it is not one of its values.
int EnumOrdinal(const EnumDef& e, std::string_view value);
int EnumSize(const EnumDef& e);

enum class Storage : uint8_t { Number, Double, Single, Text, Item, Item2 };
Storage StorageOf(PropKind k);
bool IsOneIndex(PropKind k);
bool IsTwoIndex(PropKind k);

// Ids with a fixed meaning (the ones the control and the main window use).
namespace id {
constexpr int ObjectType = 2100;
constexpr int MainTitle = 2105, SubTitle = 2110;
constexpr int Subsets = 2115, Points = 2120;
constexpr int XData = 2135, YData = 2140, ZData = 2900;
constexpr int DefOrientation = 2150;
constexpr int RenderEngine = 2153;
constexpr int PrepareImages = 2155;
constexpr int SubsetColors = 2190;
constexpr int GraphForeColor = 2335;
constexpr int CacheBmp = 2574;
constexpr int FocalRect = 2632;
constexpr int Painting = 2916;
constexpr int XAxisLabel = 3000, YAxisLabel = 3005, ZAxisLabel = 4000;
constexpr int AutoScaleData = 3057;
constexpr int GridLineControl = 3100;
constexpr int AllowGridNumberHotSpotsY = 3122;
constexpr int ComparisonSubsets = 3130;
constexpr int PointTypes = 3156;
constexpr int CustomGridNumbersY = 3160;
constexpr int AllowDataHotSpots = 3210;
constexpr int PointColors = 3258;
constexpr int SubsetPointTypes = 3270, SubsetLineTypes = 3271;
constexpr int AllowGridNumberHotSpotsX = 3692, AllowGridNumberHotSpotsZ = 4057;
constexpr int AutoRotation = 4003;
constexpr int RotationSpeed = 4011;
constexpr int ShowZAxis = 4018;
constexpr int ZDistance = 4022;
// Engine-side ids with no accessor.
constexpr int ImageDirty = 2905;
constexpr int NotifyWindow = 2915;
constexpr int CachedBitmap = 2575;
constexpr int MemoryDC = 2580;
constexpr int HotSpotRecord = 2610;
constexpr int GridNumberValues = 3123;
constexpr int CustomGridNumberRecord = 3162;
constexpr int CustomMenuIndex = 2675, CustomSubmenuIndex = 2676;
}  // namespace id

// Notification codes the engine sends to its window.
namespace notify {
constexpr int ParamsChanged = 3961;
constexpr int InvalidateRect = 3962;
constexpr int CustomizeDialog = 3974;
constexpr int PopupMenu = 3975;
constexpr int CustomGridNumbers = 3979;
constexpr int CustomMenu = 3980;
constexpr int PreHScroll = 3981;
constexpr int PreVScroll = 3982;
}  // namespace notify

// Hot-spot types of the hot-spot record.
namespace hotspot {
constexpr int None = 0, Subset = 1, Point = 2, Data = 5, GraphAnnotation = 6;
constexpr int MainTitle = 11, SubTitle = 12, MultiSubTitle = 13, MultiBottomTitle = 14;
constexpr int GridNumberX = 19, GridNumberY = 21, GridNumberZ = 43;
constexpr int TableAnnotationFirst = 23, TableAnnotationLast = 42;
}  // namespace hotspot

// Hot-spot types that raise an event of the control.
constexpr bool HasHotSpotEvent(int type) {
    switch (type) {
    case hotspot::Subset: case hotspot::Point: case hotspot::Data: case hotspot::GraphAnnotation:
    case hotspot::MainTitle: case hotspot::SubTitle: case hotspot::MultiSubTitle: case hotspot::MultiBottomTitle:
    case hotspot::GridNumberX: case hotspot::GridNumberY: case hotspot::GridNumberZ:
        return true;
    default:
        return type >= hotspot::TableAnnotationFirst && type <= hotspot::TableAnnotationLast;
    }
}

// The records below are read as they lie in memory, little-endian.
static_assert(std::endian::native == std::endian::little);

// The hot-spot record as the engine hands it out (28 bytes, little-endian).
struct HotSpotRecord {
    int32_t left, top, right, bottom;
    int32_t type;
    int32_t first;
    int32_t second;
};
static_assert(sizeof(HotSpotRecord) == 28);
static_assert(offsetof(HotSpotRecord, type) == 16);
static_assert(offsetof(HotSpotRecord, first) == 20);
static_assert(offsetof(HotSpotRecord, second) == 24);

// The custom grid-number record (216 bytes reserved by the control).
struct CustomGridNumberRecord {
    int32_t nAxisType;
    int32_t nAxisIndex;
    double dNumber;
    char16_t szData[100];
};
static_assert(sizeof(CustomGridNumberRecord) == 216);
static_assert(offsetof(CustomGridNumberRecord, dNumber) == 8);
static_assert(offsetof(CustomGridNumberRecord, szData) == 16);

constexpr double kNullValue = 99999.0;
constexpr int kTextBufferUnits = 1256;  // read-back texts are cut to one less than this

}  // namespace chart
