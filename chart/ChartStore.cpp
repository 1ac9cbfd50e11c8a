#include "chart/ChartStore.h"

#include <algorithm>

namespace chart {

namespace {
constexpr int kExtraIds[] = {id::ImageDirty, id::NotifyWindow, id::CachedBitmap, id::MemoryDC,
                             id::CustomMenuIndex, id::CustomSubmenuIndex};

int64_t Key(int a, int b) { return (int64_t(a) << 32) | uint32_t(b); }
}  // namespace

ChartStore::ChartStore() {
    scalars_.resize(size_t(kPropertyCount));
    for (int i = 0; i < kPropertyCount; ++i) pos_.emplace(kPropertyTable[i].id, i);
    Reset();
}

void ChartStore::Reset() {
    for (int i = 0; i < kPropertyCount; ++i) {
        const PropDef& d = kPropertyTable[i];
        Scalar& s = scalars_[size_t(i)];
        const QString text = QString::fromUtf8(d.defaultValue);
        s = Scalar{};
        switch (StorageOf(d.kind)) {
        case Storage::Number: s.n = int32_t(text.toLongLong()); break;
        case Storage::Double: s.d = text.toDouble(); break;
        case Storage::Single: s.f = text.toFloat(); break;
        case Storage::Text: s.t = text; break;
        default: break;
        }
    }
    items_.clear();
    items2_.clear();
    extra_.clear();
    for (int e : kExtraIds) extra_[e] = 0;
    data_.clear();
    subsets_ = points_ = 0;
    Reshape();
    changes_ = {};
    changes_.all = true;
}

const PropDef* ChartStore::Def(int id, Storage s) const {
    const PropDef* d = FindProperty(id);
    return d && StorageOf(d->kind) == s ? d : nullptr;
}

void ChartStore::SetNumber(int id, int32_t v) {
    if (auto e = extra_.find(id); e != extra_.end()) {
        e->second = v;
        return;
    }
    if (!Def(id, Storage::Number)) return;
    scalars_[size_t(pos_.at(id))].n = v;
    if (id == id::Subsets || id == id::Points) Reshape();
}

int32_t ChartStore::GetNumber(int id) const {
    if (auto e = extra_.find(id); e != extra_.end()) return e->second;
    return Def(id, Storage::Number) ? scalars_[size_t(pos_.at(id))].n : 0;
}

void ChartStore::SetDouble(int id, double v) {
    if (Def(id, Storage::Double)) scalars_[size_t(pos_.at(id))].d = v;
}

double ChartStore::GetDouble(int id) const {
    return Def(id, Storage::Double) ? scalars_[size_t(pos_.at(id))].d : 0.0;
}

void ChartStore::SetSingle(int id, float v) {
    if (Def(id, Storage::Single)) scalars_[size_t(pos_.at(id))].f = v;
}

float ChartStore::GetSingle(int id) const {
    return Def(id, Storage::Single) ? scalars_[size_t(pos_.at(id))].f : 0.0f;
}

void ChartStore::SetText(int id, const QString& v) {
    if (Def(id, Storage::Text)) scalars_[size_t(pos_.at(id))].t = v;
}

QString ChartStore::GetText(int id) const {
    return Def(id, Storage::Text) ? scalars_[size_t(pos_.at(id))].t : QString();
}

QVariant ChartStore::ElementDefault(const PropDef& d) {
    switch (d.kind) {
    case PropKind::ItemDouble: case PropKind::Item2Double: return 0.0;
    case PropKind::Item2Single: return 0.0f;
    case PropKind::ItemText: case PropKind::Item2Text: return QString();
    default: return int32_t(0);
    }
}

QVariant ChartStore::Convert(const PropDef& d, const QVariant& v) {
    switch (d.kind) {
    case PropKind::ItemDouble: case PropKind::Item2Double: return v.toDouble();
    case PropKind::Item2Single: return v.toFloat();
    case PropKind::ItemText: case PropKind::Item2Text: return v.toString();
    case PropKind::ItemColour: case PropKind::Item2Colour: return int32_t(v.toUInt());
    default: return int32_t(v.toLongLong());
    }
}

void ChartStore::SetItem(int id, int index, const QVariant& v) {
    const PropDef* d = Def(id, Storage::Item);
    if (!d || index < 0 || index > kMaxIndex) return;
    items_[id][index] = Convert(*d, v);
}

QVariant ChartStore::GetItem(int id, int index) const {
    const PropDef* d = Def(id, Storage::Item);
    if (!d) return QVariant();
    if (index < 0 || index > kMaxIndex) return ElementDefault(*d);
    auto a = items_.find(id);
    if (a == items_.end()) return ElementDefault(*d);
    auto it = a->second.find(index);
    return it == a->second.end() ? ElementDefault(*d) : it->second;
}

bool ChartStore::IsSubsetPointArray(int id) {
    static const int kIds[] = {id::XData, id::YData, id::ZData, id::PointColors, id::PointTypes};
    return std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds);
}

