#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "tests/engine/SequenceBuilders.h"

namespace {
long double DD(long double r) { return (-0.0018333L * r + 0.27642L) * r + 0.1416933L; }
long double PD(long double r) { return (-0.000915179L * r + 0.397614583L) * r + 0.127613095L; }

std::unique_ptr<TElectSequence> Line(int count, float dx = 1.0f) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, count, 1, dx);
    return s;
}

std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(s.QuadripoleCount());
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

std::vector<std::uint16_t> Numbers(const TElectSequence& s) {
    std::vector<std::uint16_t> out;
    for (int q = 0; q < s.QuadripoleCount(); ++q) out.push_back(s.QuadInfo[q].Number);
    return out;
}
}  // namespace

TEST(QuadripoleList, InsertDeleteMoveKeepInfoAlongside) {
    auto s = Line(20);
    for (std::uint16_t k = 1; k <= 4; ++k)
        s->InsertQuadripole(s->QuadripoleCount(), Abmn{k, k + 1u, k + 2u, k + 3u}.data(), 1, 1, 1, k);
    s->Device.FirstQuadripole = 3;
    s->InsertQuadripole(0, Abmn{9, 10, 11, 12}.data(), 1, 1, 1, 50);
    s->InsertQuadripole(2, Abmn{13, 14, 15, 16}.data(), 1, 1, 1, 60);
    EXPECT_EQ(s->Device.FirstQuadripole, 0);
    EXPECT_EQ(Numbers(*s), (std::vector<std::uint16_t>{50, 1, 60, 2, 3, 4}));
    EXPECT_EQ(List(*s)[2], (Abmn{13, 14, 15, 16}));

    s->MoveQuadripole(1, 4);  // entry 4 (number 3) to place 1
    EXPECT_EQ(Numbers(*s), (std::vector<std::uint16_t>{50, 3, 1, 60, 2, 4}));
    EXPECT_EQ(List(*s)[1], (Abmn{3, 4, 5, 6}));
    s->MoveQuadripole(2, 2);
    EXPECT_EQ(Numbers(*s), (std::vector<std::uint16_t>{50, 3, 1, 60, 2, 4}));

    s->DeleteQuadripole(0);
    s->DeleteQuadripole(-1);
    EXPECT_EQ(Numbers(*s), (std::vector<std::uint16_t>{3, 1, 60, 2, 4}));
    // The last entry goes by lowering the count only.
    s->DeleteQuadripole(4);
    EXPECT_EQ(s->QuadripoleCount(), 4);
    EXPECT_EQ(s->Device.Quadripoles[4].A, 4);
    EXPECT_EQ(s->QuadInfo[4].Number, 4);
}

TEST(QuadripoleList, InsertIntoFullListChangesNothing) {
    auto s = Line(20);
    for (int q = 0; q < kMaxQuadripoles; ++q) s->SetQuadripole(q, Abmn{1, 2, 3, 4}.data(), 1, 1, 1, 0);
    s->Device.LastQuadripole = kMaxQuadripoles - 1;
    auto before = std::make_unique<TElectSequence>(*s);
    s->InsertQuadripole(0, Abmn{5, 6, 7, 8}.data(), 1, 1, 1, 0);
    s->InsertQuadripole(kMaxQuadripoles, Abmn{5, 6, 7, 8}.data(), 1, 1, 1, 0);
    EXPECT_TRUE(SameBytes(*s, *before));
}

TEST(QuadripoleList, SwapAndReverseLeaveInfo) {
    auto s = Line(20);
    AddQuadripole(*s, {1, 2, 3, 4});
    AddQuadripole(*s, {5, 0, 7, 8});
    const TQuadripoleInfo info = s->QuadInfo[1];
    s->SwapMN(1);
    EXPECT_EQ(List(*s)[1], (Abmn{5, 0, 8, 7}));
    s->ReverseQuadripoles();
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{3, 4, 1, 2}, {8, 7, 5, 0}}));
    EXPECT_EQ(std::memcmp(&s->QuadInfo[1], &info, sizeof info), 0);
    EXPECT_EQ(s->Device.Quadripoles[2].A, 0);  // past the end: untouched
}

