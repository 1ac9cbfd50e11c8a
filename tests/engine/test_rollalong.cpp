#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/engine/SequenceBuilders.h"

namespace {
std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

std::unique_ptr<TElectSequence> WithList(TGridType type, int nx, int ny, const std::vector<Abmn>& list) {
    auto s = NewSequence();
    PlaceGrid(*s, type, nx, ny, 5.0f, 2.0f);
    for (const Abmn& q : list) AddQuadripole(*s, q);
    return s;
}

// The cut done literally: one deletion per quadripole wholly in the overlap.
void PlainMoveSequence(TElectSequence& s, int shiftX, int shiftY) {
    const float limitX = shiftX >= 2 ? (s.Grid.NX - shiftX + 1) * s.Grid.DX + s.Grid.OffsetX : 1e32f;
    const float limitY = shiftY >= 2 ? (s.Grid.NY - shiftY + 1) * s.Grid.DY + s.Grid.OffsetY : 1e32f;
    for (int q = 0; q <= s.Device.LastQuadripole;) {
        std::uint32_t abmn[4];
        s.GetQuadripole(q, abmn);
        bool keep = false;
        for (std::uint32_t e : abmn) {
            const TElectrodeXYZ& p = s.Device.Electrodes[e];
            if (e != 0 && !(p.X < limitX && p.Y < limitY)) keep = true;
        }
        if (keep)
            ++q;
        else
            s.DeleteQuadripole(q);
    }
    s.CountMeasurements();
}
}  // namespace

TEST(RollAlong, LineOf48ColumnsShiftedBy11) {
    auto s = WithList(gtLine, 48, 1,
                      {{1, 2, 3, 4},
                       {36, 37, 38, 39},
                       {35, 36, 37, 38},
                       {39, 40, 41, 42},
                       {0, 10, 20, 0},
                       {0, 0, 0, 0},
                       {0, 39, 0, 0},
                       {48, 1, 2, 3}});
    s->MeasurementCycles = 0;
    s->MoveSequence(11, 1);
    // Columns 1..38 were covered by the previous spread; column 39 or later keeps a quadripole.
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{36, 37, 38, 39}, {39, 40, 41, 42}, {0, 39, 0, 0}, {48, 1, 2, 3}}));
    EXPECT_EQ(s->MeasurementCycles, 4);  // recounted
}

TEST(RollAlong, NoShiftDeletesEveryQuadripole) {
    for (const auto& [shiftX, shiftY] : {std::pair{1, 1}, std::pair{0, 0}, std::pair{-3, 1}}) {
        auto s = WithList(gtLine, 48, 1, {{1, 2, 3, 4}, {45, 46, 47, 48}, {0, 48, 0, 0}});
        s->MoveSequence(shiftX, shiftY);
        EXPECT_EQ(s->QuadripoleCount(), 0) << shiftX << " " << shiftY;
    }
}

TEST(RollAlong, SurfaceShiftAlongY) {
    // 6 x 6 electrodes, numbered row by row; rows 5 and 6 lie beyond the overlap of a shift of 3.
    auto e = [](int ix, int iy) { return static_cast<std::uint32_t>((iy - 1) * 6 + ix); };
    const std::vector<Abmn> list = {{e(1, 1), e(2, 1), e(3, 1), e(4, 1)},
                                    {e(1, 4), e(2, 4), e(3, 4), e(4, 4)},
                                    {e(1, 4), e(1, 5), e(1, 6), 0},
                                    {e(5, 1), e(6, 1), 0, 0}};
    auto s = WithList(gtSurface, 6, 6, list);
    s->MoveSequence(1, 3);
    EXPECT_EQ(List(*s), (std::vector<Abmn>{list[2]}));

    // Shifted along both: an electrode beyond the overlap in either direction keeps it.
    auto t = WithList(gtSurface, 6, 6, list);
    t->MoveSequence(3, 3);
    EXPECT_EQ(List(*t), (std::vector<Abmn>{list[2], list[3]}));
}

TEST(RollAlong, SameResultAsDeletingOneByOne) {
    std::mt19937 rng(48);
    for (int round = 0; round < 20; ++round) {
        auto s = NewSequence();
        PlaceGrid(*s, gtLine, 48, 1, 5.0f);
        const int count = 1 + static_cast<int>(rng() % 300);
        for (int q = 0; q < count; ++q) {
            auto pick = [&] { return static_cast<std::uint32_t>(rng() % 49); };
            AddQuadripole(*s, Abmn{pick(), pick(), pick(), pick()}, 1 + static_cast<int>(rng() % 5), 1);
        }
        auto plain = NewSequence();
        std::memcpy(static_cast<void*>(plain.get()), s.get(), sizeof *s);
        const int shift = 2 + static_cast<int>(rng() % 20);
        s->MoveSequence(shift, 1);
        PlainMoveSequence(*plain, shift, 1);
        ASSERT_TRUE(SameBytes(*s, *plain)) << "round " << round << ", shift " << shift;
    }
}