bool ChartStore::InSubsetPointRange(int subset, int point) const {
    return subset >= 0 && subset < subsets_ && point >= 0 && point < points_;
}

void ChartStore::SetItem2(int id, int subset, int point, const QVariant& v) {
    const PropDef* d = Def(id, Storage::Item2);
    if (!d) return;
    if (id == id::XData || id == id::YData || id == id::ZData) {
        SetData(id, subset, point, v.toFloat());
    } else if (id == id::PointColors) {
        SetPointColor(subset, point, v.toUInt());
    } else if (id == id::PointTypes) {
        SetPointType(subset, point, int32_t(v.toLongLong()));
    } else if (subset == 0 && point == -1) {
        items2_.erase(id);
    } else {
        const bool bounded = (d->name == std::string_view("XDataII") || d->name == std::string_view("YDataII") ||
                              d->name == std::string_view("ZDataII") || d->name == std::string_view("DataPointLabels"));
        if (bounded ? !InSubsetPointRange(subset, point)
                    : (subset < 0 || point < 0 || subset > kMaxIndex || point > kMaxIndex))
            return;
        items2_[id][Key(subset, point)] = Convert(*d, v);
    }
}

QVariant ChartStore::GetItem2(int id, int subset, int point) const {
    const PropDef* d = Def(id, Storage::Item2);
    if (!d) return QVariant();
    if (id == id::XData || id == id::YData || id == id::ZData) return GetData(id, subset, point);
    if (id == id::PointColors) {
        uint32_t c = 0;
        PointColor(subset, point, c);
        return int32_t(c);
    }
    if (id == id::PointTypes) {
        int32_t t = 0;
        PointType(subset, point, t);
        return t;
    }
    auto a = items2_.find(id);
    if (a == items2_.end()) return ElementDefault(*d);
    auto it = a->second.find(Key(subset, point));
    return it == a->second.end() ? ElementDefault(*d) : it->second;
}

void ChartStore::Reshape() {
    const int s = std::clamp(scalars_[size_t(pos_.at(id::Subsets))].n, 0, kMaxSubsets);
    const int p = std::clamp(scalars_[size_t(pos_.at(id::Points))].n, 0, kMaxPoints);
    if (s < int(data_.size())) data_.resize(size_t(s));
    if (p != points_) {
        for (SubsetData& sd : data_) {
            for (auto* v : {&sd.x, &sd.y, &sd.z})
                if (!v->empty()) v->resize(size_t(p), 0.0f);
            if (!sd.has.empty()) {
                sd.colour.resize(size_t(p), 0);
                sd.type.resize(size_t(p), 0);
                sd.has.resize(size_t(p), 0);
            }
        }
    }
    subsets_ = s;
    points_ = p;
}