TEST(QuadripoleList, DisplayRecordOfAStoredQuadripole) {
    struct Case {
        std::int32_t n, a;
        std::uint16_t group, number;
        std::int16_t level;
        std::uint16_t coef, wantGroup, wantNumber;
    };
    const Case cases[] = {
        {2, 4, 7, 0, 2, 4, 4, 4},            // generator: group from a, number from q + 1
        {0, -1, 1, 0, 0, 65535, 1, 4},       // text import
        {-1, 0, 9, 12, -1, 0, 9, 12},        // gap filler of the optimisation
    };
    for (const Case& c : cases) {
        auto s = Line(20);
        s->SetQuadripole(3, Abmn{1, 6, 3, 5}.data(), c.n, c.a, c.group, c.number);
        const TQuadripoleInfo& i = s->QuadInfo[3];
        EXPECT_EQ(i.Level, c.level);
        EXPECT_EQ(i.SpacingCoef, c.coef);
        EXPECT_EQ(i.Group, c.wantGroup);
        EXPECT_EQ(i.Number, c.wantNumber);
        EXPECT_EQ(i.X, 2.75f);  // (0 + 5) / 2 and (2 + 4) / 2
        EXPECT_EQ(i.Y, 0.0f);
        // Dipole-dipole rule for generated levels, the generic one below level 1.
        const Abmn q{1, 6, 3, 5};
        EXPECT_EQ(i.Depth, s->GetInvestigationDepth(q.data(), c.n < 1));
        EXPECT_EQ(s->QuadripoleCount(), 0);  // storing does not extend the list
    }
}

TEST(QuadripoleList, MaxNumberAndGroupCompareSigned) {
    auto s = Line(20);
    EXPECT_EQ(s->GetMaxQuadNumber(), 0);
    EXPECT_EQ(s->GetMaxGroup(), 0);
    s->InsertQuadripole(0, Abmn{1, 2, 3, 4}.data(), 1, 0, 3, 7);
    s->InsertQuadripole(1, Abmn{1, 2, 3, 4}.data(), 1, 0, 0x8000, 0x9000);
    s->InsertQuadripole(2, Abmn{1, 2, 3, 4}.data(), 1, 0, 2, 5);
    EXPECT_EQ(s->GetMaxQuadNumber(), 7);
    EXPECT_EQ(s->GetMaxGroup(), 3);
}

TEST(PseudoPosition, PresentElectrodesOnly) {
    auto s = NewSequence();
    PlaceGrid(*s, gtSurface, 10, 10, 1.0f, 2.0f);
    struct Case {
        Abmn q;
        long double x, y;
    };
    const Case cases[] = {
        {{1, 4, 2, 3}, 1.5L, 0},                       // centre of a symmetric spread
        {{1, 0, 3, 5}, (0 + (2 + 4) / 2.0L) / 2, 0},   // one current electrode gives its own X
        {{0, 0, 3, 6}, 3.5L / 2, 0},                   // none gives 0
        {{1, 2, 0, 0}, 0.25L, 0},
        {{1, 0, 21, 0}, 0, 2},                         // rows: Y = 2 x (IY - 1)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s->GetPseudoX(c.q.data()), c.x);
        EXPECT_EQ(s->GetPseudoY(c.q.data()), c.y);
        EXPECT_EQ(s->GetPseudoZ(c.q.data()), 0.0L);
    }
}

