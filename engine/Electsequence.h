#pragma once
// One whole measurement sequence as a single fixed-size record. Its byte image is the
// .sqz file, so the layout below is a file format: sizes and offsets are binding.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Electgrid.h"
#include "engine/FileResult.h"
#include "engine/Reskonpro.h"

class TPortVirt;         // the abstract port of the instrument link
class TProgressSink;     // progress indicator handed to the block transfer

constexpr std::size_t kSequenceFileSize = 492408;
constexpr std::size_t kMaxFileNameLength = 1023;  // bytes of the path the record keeps

// TElectSequence::Upload gives the meter's memory number (0..kLastMeterMemory) or one of these.
constexpr std::int32_t kUploadNotComputed = -4;  // or an empty list: nothing is sent
constexpr std::int32_t kUploadTooOld = -3;       // meter software too old: nothing is sent
constexpr std::int32_t kUploadError = -2;        // the exchange failed, or was cancelled
constexpr std::int32_t kUploadMemoryFull = -1;   // the meter has no memory free
constexpr std::int32_t kLastMeterMemory = 12;
constexpr int kSpacingCoefficients = 9;   // rows a = 1..9 of the depth-level grid
constexpr int kLevels = 128;              // columns n = 1..128
// The one level that the automatic multigradient set-up selects in each spacing coefficient.
constexpr int kAutoCreationLevel = 9;

// Strips leading and trailing blanks and control characters.
std::string TrimText(const char* text);

// Why name can't be used as the name of a file exactly as it is given, in words; "" when it
// can. Names are read back trimmed (TrimText) and the sequence list keeps one path a line, so a
// name with a blank or a control character at an end, or a line break in it, would later be
// another file's.
std::string FileNameFault(const std::string& name);
// The same for the .sqz file of a sequence, whose record keeps at most kMaxFileNameLength bytes
// of its path: a longer one would be cut, and the next save would go elsewhere.
std::string SequenceFileNameFault(const std::string& name);

// What the user is told when the file of a line of the sequence list is refused for why (the
// reason TElectSequence::ReadListEntry gives): the line leaves the list.
std::string ListExclusionText(const std::string& fileName, const std::string& why);

// The 23 IP timing words (10-ms units) of injection time index 0..5 and IP mode 0..4, as
// SetTime and SetIPMode load them; nullptr for indices without a row.
const std::uint16_t* IPTimingTableRow(int timeIndex, int ipMode);

// The records below are byte images of files and of what the meter receives, laid out
// little-endian: they are written and read as they lie in memory.
static_assert(std::endian::native == std::endian::little);
#pragma pack(push, 1)

struct TChannelOptions {
    std::uint8_t MultiChannelOptimization;
    std::uint8_t Pad1[3];
    std::int32_t OptimizationChannel;
    std::int16_t AllowDummyQuadripoles;
    std::int16_t DelPolarEffect;

    TChannelOptions();
};

struct TSpacingLevel {
    std::int32_t SelectedCount;
    std::uint8_t Selected[kLevels];
    float DepthX[kLevels];
    float DepthY[kLevels];

    TSpacingLevel();
};

struct TQuadripoleInfo {
    float X;
    float Y;
    float Depth;
    std::uint16_t Number;
    std::uint16_t Group;
    std::int16_t Level;
    std::uint16_t SpacingCoef;

    TQuadripoleInfo();
};

struct TElectSequence {
    char FileName[1024];
    char Comment[1024];
    std::uint32_t Version;
    float MaxDepthX;
    float MaxDepthY;
    std::int32_t MeasurementCycles;
    std::int32_t MaxChannelUsed;
    TChannelOptions ChannelOptions;
    TSpacingLevel SpacingLevels[kSpacingCoefficients];
    TElectGrid Grid;
    TReskonPro Device;
    TQuadripoleInfo QuadInfo[kMaxQuadripoles];
    TElectrodeXYZ RemoteElectrodes[4];
    std::int32_t NeedsRecompute;

    // ---- construction and records ----
    TElectSequence();
    // Sequence-list entry from a .sqz file: shows a message and throws std::runtime_error
    // (empty text) when the file is missing, of another version or not a whole sequence.
    explicit TElectSequence(const std::string& fileName);
    // The same without a word, for a new entry: the sequence of the file, or why it is refused
    // ("file not found", "Unknown file version", ...). The file is read straight into the
    // object, which a refusal leaves spoilt: the entry it was made for is dropped.
    std::string ReadListEntry(const std::string& fileName);

    void ClearQuadripoles();
    void ResetRemoteElectrodes();
    void ComputeElectrodePositions();
    bool IsValid();