ChartStore::SubsetData* ChartStore::Subset(int subset) {
    if (subset >= int(data_.size())) data_.resize(size_t(subset) + 1);
    return &data_[size_t(subset)];
}

void ChartStore::SetData(int id, int subset, int point, float v) {
    if (subset == 0 && point == -1) {
        for (SubsetData& sd : data_) {
            auto& vec = id == id::XData ? sd.x : id == id::YData ? sd.y : sd.z;
            std::vector<float>().swap(vec);
        }
        return;
    }
    if (!InSubsetPointRange(subset, point)) return;
    SubsetData* sd = Subset(subset);
    auto& vec = id == id::XData ? sd->x : id == id::YData ? sd->y : sd->z;
    if (vec.empty()) vec.assign(size_t(points_), 0.0f);
    vec[size_t(point)] = v;
}

float ChartStore::GetData(int id, int subset, int point) const {
    if (!InSubsetPointRange(subset, point) || subset >= int(data_.size())) return 0.0f;
    const SubsetData& sd = data_[size_t(subset)];
    const auto& vec = id == id::XData ? sd.x : id == id::YData ? sd.y : sd.z;
    return vec.empty() ? 0.0f : vec[size_t(point)];
}

void ChartStore::SetPointColor(int subset, int point, uint32_t c) {
    if (subset == 0 && point == -1) {
        for (SubsetData& sd : data_)
            for (auto& h : sd.has) h &= uint8_t(~1u);
        changes_.all = true;
        return;
    }
    if (!InSubsetPointRange(subset, point)) return;
    SubsetData* sd = Subset(subset);
    if (sd->has.empty()) {
        sd->colour.assign(size_t(points_), 0);
        sd->type.assign(size_t(points_), 0);
        sd->has.assign(size_t(points_), 0);
    }
    sd->colour[size_t(point)] = c;
    sd->has[size_t(point)] |= 1;
    NoteChange(subset, point);
}

void ChartStore::SetPointType(int subset, int point, int32_t t) {
    if (subset == 0 && point == -1) {
        for (SubsetData& sd : data_)
            for (auto& h : sd.has) h &= uint8_t(~2u);
        changes_.all = true;
        return;
    }
    if (!InSubsetPointRange(subset, point)) return;
    SubsetData* sd = Subset(subset);
    if (sd->has.empty()) {
        sd->colour.assign(size_t(points_), 0);
        sd->type.assign(size_t(points_), 0);
        sd->has.assign(size_t(points_), 0);
    }
    sd->type[size_t(point)] = t;
    sd->has[size_t(point)] |= 2;
    NoteChange(subset, point);
}

bool ChartStore::PointColor(int subset, int point, uint32_t& c) const {
    if (!InSubsetPointRange(subset, point) || subset >= int(data_.size())) return false;
    const SubsetData& sd = data_[size_t(subset)];
    if (sd.has.empty() || !(sd.has[size_t(point)] & 1)) return false;
    c = sd.colour[size_t(point)];
    return true;
}

bool ChartStore::PointType(int subset, int point, int32_t& t) const {
    if (!InSubsetPointRange(subset, point) || subset >= int(data_.size())) return false;
    const SubsetData& sd = data_[size_t(subset)];
    if (sd.has.empty() || !(sd.has[size_t(point)] & 2)) return false;
    t = sd.type[size_t(point)];
    return true;
}

int ChartStore::Subsets() const { return subsets_; }
int ChartStore::Points() const { return points_; }

void ChartStore::NoteChange(int subset, int point) {
    if (changes_.all) return;
    // Past this many, one full redraw is cheaper than patching point by point.
    if (changes_.points.size() >= 4096) {
        changes_.points.clear();
        changes_.all = true;
        return;
    }
    changes_.points.emplace_back(subset, point);
}

ChartStore::OverrideChanges ChartStore::TakeOverrideChanges() {
    OverrideChanges c = std::move(changes_);
    changes_ = {};
    return c;
}

}  // namespace chart