TEST(InvestigationDepth, RuleOfEachArrayType) {
    // On a unit line, A = 0, B = 5, M = 2, N = 4: AM 2, BM 3, AN 4, BN 1, MN 2, AB 5.
    const Abmn spread{1, 6, 3, 5};
    const long double generic = 0.19L * 5;  // largest distance AB, not above 10 x Dmin
    struct Case {
        int type;
        long double depth;
    };
    const Case cases[] = {
        {1, DD(1) * 2},  {12, DD(1) * 2},                 // min(AM, BM) / MN, not Dmin
        {3, PD(0.5) * 2}, {4, PD(0.5) * 2}, {6, PD(0.5) * 2}, {11, PD(0.5) * 2}, {13, PD(0.5) * 2},
        {14, PD(0.5) * 2},
        {5, 0.519L},                                       // Dmin = BN
        {7, PD(static_cast<float>(1 / 5.0L)) * 5},         // Dmin / AB
        {9, 0.867L}, {10, 0.867L},
        {0, generic}, {2, generic}, {8, generic}, {15, generic}, {-1, generic},
    };
    for (const Case& c : cases) {
        auto s = Line(30);
        s->Grid.ArrayType = c.type;
        EXPECT_EQ(Bits(s->GetInvestigationDepth(spread.data(), false)), Bits(static_cast<float>(c.depth)))
            << "type " << c.type;
        EXPECT_EQ(Bits(s->GetInvestigationDepth(spread.data(), true)), Bits(static_cast<float>(generic)));
    }
    auto s = Line(30);
    s->Grid.ArrayType = 1;
    EXPECT_NEAR(s->GetInvestigationDepth(spread.data(), false), 0.83256, 1e-6);
    // Dmin skips zero distances: M on A leaves AN = 2 as the smallest.
    s->Grid.ArrayType = 5;
    EXPECT_EQ(s->GetInvestigationDepth(Abmn{1, 6, 1, 3}.data(), false), static_cast<float>(0.519L * 2));
}

TEST(InvestigationDepth, GenericRule) {
    // Electrode 0 stands at the far unused-node position of entry 0.
    struct Case {
        const char* what;
        Abmn q;
        long double depth;
    };
    const Case cases[] = {
        {"pole-pole: both far electrodes remote", {1, 0, 2, 0}, 0.867L},
        {"pole-dipole: far B, short MN", {1, 0, 4, 5}, PD(3)},
        {"largest distance", {1, 6, 3, 5}, 0.19L * 5},
        {"largest distance above 10 x Dmin", {1, 13, 2, 3}, 0.19L * 1},
        {"gradient: AB = 0 compares MN", {0, 0, 2, 3}, 0.19L * 1},
    };
    for (const Case& c : cases) {
        auto s = Line(30);
        s->Grid.ArrayType = 1;
        EXPECT_EQ(Bits(s->GetInvestigationDepth(c.q.data(), true)), Bits(static_cast<float>(c.depth))) << c.what;
    }
    auto s = Line(30);
    EXPECT_NEAR(s->GetInvestigationDepth(Abmn{1, 0, 4, 5}.data(), true), 1.3122202, 1e-6);
}

TEST(InvestigationDepth, ZeroLengthDipoleHasDepthZero) {
    // M = N (an imported quadripole) or a zero spacing typed in the layout: the rules that scale
    // by MN or AB store 0 where that length is 0, never a NaN.
    struct Case {
        const char* what;
        float dx;
        Abmn q;
        int type;  // -1: the generic rule of an imported quadripole
        bool zero;
    };
    const Case cases[] = {
        {"M = N, dipole-dipole", 1, {1, 2, 5, 5}, 1, true},
        {"M = N, cross-diagonal dipole-dipole", 1, {1, 2, 5, 5}, 12, true},
        {"M = N, pole-dipole", 1, {1, 0, 5, 5}, 3, true},
        {"M = N, imported", 1, {1, 2, 5, 5}, -1, false},
        {"M = N, imported, B far away", 1, {1, 40, 2, 2}, -1, true},
        {"A = B, WS reciprocal", 1, {4, 4, 2, 7}, 7, true},
        {"zero spacing, dipole-dipole", 0, {1, 2, 3, 4}, 1, true},
        {"zero spacing, pole-dipole", 0, {1, 0, 3, 4}, 4, true},
        {"zero spacing, WS reciprocal", 0, {1, 4, 2, 3}, 7, true},
        {"zero spacing, imported", 0, {1, 2, 3, 4}, -1, true},
    };
    for (const Case& c : cases) {
        auto s = Line(40, c.dx);
        s->Grid.ArrayType = std::max(c.type, 0);
        s->SetQuadripole(0, c.q.data(), c.type < 0 ? 0 : 1, c.type < 0 ? -1 : 1, 1, 0);
        EXPECT_TRUE(std::isfinite(s->QuadInfo[0].Depth)) << c.what;
        if (c.zero) {
            EXPECT_EQ(s->QuadInfo[0].Depth, 0.0f) << c.what;
        }
    }
}

