#include "Fileimport.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

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

bool ReplaceFileContents(const std::string& target, const void* data, std::size_t size) {
    namespace fs = std::filesystem;
    static std::atomic<unsigned> serial{0};
    const fs::path path(target);
    if (path.filename().empty()) return false;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return false;
    fs::path temp;
    std::FILE* f = nullptr;
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        temp = path;
        temp.replace_filename("." + path.filename().string() + "." + std::to_string(::getpid()) + "-" +
                              std::to_string(serial++) + ".part");
        f = std::fopen(temp.c_str(), "wbx");
    }
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        // The replacement keeps the permissions of the file it replaces.
        const auto st = fs::status(path, ec);
        if (!ec && fs::is_regular_file(st)) fs::permissions(temp, st.permissions(), ec);
        ec.clear();
        fs::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(temp, ec);
    return ok;
}

namespace {
// Node counts and indices truncate toward zero; a ratio beyond any grid (or not a number, from
// a damaged file) must not overflow the conversion.
std::int32_t NodeCount(long double r) {
    if (std::isnan(r)) return 0;
    r = std::fmin(std::fmax(r, -1e9L), 1e9L);
    return static_cast<std::int32_t>(std::trunc(r));
}
}  // namespace

std::string InferGrid(TElectSequence& s, TGridTypeRule rule) {
    TElectGrid& g = s.Grid;
    const TElectrodeXYZ* el = s.Device.Electrodes;
    const int first = std::max(g.FirstElectrode, 0);
    const int last = std::min(g.LastElectrode, kMaxElectrodes - 1);
    auto placed = [&](int k) { return g.Nodes[k].Used == 1; };

    long double minX = 1e34L, minY = 1e34L, minZ = 1e34L;
    long double maxX = -1e34L, maxY = -1e34L, maxZ = -1e34L;
    long double sumY = 0, sumZ = 0;
    for (int k = first; k <= last; ++k) {
        if (!placed(k)) continue;
        const long double x = el[k].X, y = el[k].Y, z = el[k].Z;
        minX = std::fmin(minX, x), maxX = std::fmax(maxX, x);
        minY = std::fmin(minY, y), maxY = std::fmax(maxY, y);
        minZ = std::fmin(minZ, z), maxZ = std::fmax(maxZ, z);
        sumY += std::fabs(y);
        sumZ += std::fabs(z);
    }

    g.OffsetX = static_cast<float>(minX);
    const bool boreholeRule = rule == TGridTypeRule::TextFile ? sumZ > 0.01L && sumY != 0.01L
                                                              : sumZ > 0.01L && sumY < 0.01L;
    if (sumY > 0.01L && sumZ < 0.01L) {
        g.GridType = gtSurface;
        g.OffsetY = static_cast<float>(minY);
    } else if (boreholeRule) {
        g.GridType = gtBorehole;
        g.OffsetY = static_cast<float>(minZ);
    }
    const bool surface = g.GridType == gtSurface, borehole = g.GridType == gtBorehole;

    // The smallest distance above a millimetre between two electrodes along each axis.
    g.DX = g.DY = 1e34f;
    for (int i = first; i < last; ++i) {
        if (!placed(i)) continue;
        for (int j = i + 1; j <= last; ++j) {
            if (!placed(j)) continue;
            const long double dx = std::fabs(static_cast<long double>(el[i].X) - el[j].X);
            if (dx < g.DX && dx > 0.001L) g.DX = static_cast<float>(dx);
            if (surface || borehole) {
                const long double dy = surface ? std::fabs(static_cast<long double>(el[i].Y) - el[j].Y)
                                               : std::fabs(static_cast<long double>(el[i].Z) - el[j].Z);
                if (dy < g.DY && dy > 0.001L) g.DY = static_cast<float>(dy);
            }
        }
    }
    if (!surface && !borehole) g.DY = 1.0f;

    g.NX = NodeCount((maxX - minX) / g.DX) + 1;
    g.NY = NodeCount(((surface ? maxY : maxZ) - g.OffsetY) / g.DY) + 1;
    // A line has one row; elevations can make the count above fall off the node map.
    if (!surface && !borehole && (g.NY < 1 || g.NY > kMaxGridRows)) g.NY = 1;
    for (int k = first; k <= last; ++k) {
        if (!placed(k)) continue;
        TElectGridNode& node = g.Nodes[k];
        node.IX = NodeCount((static_cast<long double>(el[k].X) - g.OffsetX) / g.DX) + 1;
        if (surface)
            node.IY = NodeCount((static_cast<long double>(el[k].Y) - g.OffsetY) / g.DY) + 1;
        else if (borehole)
            node.IY = NodeCount((static_cast<long double>(el[k].Z) - g.OffsetY) / g.DY) + 1;
        else
            node.IY = 1;
    }
    if (g.NX < 1 || g.NX > kMaxGridColumns || g.NY < 1 || g.NY > kMaxGridRows)
        return "the electrodes need a grid of " + std::to_string(g.NX) + " columns by " + std::to_string(g.NY) +
               " rows; at most " + std::to_string(kMaxGridColumns) + " by " + std::to_string(kMaxGridRows) +
               " fit";
    return "";
}
