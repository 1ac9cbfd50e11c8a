#pragma once
// The engine's property store: every value lives under its numeric property id.
//
// The store keeps raw values; the reading rules (bool and enumeration in the low byte, texts
// cut to the control's buffer) belong to the accessors that read them. Indices outside the
// store are safe: a read gives the element's default, a write is ignored.
#include <QString>
#include <QVariant>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "chart/ChartProperties.h"

namespace chart {

class ChartStore {
public:
    ChartStore();

    // Every property back to its default, every array emptied.
    void Reset();

    // Scalars: a number, a double, a single or a text under id. Ids of another storage
    // are ignored (a write) or give 0 / an empty text (a read).
    void SetNumber(int id, int32_t v);
    int32_t GetNumber(int id) const;
    void SetDouble(int id, double v);
    double GetDouble(int id) const;
    void SetSingle(int id, float v);
    float GetSingle(int id) const;
    void SetText(int id, const QString& v);
    QString GetText(int id) const;

    // One-index arrays: index 0..kMaxIndex.
    void SetItem(int id, int index, const QVariant& v);
    QVariant GetItem(int id, int index) const;
    // Two-index arrays. Arrays of subsets and points are bounded by Subsets and Points; the
    // others by kMaxIndex. Point -1 with subset 0 empties the whole array.
    void SetItem2(int id, int subset, int point, const QVariant& v);
    QVariant GetItem2(int id, int subset, int point) const;

    // Fast paths of the chart data (no QVariant).
    void SetData(int id, int subset, int point, float v);
    float GetData(int id, int subset, int point) const;  // id XData, YData or ZData
    void SetPointColor(int subset, int point, uint32_t c);
    void SetPointType(int subset, int point, int32_t t);
    // Per-point overrides: false when the point has none.
    bool PointColor(int subset, int point, uint32_t& c) const;
    bool PointType(int subset, int point, int32_t& t) const;

    int Subsets() const;  // never negative, never above kMaxSubsets
    int Points() const;   // never negative, never above kMaxPoints

    // Override changes since the last call, as (subset, point); `all` when every override went.
    struct OverrideChanges {
        std::vector<std::pair<int, int>> points;
        bool all = false;
    };
    OverrideChanges TakeOverrideChanges();

    static constexpr int kMaxIndex = 65535;
    static constexpr int kMaxSubsets = 65536;
    static constexpr int kMaxPoints = 1 << 20;

private:
    struct Scalar {
        int32_t n = 0;
        double d = 0;
        float f = 0;
        QString t;
    };
    struct SubsetData {
        std::vector<float> x, y, z;           // empty until written
        std::vector<uint32_t> colour;         // override colours
        std::vector<int32_t> type;            // override point types
        std::vector<uint8_t> has;             // bit 0 colour, bit 1 type
    };
    const PropDef* Def(int id, Storage s) const;
    bool InSubsetPointRange(int subset, int point) const;
    static bool IsSubsetPointArray(int id);
    void Reshape();
    void NoteChange(int subset, int point);
    SubsetData* Subset(int subset);
    static QVariant ElementDefault(const PropDef& d);
    static QVariant Convert(const PropDef& d, const QVariant& v);

    std::vector<Scalar> scalars_;  // by table position
    std::unordered_map<int, int> pos_;  // id -> table position
    std::unordered_map<int, std::unordered_map<int, QVariant>> items_;
    std::unordered_map<int, std::unordered_map<int64_t, QVariant>> items2_;
    std::unordered_map<int, int32_t> extra_;  // ids without an accessor
    std::vector<SubsetData> data_;
    int subsets_ = 0, points_ = 0;
    OverrideChanges changes_;
};

}  // namespace chart