TEST(InvestigationDepth, BoreholeUsesDepthAndSignedDisplay) {
    auto s = NewSequence();
    PlaceGrid(*s, gtBorehole, 4, 3, 5.0f, 2.0f);  // row 2 holds electrodes 5..8 at Z = 2
    s->Grid.ArrayType = 1;                         // borehole dipole-dipole diagonal
    const Abmn level{5, 6, 7, 8};
    // The dipole-dipole rule on X and Z: AM 10, BM 5, MN 5.
    EXPECT_EQ(Bits(s->GetInvestigationDepth(level.data(), false)), Bits(static_cast<float>(DD(1) * 5)));
    s->SetQuadripole(0, level.data(), 1, 1, 1, 0);
    EXPECT_EQ(s->QuadInfo[0].Depth, -s->GetInvestigationDepth(level.data(), false));
    EXPECT_EQ(s->QuadInfo[0].X, 7.5f);
    EXPECT_EQ(s->QuadInfo[0].Y, 0.0f);

    const Abmn slanted{1, 6, 11, 4};  // Z 0, 2, 4, 0
    s->SetQuadripole(1, slanted.data(), 1, 1, 1, 0);
    EXPECT_EQ(s->QuadInfo[1].Depth, -1.5f);

    // Along a single borehole only Z separates the electrodes.
    PlaceGrid(*s, gtBorehole, 1, 10, 5.0f, 1.0f);
    EXPECT_EQ(Bits(s->GetInvestigationDepth(Abmn{1, 2, 4, 5}.data(), false)), Bits(static_cast<float>(DD(2))));
}

TEST(MultiChannel, ChainsAndCycles) {
    struct Case {
        const char* what;
        std::vector<Abmn> list;
        int channels, cycles, longest;
    };
    const Case cases[] = {
        {"N back on an earlier M", {{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 3}}, 10, 2, 2},
        {"channel limit", {{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 6}, {1, 2, 6, 7}}, 3, 2, 3},
        {"whole chain", {{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 6}, {1, 2, 6, 7}}, 10, 1, 4},
        {"new injection", {{1, 2, 3, 4}, {1, 3, 4, 5}, {2, 2, 5, 6}}, 10, 3, 1},
        {"M must follow N", {{1, 2, 3, 4}, {1, 2, 5, 6}}, 10, 2, 1},
        {"remote N never breaks", {{1, 2, 0, 3}, {1, 2, 3, 0}}, 10, 1, 2},
        {"single", {{1, 2, 3, 4}}, 10, 1, 1},
        {"empty", {}, 10, 1, 1},
    };
    for (const Case& c : cases) {
        auto s = Line(20);
        for (const Abmn& q : c.list) AddQuadripole(*s, q);
        s->Device.Channels = c.channels;
        s->SpacingLevels[1].SelectedCount = 3;
        s->SpacingLevels[4].SelectedCount = 2;
        s->CountMeasurements();
        EXPECT_EQ(s->MeasurementCycles, c.cycles) << c.what;
        EXPECT_EQ(s->MaxChannelUsed, c.longest) << c.what;
        EXPECT_EQ(s->Device.SpacingLevelTotal, 5);
    }
}

