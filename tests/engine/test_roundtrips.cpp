// Files the program writes come back as they went: the text and SD-card round trips of electrode
// layouts, swept over lines, surfaces and borehole sections.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"

namespace {
// A layout whose positions the text format carries exactly: spacings and offsets in hundredths
// of a metre. Electrodes are numbered row by row; some inside the grid are left out, but the
// first row and the first column stay whole, so that the spacings and the offsets can be seen.
struct TLayout {
    TGridType type;
    int nx, ny;
    int dx, dy, offsetX, offsetY;  // hundredths of a metre
    std::vector<bool> placed;      // by electrode number

    std::string Describe() const {
        static const char* names[] = {"line", "surface", "borehole"};
        return std::string(names[type]) + " " + std::to_string(nx) + "x" + std::to_string(ny) + " spacing " +
               std::to_string(dx) + "/" + std::to_string(dy) + " offset " + std::to_string(offsetX) + "/" +
               std::to_string(offsetY) + " (hundredths)";
    }
};

// SplitMix64: the same layouts on every platform.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : State(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (State += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Between(int lo, int hi) { return lo + static_cast<int>(Next() % std::uint64_t(hi - lo + 1)); }

private:
    std::uint64_t State;
};

TLayout RandomLayout(TRandom& r, TGridType type) {
    TLayout l{type, 1, 1, 0, 100, 0, 0, {}};
    switch (type) {
        case gtLine:
            l.nx = r.Between(0, 3) == 0 ? r.Between(2, kMaxElectrodes - 1) : r.Between(2, 120);
            break;
        case gtSurface:
            l.nx = r.Between(2, 48);
            l.ny = r.Between(2, std::min(48, (kMaxElectrodes - 1) / l.nx));
            break;
        case gtBorehole:
            l.nx = r.Between(1, 8);
            l.ny = r.Between(2, std::min(kMaxGridRows, (kMaxElectrodes - 1) / l.nx));
            break;
    }
    // Offsets of a few metres as often as far ones, where single precision holds fewer decimals.
    auto offset = [&r] { return r.Between(0, 1) ? r.Between(0, 1000) : r.Between(-50000, 50000); };
    l.dx = r.Between(10, 1000);
    l.offsetX = offset();
    if (type == gtSurface) {
        l.dy = r.Between(10, 1000);
        l.offsetY = offset();
    } else if (type == gtBorehole) {
        l.dy = r.Between(10, 1000);
        l.offsetY = r.Between(0, 3000);  // depth of the first row
    }
    l.placed.assign(kMaxElectrodes, false);
    for (int iy = 1; iy <= l.ny; ++iy)
        for (int ix = 1; ix <= l.nx; ++ix) l.placed[(iy - 1) * l.nx + ix] = iy == 1 || ix == 1 || r.Between(0, 9) != 0;
    return l;
}

std::unique_ptr<TElectSequence> Place(const TLayout& l) {
    auto s = NewSequence();
    PlaceGrid(*s, l.type, l.nx, l.ny, l.dx / 100.0f, l.dy / 100.0f, l.offsetX / 100.0f, l.offsetY / 100.0f);
    TElectGrid& g = s->Grid;
    g.ElectrodeCount = 0;
    for (int k = 1; k <= l.nx * l.ny; ++k) {
        if (!l.placed[k]) g.Nodes[k].Used = 0;
        g.ElectrodeCount += g.Nodes[k].Used;
    }
    s->ComputeElectrodePositions();
    // A few quadripoles, so that the files are whole sequences.
    for (std::uint32_t k = 1; k + 3 <= std::uint32_t(l.nx * l.ny) && k <= 12; ++k)
        AddQuadripole(*s, {k, k + 1, k + 2, k + 3});
    return s;
}

// "" when every electrode of `from` stands on the same node of `to`, within 1e-4 m of where it
// stood (positions checked only when asked: the SD-card import keeps the file's).
std::string Compare(const TElectSequence& from, const TElectSequence& to, bool positions) {
    const TElectGrid &a = from.Grid, &b = to.Grid;
    if (b.GridType != a.GridType) return "grid type " + std::to_string(b.GridType);
    if (b.NX != a.NX || b.NY != a.NY) return "grid " + std::to_string(b.NX) + "x" + std::to_string(b.NY);
    for (int k = 0; k < kMaxElectrodes; ++k) {
        const bool used = a.Nodes[k].Used == 1;
        if ((b.Nodes[k].Used == 1) != used) return "electrode " + std::to_string(k) + " placed or not";
        if (!used) continue;
        if (b.Nodes[k].IX != a.Nodes[k].IX || b.Nodes[k].IY != a.Nodes[k].IY)
            return "electrode " + std::to_string(k) + " on node " + std::to_string(b.Nodes[k].IX) + "," +
                   std::to_string(b.Nodes[k].IY) + " instead of " + std::to_string(a.Nodes[k].IX) + "," +
                   std::to_string(a.Nodes[k].IY);
        const TElectrodeXYZ &p = from.Device.Electrodes[k], &q = to.Device.Electrodes[k];
        if (positions && (std::fabs(double(p.X) - q.X) > 1e-4 || std::fabs(double(p.Y) - q.Y) > 1e-4 ||
                          std::fabs(double(p.Z) - q.Z) > 1e-4))
            return "electrode " + std::to_string(k) + " moved";
    }
    return "";
}
}  // namespace

class RoundTrip : public FileFixture {};

