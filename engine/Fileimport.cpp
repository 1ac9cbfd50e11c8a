#include "engine/Fileimport.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
    const std::size_t slash = name.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < start) return name + ext;
    return name.substr(0, dot) + ext;
}

std::string ExtractFileName(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string LowerCaseExt(const std::string& name) {
    const std::string file = ExtractFileName(name);
    const std::size_t dot = file.rfind('.');
    std::string ext = dot == std::string::npos ? std::string() : file.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

namespace {
// Node counts and indices; a ratio beyond any grid (or not a number, from a damaged file) must
// not overflow the conversion.
std::int32_t NodeCount(long double r) {
    if (std::isnan(r)) return 0;
    r = std::fmin(std::fmax(r, -1e9L), 1e9L);
    return static_cast<std::int32_t>(std::trunc(r));
}

constexpr float kNoSpacing = 1e34f;        // one node along the axis: no spacing to infer
constexpr long double kSameNode = 0.001L;  // coordinates closer than this share a node
constexpr long double kTextStep = 0.01L;   // the text file holds coordinates in hundredths
constexpr long double kOnNode = 2e-4L;     // how far a coordinate may stand off a typed grid

// The gap between a coordinate and its neighbours in single precision.
long double Ulp(long double v) {
    const float f = std::fabs(static_cast<float>(v));
    return static_cast<long double>(std::nextafter(f, std::numeric_limits<float>::infinity())) - f;
}

struct TAxis {
    long double Offset;  // the smallest coordinate: node 1
    float Spacing;
};

// Offset and spacing of one axis from the coordinates of the placed electrodes. The smallest gap
// only starts the estimate: each electrode from the near end to the far one takes the nearest
// node for the spacing seen so far, and its distance from the first node over that node count
// gives a better spacing, so that the far end of a long line lands on its node too. A spacing in
// whole hundredths that keeps every electrode on its node is the one that was typed, since the
// text file rounds coordinates to hundredths.
TAxis InferAxis(std::vector<long double> values) {
    std::sort(values.begin(), values.end());
    std::vector<long double> distinct;
    for (long double v : values)
        if (distinct.empty() || v - distinct.back() > kSameNode) distinct.push_back(v);
    const long double offset = distinct.empty() ? 0 : distinct.front();
    if (distinct.size() < 2) return {offset, kNoSpacing};

    long double spacing = std::numeric_limits<long double>::max();
    for (std::size_t i = 1; i < distinct.size(); ++i) spacing = std::min(spacing, distinct[i] - distinct[i - 1]);
    for (std::size_t i = 1; i < distinct.size(); ++i) {
        const long double node = std::round((distinct[i] - offset) / spacing);
        if (node >= 1) spacing = (distinct[i] - offset) / node;
    }

    const long double typed = std::round(spacing / kTextStep) * kTextStep;
    auto onTypedGrid = [&](long double v) {
        const long double d = v - offset;
        return std::fabs(d - std::round(d / typed) * typed) <= kOnNode + Ulp(v) + Ulp(offset);
    };
    if (typed > 0 && std::all_of(distinct.begin(), distinct.end(), onTypedGrid)) spacing = typed;
    // Coordinates at both ends of the single-precision range have a gap it cannot hold.
    constexpr long double kWidest = std::numeric_limits<float>::max();
    return {offset, static_cast<float>(std::min(spacing, kWidest))};
}

// 1-based node of coordinate v: the nearest one.
std::int32_t NearestNode(long double v, const TAxis& axis) {
    return NodeCount(std::round((v - axis.Offset) / axis.Spacing)) + 1;
}
}  // namespace

std::string InferGrid(TElectSequence& s, TGridTypeRule rule) {
    TElectGrid& g = s.Grid;
    const TElectrodeXYZ* el = s.Device.Electrodes;
    const int first = std::max(g.FirstElectrode, 0);
    const int last = std::min(g.LastElectrode, kMaxElectrodes - 1);
    auto placed = [&](int k) { return g.Nodes[k].Used == 1; };

    long double maxZ = -1e34L;
    long double sumY = 0, sumZ = 0;
    std::vector<long double> xs, ys, zs;
    for (int k = first; k <= last; ++k) {
        if (!placed(k)) continue;
        xs.push_back(el[k].X);
        ys.push_back(el[k].Y);
        zs.push_back(el[k].Z);
        maxZ = std::fmax(maxZ, el[k].Z);
        sumY += std::fabs(el[k].Y);
        sumZ += std::fabs(el[k].Z);
    }
    if (xs.empty()) return "there are no electrodes";

    const bool boreholeRule = rule == TGridTypeRule::TextFile ? sumZ > 0.01L && sumY != 0.01L
                                                              : sumZ > 0.01L && sumY < 0.01L;
    if (sumY > 0.01L && sumZ < 0.01L)
        g.GridType = gtSurface;
    else if (boreholeRule)
        g.GridType = gtBorehole;
    const bool surface = g.GridType == gtSurface, borehole = g.GridType == gtBorehole;

    const TAxis across = InferAxis(xs);
    g.OffsetX = static_cast<float>(across.Offset);
    g.DX = across.Spacing;
    g.NX = NearestNode(*std::max_element(xs.begin(), xs.end()), across);
    if (surface || borehole) {
        const std::vector<long double>& along = surface ? ys : zs;
        const TAxis down = InferAxis(along);
        g.OffsetY = static_cast<float>(down.Offset);
        g.DY = down.Spacing;
        g.NY = NearestNode(*std::max_element(along.begin(), along.end()), down);
    } else {
        // A line has one row; its elevations, where an import stored some, count no rows unless
        // they fit on the node map.
        g.DY = 1.0f;
        g.NY = NodeCount((maxZ - g.OffsetY) / g.DY) + 1;
        if (g.NY < 1 || g.NY > kMaxGridRows) g.NY = 1;
    }

    const TAxis x{g.OffsetX, g.DX}, y{g.OffsetY, g.DY};
    for (int k = first; k <= last; ++k) {
        if (!placed(k)) continue;
        TElectGridNode& node = g.Nodes[k];
        node.IX = NearestNode(el[k].X, x);
        node.IY = surface ? NearestNode(el[k].Y, y) : borehole ? NearestNode(el[k].Z, y) : 1;
    }
    if (g.NX < 1 || g.NX > kMaxGridColumns || g.NY < 1 || g.NY > kMaxGridRows)
        return "the electrodes need a grid of " + std::to_string(g.NX) + " columns by " + std::to_string(g.NY) +
               " rows; at most " + std::to_string(kMaxGridColumns) + " by " + std::to_string(kMaxGridRows) +
               " fit";
    return "";
}