TEST(MultiChannel, GroupSizeFromAnEntry) {
    auto s = Line(20);
    for (const Abmn& q : {Abmn{1, 2, 3, 4}, Abmn{1, 2, 4, 5}, Abmn{1, 2, 5, 6}, Abmn{1, 2, 6, 7}, Abmn{8, 9, 1, 2}})
        AddQuadripole(*s, q);
    EXPECT_EQ(s->GetChannelGroupSize(0), 4);
    EXPECT_EQ(s->GetChannelGroupSize(1), 3);
    EXPECT_EQ(s->GetChannelGroupSize(4), 1);
    s->Device.Channels = 3;
    EXPECT_EQ(s->GetChannelGroupSize(0), 3);
    s->SetArrayType(5);  // single-channel array: the check lowers the channels to 1
    EXPECT_EQ(s->GetChannelGroupSize(0), 1);
}

TEST(GeometricFactor, TextbookLayouts) {
    const TElectrodeXYZ none[4] = {{kNoElectrode, 0, 0}, {kNoElectrode, 0, 0}, {kNoElectrode, 0, 0},
                                   {kNoElectrode, 0, 0}};
    const long double pi = std::numbers::pi_v<long double>;
    for (float a : {1.0f, 5.0f, 2.5f}) {
        auto s = Line(40, a);
        // Inverse distances are held in single precision, hence the tolerance.
        // Wenner A M N B.
        AddQuadripole(*s, {1, 4, 2, 3});
        EXPECT_NEAR(static_cast<double>(s->Device.GetGeometricFactor(0, none) / (2 * pi * a)), 1.0, 1e-5);
        // Dipole-dipole A B, M N at level n: the formula gives K a negative sign here.
        for (int n = 1; n <= 6; ++n) {
            s->SetQuadripole(0, Abmn{1, 2, 2u + n, 3u + n}.data(), n, 1, 1, 0);
            const long double expected = -pi * n * (n + 1) * (n + 2) * a;
            EXPECT_NEAR(static_cast<double>(s->Device.GetGeometricFactor(0, none) / expected), 1.0, 1e-5)
                << "a " << a << " n " << n;
        }
    }
}

TEST(GeometricFactor, ZeroDistancesAndRemoteElectrodes) {
    const TElectrodeXYZ none[4] = {};
    auto s = Line(10, 5.0f);
    struct Case {
        const char* what;
        Abmn q;
        long double k;
    };
    const float fifth = 1.0f / 5.0f, tenth = 1.0f / 10.0f;
    const Case cases[] = {
        {"M on A", {1, 3, 1, 2}, 6.283185307179586L / (-static_cast<long double>(fifth) - tenth + fifth)},
        {"balanced potential dipole", {1, 3, 2, 2}, 1.0L},
        {"all on one point", {1, 1, 1, 1}, 1.0L},
    };
    for (const Case& c : cases) {
        s->SetQuadripole(0, c.q.data(), 1, 1, 1, 0);
        EXPECT_EQ(s->Device.GetGeometricFactor(0, none), c.k) << c.what;
    }

    // Electrode 0 takes the remote position of its own role.
    TElectrodeXYZ remote[4] = {};
    remote[0] = s->Device.Electrodes[1];
    remote[2] = s->Device.Electrodes[5];
    s->SetQuadripole(0, Abmn{1, 2, 5, 7}.data(), 1, 1, 1, 0);
    s->SetQuadripole(1, Abmn{0, 2, 0, 7}.data(), 1, 1, 1, 0);
    const long double k = s->Device.GetGeometricFactor(0, remote);
    EXPECT_EQ(s->Device.GetGeometricFactor(1, remote), k);
    EXPECT_NE(k, 1.0L);
}