TEST_F(RoundTrip, TextAndSdCardKeepEveryElectrodeOnItsNode) {
    constexpr int kLayoutsPerType = 300;
    TRandom random(20260611);
    std::vector<std::string> failures;
    auto fail = [&](const char* file, const TLayout& l, const std::string& what) {
        failures.push_back(std::string(file) + ": " + l.Describe() + ": " + what);
    };
    for (TGridType type : {gtLine, gtSurface, gtBorehole})
        for (int i = 0; i < kLayoutsPerType; ++i) {
            const TLayout l = RandomLayout(random, type);
            auto s = Place(l);

            ASSERT_TRUE(s->ExportTextFile(Path("layout.txt"), "\t"));
            auto t = NewSequence();
            if (!t->ImportTextFile(Path("layout.txt")))
                fail("text", l, "refused");
            else if (const std::string why = Compare(*s, *t, true); !why.empty())
                fail("text", l, why);

            ASSERT_TRUE(s->SaveToSdCard(Path("layout.sqz")));
            std::string name = Path("layout.sds");
            auto d = NewSequence();
            if (!d->ImportSdCardFile(name))
                fail("SD card", l, "refused");
            else if (const std::string why = Compare(*s, *d, false); !why.empty())
                fail("SD card", l, why);
        }
    EXPECT_EQ(host.Messages, std::vector<std::string>{});
    EXPECT_EQ(failures.size(), 0u) << "the first: " << (failures.empty() ? "" : failures.front());
}

namespace {
// The grid as the layout editor leaves it when no cell holds an electrode number.
void EmptyGrid(TElectSequence& s) {
    TElectGrid& g = s.Grid;
    g.ElectrodeCount = 0;
    g.FirstElectrode = 10000;
    g.LastElectrode = 0;
    g.Duplicates = 0;
    for (TElectGridNode& n : g.Nodes) n.Used = 0;
}

// Positions, the generator of the array with the default cells, optimisation and polarisation
// deletion, as the compute command runs them.
void Compute(TElectSequence& s, int arrayType) {
    s.SetArrayType(arrayType);
    s.AutoGridDepthLevel();
    s.ComputeElectrodePositions();
    s.ComputeSequence(false, false);
    s.MultiChannelOptimization();
    s.DelPolarEffect();
}
}  // namespace

TEST_F(RoundTrip, EverySavedStateOpensAgain) {
    struct Case {
        const char* what;
        std::function<void(TElectSequence&)> make;
    };
    const Case cases[] = {
        {"new", [](TElectSequence&) {}},
        {"empty grid", [](TElectSequence& s) { EmptyGrid(s); }},
        {"computed line",
         [](TElectSequence& s) {
             PlaceGrid(s, gtLine, 24, 1, 2.5f);
             Compute(s, 1);
         }},
        {"computed surface",
         [](TElectSequence& s) {
             PlaceGrid(s, gtSurface, 8, 6, 2.0f, 3.0f, 1.0f, -4.0f);
             Compute(s, 12);
         }},
        {"computed borehole",
         [](TElectSequence& s) {
             PlaceGrid(s, gtBorehole, 2, 16, 5.0f, 1.0f, 0.0f, 1.5f);
             Compute(s, 1);
         }},
        {"rolled along",
         [](TElectSequence& s) {
             PlaceGrid(s, gtLine, 32, 1, 5.0f);
             Compute(s, 3);
             s.MoveSequence(9, 1);
         }},
        {"cleared after computing",
         [](TElectSequence& s) {
             PlaceGrid(s, gtLine, 24, 1, 2.5f);
             Compute(s, 1);
             EmptyGrid(s);
             s.NeedsRecompute = 1;
         }},
        {"computed on an empty grid",
         [](TElectSequence& s) {
             EmptyGrid(s);
             Compute(s, 1);
         }},
        {"a number on two nodes",
         [](TElectSequence& s) {
             PlaceGrid(s, gtLine, 12, 1, 1.0f);
             s.Grid.Nodes[5] = TElectGridNode{2, 0, 0};
             s.Grid.Duplicates = 1;
         }},
    };
    for (const Case& c : cases) {
        host.Messages.clear();
        auto s = NewSequence();
        c.make(*s);
        const std::string path = Path("state.sqz");
        ASSERT_TRUE(s->SaveToFile(path)) << c.what;
        std::unique_ptr<TElectSequence> listed;
        EXPECT_NO_THROW(listed = std::make_unique<TElectSequence>(path)) << c.what;
        if (listed) {
            EXPECT_TRUE(SameBytes(*listed, *s, sizeof(s->FileName))) << c.what;
        }
        auto opened = NewSequence();
        EXPECT_TRUE(opened->LoadFromFile(path)) << c.what;
        EXPECT_TRUE(SameBytes(*opened, *s, sizeof(s->FileName))) << c.what;
        EXPECT_EQ(host.Messages, std::vector<std::string>{}) << c.what;
    }

    // The imports save their result themselves.
    auto computed = NewSequence();
    PlaceGrid(*computed, gtSurface, 6, 5, 1.5f, 2.5f);
    Compute(*computed, 1);
    ASSERT_TRUE(computed->ExportTextFile(Path("imported.txt"), ","));
    ASSERT_TRUE(computed->SaveToSdCard(Path("imported.sqz")));
    auto text = NewSequence();
    ASSERT_TRUE(text->ImportTextFile(Path("imported.txt")));
    std::string name = Path("imported.sds");
    auto card = NewSequence();
    ASSERT_TRUE(card->ImportSdCardFile(name));
    for (const TElectSequence* imported : {text.get(), card.get()}) {
        std::unique_ptr<TElectSequence> listed;
        ASSERT_NO_THROW(listed = std::make_unique<TElectSequence>(imported->FileName));
        EXPECT_TRUE(SameBytes(*listed, *imported)) << imported->FileName;
    }
    EXPECT_EQ(host.Messages, std::vector<std::string>{});
}