    // ---- names and acquisition parameters ----
    void SetFileName(const std::string& name);
    std::string GetSeqName() const;
    void SetSeqName(const std::string& name);
    std::string GetComment() const;
    void SetComment(const std::string& text);
    void SetArrayType(std::int32_t t);
    std::int32_t GetMaxChannel() const;
    std::int32_t CheckChannel();
    void LimitChannel(std::int32_t n);
    void SetTime(std::int32_t index);
    void SetIPMode(std::int32_t mode);
    bool IsRhoIP() const;
    void SetRhoIP(bool on);
    void SetVmn(std::int32_t choice);
    void SetVab(std::int32_t choice);
    void SetVabMax(std::int32_t volts);
    std::int32_t GetVabMax() const;
    void GetIPTiming(std::uint32_t out[23]) const;
    void SetIPTiming(std::int32_t t0, std::int32_t t1, std::int32_t t2, const std::int32_t windows[20]);
    std::int32_t GetMaxQuadNumber() const;
    std::int32_t GetMaxGroup() const;
    long double GetMeasureTimeExact() const;   // one cycle in ms, before truncation
    std::int32_t GetMeasureTime() const;
    double GetTotalTime() const;

    // ---- quadripole list ----
    int QuadripoleCount() const { return Device.LastQuadripole + 1; }
    void GetQuadripole(int q, std::uint32_t abmn[4]) const;
    void SetQuadripole(int q, const std::uint32_t abmn[4], std::int32_t n, std::int32_t a,
                       std::uint16_t group, std::uint16_t number);
    void InsertQuadripole(int q, const std::uint32_t abmn[4], std::int32_t n, std::int32_t a,
                          std::uint16_t group, std::uint16_t number);
    void DeleteQuadripole(int q);
    void MoveQuadripole(int to, int from);
    void SwapMN(int q);
    void ReverseQuadripoles();
    std::int32_t GetChannelGroupSize(int q);
    void CountMeasurements();
    long double GetPseudoX(const std::uint32_t abmn[4]) const;
    long double GetPseudoY(const std::uint32_t abmn[4]) const;
    long double GetPseudoZ(const std::uint32_t abmn[4]) const;
    float GetInvestigationDepth(const std::uint32_t abmn[4], bool generic) const;

    // ---- depth-level tables ----
    std::int32_t GetSpacingLevelCount() const;
    void ClearSpacingLevelDepths();
    float ComputeSpacingLevelDepths(bool store, std::int32_t k);
    void AutomaticCreation(float maxDepth);
    void AutoGridDepthLevel();

    // ---- native file ----
    // Each file operation comes twice: the Write.../Read... form returns what the user is to be
    // told, the older form shows it through the host and returns whether it was done.
    // Writes the file name; failed when it could not be written, and the previous file is kept.
    TFileResult WriteSqzFile(const std::string& name);
    bool SaveToFile(const std::string& name);
    // Failed, naming the file, when it is not a whole sequence of this version; the object is
    // then left as it was.
    TFileResult ReadSqzFile(const std::string& name);
    bool LoadFromFile(const std::string& name);

    // ---- generators ----
    // Fills the list from index 0 with the generator of the grid and array type (the mixed
    // array has none and keeps its list), reverses ABMN to MNAB when asked, and counts the
    // measurement cycles. delPolar picks the polarisation variants of Wenner and
    // Wenner-Schlumberger. The electrode positions must be computed beforehand.
    void ComputeSequence(bool reverse, bool delPolar);
    // Each generator stores its quadripoles from index 0 in measurement order, keeps the
    // largest depths and returns how many it stored (0..16000).
    std::int32_t ComputeDipoleDipole();
    std::int32_t ComputeDipoleDipoleEquatorial();
    std::int32_t ComputePoleDipoleForward();
    std::int32_t ComputePoleDipoleReverse();
    std::int32_t ComputeWenner();
    std::int32_t ComputeWennerDelPolar();
    std::int32_t ComputeWennerSchlumberger();
    std::int32_t ComputeWennerSchlumbergerDelPolar();
    std::int32_t ComputeWSReciprocal();
    std::int32_t ComputeGradient();
    std::int32_t ComputeCompletePolePole();
    std::int32_t ComputeMultiGradient();
    std::int32_t ComputeCrossDiagonalPolePole();
    std::int32_t ComputeCrossDiagonalDipoleDipole();
    std::int32_t ComputeCrossDiagonalPoleDipoleForward();
    std::int32_t ComputeCrossDiagonalPoleDipoleReverse();
    std::int32_t ComputeBoreholeDipoleDipoleDiagonal();
    std::int32_t ComputeBoreholeDipoleDipoleEquatorial();