// K of every line and surface layout as the program has always given it, bit for bit: electrodes
// at the surface keep the half-space formula with its single-precision inverses.
TEST(GeometricFactor, SurfaceValuesStayBitForBit) {
    const TElectrodeXYZ unset[4] = {{kNoElectrode, 0, 0}, {kNoElectrode, 0, 0}, {kNoElectrode, 0, 0},
                                    {kNoElectrode, 0, 0}};
    const TElectrodeXYZ placed[4] = {{-120.0f, 0, 0}, {650.5f, 3.0f, 0}, {-80.25f, 0, 0}, {410.0f, -7.5f, 0}};
    struct Case {
        const char* what;
        TGridType type;
        int nx, ny;
        float dx, dy, ox, oy;
        Abmn q;
        bool remotesPlaced;
        long double k;
    };
    const Case cases[] = {
        {"line Wenner", gtLine, 48, 1, 5, 1, 0, 0, {1, 4, 2, 3}, false, 0xf.b53d10bd4ceaa6ep+1L},
        {"line dipole-dipole n=3", gtLine, 48, 1, 5, 1, 0, 0, {1, 2, 5, 6}, false, -0xe.b9e91ae0b161fefp+6L},
        {"line dipole-dipole a=2 n=4", gtLine, 48, 1, 5, 1, 0, 0, {10, 12, 20, 22}, false, -0xe.b9e806c2f5da893p+8L},
        {"line Schlumberger", gtLine, 48, 1, 5, 1, 0, 0, {1, 10, 5, 6}, false, 0x9.d14611eb20ebff4p+5L},
        {"line offset odd spacing", gtLine, 64, 1, 2.37f, 1, -12.5f, 0, {3, 7, 4, 6}, false, 0xb.2b19b599890d58ap+0L},
        {"line long dipole-dipole", gtLine, 64, 1, 2.37f, 1, -12.5f, 0, {1, 2, 40, 41}, false,
         -0xd.784b57ebdcbe751p+15L},
        {"line pole-dipole, remote unset", gtLine, 32, 1, 1, 1, 0, 0, {0, 5, 6, 7}, false, -0xc.90fdaa1749f1e06p+0L},
        {"line pole-dipole", gtLine, 32, 1, 1, 1, 0, 0, {0, 5, 6, 7}, true, -0xc.916641667f6f4bbp+0L},
        {"line pole-pole, remotes unset", gtLine, 32, 1, 1, 1, 0, 0, {1, 0, 2, 0}, false, 0xc.910e22d02a1a37ep-1L},
        {"line pole-pole", gtLine, 32, 1, 1, 1, 0, 0, {1, 0, 2, 0}, true, 0xc.906ce8ad806edecp-1L},
        {"line gradient, remotes unset", gtLine, 32, 1, 1, 1, 0, 0, {0, 0, 5, 6}, false, 1.0L},
        {"line gradient", gtLine, 32, 1, 1, 1, 0, 0, {0, 0, 5, 6}, true, 0xb.7673fb5c6e45d1ap+13L},
        {"line M on A", gtLine, 32, 1, 1, 1, 0, 0, {1, 3, 1, 2}, false, -0xc.90fdaa22168bde9p+0L},
        {"surface cross-diagonal", gtSurface, 8, 6, 2.5f, 3, 1, -2, {1, 10, 20, 30}, false, -0x8.6f588c0d4e92c86p+4L},
        {"surface equatorial", gtSurface, 8, 6, 2.5f, 3, 1, -2, {1, 9, 2, 10}, false, 0xa.e9f51ddbb175742p+1L},
        {"surface along Y", gtSurface, 8, 6, 2.5f, 3, 1, -2, {4, 12, 28, 36}, false, -0xe.231d2deb733ca25p+4L},
        {"surface near null", gtSurface, 8, 6, 2.5f, 3, 1, -2, {1, 3, 2, 4}, false, 0xb.c7edd03c7400247p+1L},
        {"surface gradient", gtSurface, 12, 12, 0.75f, 1.25f, 100, 250, {0, 0, 77, 90}, true, 0xf.0d2e48fe593f1a4p+15L},
    };
    for (const Case& c : cases) {
        auto s = NewSequence();
        PlaceGrid(*s, c.type, c.nx, c.ny, c.dx, c.dy, c.ox, c.oy);
        s->SetQuadripole(0, c.q.data(), 1, 1, 1, 0);
        EXPECT_EQ(s->Device.GetGeometricFactor(0, c.remotesPlaced ? placed : unset), c.k) << c.what;
    }
}

namespace {
// K of four points in a half-space whose surface is Z = 0 (Z is the depth): each current
// electrode has an image mirrored above the surface.
double ImageSourceK(const TElectrodeXYZ& a, const TElectrodeXYZ& b, const TElectrodeXYZ& m, const TElectrodeXYZ& n) {
    auto g = [](const TElectrodeXYZ& c, const TElectrodeXYZ& p) {
        const double dx = double(c.X) - p.X, dy = double(c.Y) - p.Y;
        const double direct = std::sqrt(dx * dx + dy * dy + (double(c.Z) - p.Z) * (double(c.Z) - p.Z));
        const double image = std::sqrt(dx * dx + dy * dy + (double(c.Z) + p.Z) * (double(c.Z) + p.Z));
        return 1 / direct + 1 / image;
    };
    return 4 * std::numbers::pi / (g(a, m) - g(a, n) - g(b, m) + g(b, n));
}
}  // namespace

TEST(GeometricFactor, BuriedElectrodesUseImageSources) {
    const TElectrodeXYZ remote[4] = {{-400.0f, 0, 0}, {900.0f, 0, 0}, {-300.0f, 0, 0}, {800.0f, 0, 0}};
    struct Case {
        const char* what;
        Abmn q;
    };
    // Boreholes 5 m apart, electrodes every 1.5 m from 2 m down.
    auto s = NewSequence();
    PlaceGrid(*s, gtBorehole, 8, 12, 5.0f, 1.5f, 0.0f, 2.0f);
    auto at = [](int column, int row) { return std::uint32_t((row - 1) * 8 + column); };
    const Case cases[] = {
        {"dipole-dipole along one depth", {at(1, 4), at(2, 4), at(5, 4), at(6, 4)}},
        {"vertical dipole-dipole in one hole", {at(1, 1), at(1, 2), at(1, 5), at(1, 6)}},
        {"cross-hole AM-BN", {at(1, 3), at(3, 3), at(1, 7), at(3, 7)}},
        {"cross-hole AB-MN", {at(1, 2), at(1, 4), at(3, 2), at(3, 4)}},
        {"cross-hole near null", {at(1, 5), at(1, 6), at(3, 5), at(3, 6)}},
        {"pole-dipole with the remote at the surface", {0, at(1, 12), at(3, 10), at(3, 11)}},
        {"pole-pole", {at(2, 8), 0, at(2, 3), 0}},
    };
    for (const Case& c : cases) {
        s->SetQuadripole(0, c.q.data(), 1, 1, 1, 0);
        TElectrodeXYZ p[4];
        for (int k = 0; k < 4; ++k) p[k] = c.q[k] == 0 ? remote[k] : s->Device.Electrodes[c.q[k]];
        const double expected = ImageSourceK(p[0], p[1], p[2], p[3]);
        EXPECT_NEAR(double(s->Device.GetGeometricFactor(0, remote)) / expected, 1.0, 1e-12) << c.what;
    }

    // Textbook dipole-dipole of spacing a at level n, deep enough for the full space: K is
    // 4 pi a n (n + 1) (n + 2) / 2, twice the surface value.
    const double a = 1.0;
    for (int n = 1; n <= 4; ++n) {
        auto deep = NewSequence();
        PlaceGrid(*deep, gtBorehole, 8, 1, float(a), 1.0f, 0.0f, 1e5f);
        deep->SetQuadripole(0, Abmn{1, 2, 2u + n, 3u + n}.data(), n, 1, 1, 0);
        const double fullSpace = -2 * std::numbers::pi * a * n * (n + 1) * (n + 2);
        EXPECT_NEAR(double(deep->Device.GetGeometricFactor(0, remote)) / fullSpace, 1.0, 1e-6) << "n " << n;
    }

    // A borehole section whose first row is at the surface: electrodes there keep the surface
    // value; one buried electrode brings in the images.
    auto top = NewSequence();
    PlaceGrid(*top, gtBorehole, 6, 4, 2.0f, 2.0f);
    auto line = NewSequence();
    PlaceGrid(*line, gtLine, 6, 1, 2.0f);
    top->SetQuadripole(0, Abmn{1, 2, 4, 5}.data(), 1, 1, 1, 0);
    line->SetQuadripole(0, Abmn{1, 2, 4, 5}.data(), 1, 1, 1, 0);
    EXPECT_EQ(top->Device.GetGeometricFactor(0, remote), line->Device.GetGeometricFactor(0, remote));
    top->SetQuadripole(0, Abmn{1, 2, 4, 11}.data(), 1, 1, 1, 0);
    const TElectrodeXYZ* e = top->Device.Electrodes;
    EXPECT_NEAR(double(top->Device.GetGeometricFactor(0, remote)) / ImageSourceK(e[1], e[2], e[4], e[11]), 1.0, 1e-12);

    // A buried current electrode on the potential electrode contributes through its image only.
    top->SetQuadripole(0, Abmn{8, 9, 8, 10}.data(), 1, 1, 1, 0);
    auto g = [&](int c, int p) {
        const double dx = double(e[c].X) - e[p].X, dz = double(e[c].Z) - e[p].Z, iz = double(e[c].Z) + e[p].Z;
        return (dx == 0 && dz == 0 ? 0.0 : 1 / std::hypot(dx, dz)) + 1 / std::hypot(dx, iz);
    };
    EXPECT_NEAR(double(top->Device.GetGeometricFactor(0, remote)) /
                    (4 * std::numbers::pi / (g(8, 8) - g(8, 10) - g(9, 8) + g(9, 10))),
                1.0, 1e-12);
}