    // ---- multi-channel optimisation, polarisation, roll-along ----
    // Regroups the list into chains of one injection each (same A and B, each M the previous N),
    // exchanging M and N and inserting gap fillers where allowed; ends with CountMeasurements.
    void MultiChannelOptimization();
    // Reorders chain starts so that an electrode just used for current is not used at once for
    // potential; relies on the MaxChannelUsed left by the optimisation.
    void DelPolarEffect();
    // Roll-along cut: deletes the quadripoles measured at the previous spread position.
    void MoveSequence(std::int32_t shiftX, std::int32_t shiftY);

    // ---- text and SD-card files ----
    // Writes the electrode, quadripole and level sections; failed when the file could not be
    // written, the previous file is then kept.
    TFileResult WriteTextFile(const std::string& name, const std::string& sep);
    bool ExportTextFile(const std::string& name, const std::string& sep);
    // On a new sequence: reads a .txt, infers the grid, writes name.sqz. Failed when the file is
    // missing (with nothing to tell), refused (naming it) or the .sqz could not be written; done
    // with a note when lines were left out.
    TFileResult ReadTextFile(const std::string& name);
    bool ImportTextFile(const std::string& name);
    // Writes the meter's image beside name with the extension ".sds".
    TFileResult WriteSdCardFile(const std::string& name);
    bool SaveToSdCard(const std::string& name);
    // On a new sequence: reads a .sds, infers the grid, writes <name>SdsToSqz.sqz and hands
    // that name back in name. Failed when missing (with nothing to tell), refused or not saved.
    TFileResult ReadSdCardFile(std::string& name);
    bool ImportSdCardFile(std::string& name);

    // ---- upload ----
    // Sends the sequence over an open, synchronised port: the memory number, or one of the
    // kUpload... failures above. Built in the link library.
    std::int32_t Upload(TPortVirt& port, std::int32_t version, TProgressSink* progress);
};

#pragma pack(pop)

static_assert(sizeof(TChannelOptions) == 12);
static_assert(offsetof(TChannelOptions, MultiChannelOptimization) == 0);
static_assert(offsetof(TChannelOptions, OptimizationChannel) == 4);
static_assert(offsetof(TChannelOptions, AllowDummyQuadripoles) == 8);
static_assert(offsetof(TChannelOptions, DelPolarEffect) == 10);

static_assert(sizeof(TSpacingLevel) == 1156);
static_assert(offsetof(TSpacingLevel, SelectedCount) == 0);
static_assert(offsetof(TSpacingLevel, Selected) == 4);
static_assert(offsetof(TSpacingLevel, DepthX) == 132);
static_assert(offsetof(TSpacingLevel, DepthY) == 644);

static_assert(sizeof(TQuadripoleInfo) == 20);
static_assert(offsetof(TQuadripoleInfo, X) == 0);
static_assert(offsetof(TQuadripoleInfo, Y) == 4);
static_assert(offsetof(TQuadripoleInfo, Depth) == 8);
static_assert(offsetof(TQuadripoleInfo, Number) == 12);
static_assert(offsetof(TQuadripoleInfo, Group) == 14);
static_assert(offsetof(TQuadripoleInfo, Level) == 16);
static_assert(offsetof(TQuadripoleInfo, SpacingCoef) == 18);

static_assert(sizeof(TElectSequence) == kSequenceFileSize);
static_assert(offsetof(TElectSequence, FileName) == 0);
static_assert(sizeof(TElectSequence::FileName) == kMaxFileNameLength + 1);
static_assert(offsetof(TElectSequence, Comment) == 1024);
static_assert(offsetof(TElectSequence, Version) == 2048);
static_assert(offsetof(TElectSequence, MaxDepthX) == 2052);
static_assert(offsetof(TElectSequence, MaxDepthY) == 2056);
static_assert(offsetof(TElectSequence, MeasurementCycles) == 2060);
static_assert(offsetof(TElectSequence, MaxChannelUsed) == 2064);
static_assert(offsetof(TElectSequence, ChannelOptions) == 2068);
static_assert(offsetof(TElectSequence, SpacingLevels) == 2080);
static_assert(offsetof(TElectSequence, Grid) == 12484);
static_assert(offsetof(TElectSequence, Device) == 28376);
static_assert(offsetof(TElectSequence, QuadInfo) == 172356);
static_assert(offsetof(TElectSequence, RemoteElectrodes) == 492356);
static_assert(offsetof(TElectSequence, NeedsRecompute) == 492404);