TEST(InvestigationDepth, AFitPastItsRootGivesDepthZero) {
    // A dipole of 1 cm a long way from the other electrodes: its ratio runs past the root of the
    // rule's polynomial (about 435 for pole-dipole, 151 for dipole-dipole), where the fit would
    // put the depth above the surface. Short of the root the depth is the polynomial's.
    struct Case {
        const char* what;
        Abmn q;
        int type;  // -1: the generic rule
        long double depth;
    };
    const Case cases[] = {
        {"generic pole-dipole short of the root", {1, 0, 401, 402}, -1, PD(400) * 0.01L},
        {"generic pole-dipole past the root", {1, 0, 501, 502}, -1, 0},
        {"pole-dipole past the root", {1, 0, 501, 502}, 3, 0},
        {"dipole-dipole short of the root", {1, 2, 142, 143}, 1, DD(140) * 0.01L},
        {"dipole-dipole past the root", {1, 2, 162, 163}, 1, 0},
    };
    for (const Case& c : cases) {
        auto s = Line(600, 0.01f);
        s->Grid.ArrayType = std::max(c.type, 0);
        const float depth = s->GetInvestigationDepth(c.q.data(), c.type < 0);
        if (c.depth == 0)
            EXPECT_EQ(depth, 0.0f) << c.what;
        else  // the distances are held as f32, the ratio with them
            EXPECT_NEAR(depth, c.depth, c.depth * 0.01L) << c.what;
    }
}
