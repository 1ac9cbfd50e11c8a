// The property table, value kinds and their reading rules, and safe indices.
#include <QSet>

#include <climits>

#include "tests/chart/ChartFixture.h"

using namespace chart;

TEST(ChartTable, IdsAreDistinctInRangeAndTheFixedOnesAreKept) {
    EXPECT_EQ(kPropertyCount, 426);
    QSet<int> ids;
    QSet<QString> names;
    const int engineIds[] = {2905, 2915, 2575, 2580, 2610, 3123, 3162, 2675, 2676};
    for (int i = 0; i < kPropertyCount; ++i) {
        const PropDef& d = kPropertyTable[i];
        EXPECT_GE(d.id, 1902) << d.name;
        EXPECT_LE(d.id, 4085) << d.name;
        EXPECT_FALSE(ids.contains(d.id)) << d.name;
        EXPECT_FALSE(names.contains(QString::fromLatin1(d.name))) << d.name;
        for (int e : engineIds) EXPECT_NE(d.id, e) << d.name;
        ids.insert(d.id);
        names.insert(QString::fromLatin1(d.name));
        if (d.kind == PropKind::Enum || d.kind == PropKind::ItemEnum || d.kind == PropKind::Item2Enum) {
            EXPECT_NE(FindEnum(d.enumType ? d.enumType : ""), nullptr) << d.name;
        }
    }
    const struct { const char* name; int id; PropKind kind; } fixed[] = {
        {"ObjectType", 2100, PropKind::ReadOnlyInt}, {"MainTitle", 2105, PropKind::Text},
        {"SubTitle", 2110, PropKind::Text}, {"Subsets", 2115, PropKind::Int}, {"Points", 2120, PropKind::Int},
        {"XData", 2135, PropKind::Item2Single}, {"YData", 2140, PropKind::Item2Single},
        {"ZData", 2900, PropKind::Item2Single}, {"DefOrientation", 2150, PropKind::Enum},
        {"RenderEngine", 2153, PropKind::Enum}, {"PrepareImages", 2155, PropKind::Bool},
        {"SubsetColors", 2190, PropKind::ItemColour}, {"GraphForeColor", 2335, PropKind::Colour},
        {"CacheBmp", 2574, PropKind::Bool}, {"FocalRect", 2632, PropKind::Bool},
        {"Painting", 2916, PropKind::ReadOnlyInt}, {"XAxisLabel", 3000, PropKind::Text},
        {"YAxisLabel", 3005, PropKind::Text}, {"ZAxisLabel", 4000, PropKind::Text},
        {"AutoScaleData", 3057, PropKind::Bool}, {"GridLineControl", 3100, PropKind::Enum},
        {"AllowGridNumberHotSpotsY", 3122, PropKind::Bool}, {"ComparisonSubsets", 3130, PropKind::Int},
        {"PointTypes", 3156, PropKind::Item2Int}, {"CustomGridNumbersY", 3160, PropKind::Bool},
        {"AllowDataHotSpots", 3210, PropKind::Bool}, {"PointColors", 3258, PropKind::Item2Colour},
        {"SubsetPointTypes", 3270, PropKind::ItemInt}, {"SubsetLineTypes", 3271, PropKind::ItemInt},
        {"AllowGridNumberHotSpotsX", 3692, PropKind::Bool}, {"AllowGridNumberHotSpotsZ", 4057, PropKind::Bool},
        {"AutoRotation", 4003, PropKind::Bool}, {"RotationSpeed", 4011, PropKind::Int},
        {"ShowZAxis", 4018, PropKind::Enum}, {"ZDistance", 4022, PropKind::Single},
    };
    for (const auto& f : fixed) {
        const PropDef* d = FindProperty(f.name);
        ASSERT_NE(d, nullptr) << f.name;
        EXPECT_EQ(d->id, f.id) << f.name;
        EXPECT_EQ(d->kind, f.kind) << f.name;
        EXPECT_EQ(FindProperty(f.id), d) << f.name;
    }
}

class ChartProperties : public ChartTest {};

// One property of every kind: set by name and read by id, then the other way round.
TEST_F(ChartProperties, EveryKindRoundTripsByNameAndById) {
    auto c = MakeChart();
    c->SetSubsets(4);
    c->SetPoints(5);
    const struct { const char* name; QVariant a, b; } scalars[] = {
        {"InvertedYAxis", true, false},                       // bool
        {"ViewingHeight", -12, 40},                           // int32
        {"DeskColor", 0x00123456u, 0x00FEDCBAu},              // colour
        {"ShowXAxis", int(tdNoLabels), int(tdEmpty)},         // enumeration
        {"ManualMinY", -3.25, 1e10},                          // double
        {"FontSizeLegendCntl", 0.5f, 2.75f},                  // single
        {"SubTitle", QStringLiteral("sub"), QString()},       // text, and the empty text
    };
    for (const auto& t : scalars) {
        const int id = FindProperty(t.name)->id;
        c->Set(t.name, t.a);
        EXPECT_EQ(c->GetById(id), t.a) << t.name;
        c->SetById(id, t.b);
        EXPECT_EQ(c->Get(t.name), t.b) << t.name;
    }
    const struct { const char* name; QVariant a, b; } items[] = {
        {"HorzLineAnnotationType", 7, -2}, {"GraphAnnotationColor", 0x00ABCDEFu, 0u},
        {"HorzLineAnnotation", 2.5, -1e-3}, {"SubsetObstacles", true, false},
        {"CustomMenuLocation", int(tdBelowSeparator), int(tdBottomOfMenu)},
        {"SubsetLabels", QStringLiteral("first"), QStringLiteral("second")},
    };
    for (const auto& t : items) {
        const int id = FindProperty(t.name)->id;
        c->SetItem(t.name, 3, t.a);
        EXPECT_EQ(c->GetItemById(id, 3), t.a) << t.name;
        c->SetItemById(id, 3, t.b);
        EXPECT_EQ(c->GetItem(t.name, 3), t.b) << t.name;
    }
    const struct { const char* name; QVariant a, b; } items2[] = {
        {"XData", 1.5f, -2.25f}, {"YDataII", 1.0 / 3, -7.0}, {"PointTypes", 11, 0},
        {"PointColors", 0x00C0C0C0u, 0x000000FFu}, {"TABold", true, false},
        {"TAJustification", int(tdRightJustification), int(tdCenterJustification)},
        {"DataPointLabels", QStringLiteral("q7"), QStringLiteral("")},
    };
    for (const auto& t : items2) {
        const int id = FindProperty(t.name)->id;
        c->SetItem2(t.name, 2, 4, t.a);
        EXPECT_EQ(c->GetItem2ById(id, 2, 4), t.a) << t.name;
        c->SetItem2ById(id, 2, 4, t.b);
        EXPECT_EQ(c->GetItem2(t.name, 2, 4), t.b) << t.name;
    }
    // The named accessors reach the same store.
    c->SetXData(1, 2, 42.5f);
    EXPECT_EQ(c->GetItem2("XData", 1, 2).toFloat(), 42.5f);
    c->SetSubsetColors(2, 0x00FF00FF);
    EXPECT_EQ(c->GetItem("SubsetColors", 2).toUInt(), 0x00FF00FFu);
    c->SetZDistance(-30);
    EXPECT_EQ(c->Get("ZDistance").toFloat(), -30.0f);
    EXPECT_EQ(Pe3do::PEargb(0x11, 0x22, 0x33, 0x44), 0x11443322u);
}

TEST_F(ChartProperties, ReadingRulesTakeTheLowByteAndCutLongTexts) {
    auto c = MakeChart();
    ChartEngine* e = c->GethObject();
    const int bold = FindProperty("MainTitleBold")->id;
    e->SetNumber(bold, 0x100);  // low byte 0
    EXPECT_FALSE(c->Get("MainTitleBold").toBool());
    e->SetNumber(bold, 0x201);
    EXPECT_TRUE(c->Get("MainTitleBold").toBool());
    e->SetNumber(id::ShowZAxis, 0x305);
    EXPECT_EQ(c->GetShowZAxis(), tdEmpty);
    EXPECT_EQ(c->Get("ShowZAxis").toInt(), 5);

    const QString longText(2000, QLatin1Char('x'));
    c->SetMainTitle(longText);
    EXPECT_EQ(e->GetText(id::MainTitle), longText);  // the store keeps it whole
    EXPECT_EQ(c->GetMainTitle().size(), 1255);
    c->SetMainTitle(QString(1254, QLatin1Char('a')) + QString::fromUtf8("\xF0\x9F\x98\x80"));  // a pair at the cut
    EXPECT_EQ(c->GetMainTitle(), QString(1254, QLatin1Char('a')));
    c->SetMainTitle(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd"));
    EXPECT_EQ(c->GetMainTitle(), QStringLiteral("ab"));

    // Table-annotation locations above 15 are not locations.
    for (int v : {16, 200, -1}) {
        c->Set("TALocation", v);
        EXPECT_EQ(c->Get("TALocation").toInt(), int(tdTopCenterDesk)) << v;
    }
    c->Set("TALocation", int(tdInsideTopRight));
    EXPECT_EQ(c->Get("TALocation").toInt(), 15);
    e->SetNumber(FindProperty("TALocation")->id, 20);
    EXPECT_EQ(c->Get("TALocation").toInt(), 0);

    // Read-only values are not written through the control.
    c->Set("ObjectType", 1);
    EXPECT_EQ(c->GetObjectType(), 312);
    // Enumerators by name, as the form stores them.
    c->Set("GridLineControl", QStringLiteral("tdNoGrid"));
    EXPECT_EQ(c->GetGridLineControl(), tdNoGrid);
}

TEST_F(ChartProperties, OutOfRangeIndicesNeverReachTheStore) {
    auto c = MakeChart();
    c->SetSubsets(3);
    c->SetPoints(4);
    for (int s = 0; s < 3; ++s)
        for (int p = 0; p < 4; ++p) {
            c->SetXData(s, p, float(10 * s + p));
            c->SetPointColors(s, p, 0x10u * uint32_t(s + 1));
        }
    const std::pair<int, int> outside[] = {{-1, 0}, {0, -2}, {3, 0}, {0, 4}, {-1, -1}, {INT_MAX, INT_MAX},
                                           {INT_MIN, 2}, {2, INT_MIN}, {1, -1}};
    for (auto [s, p] : outside) {
        c->SetXData(s, p, 777.0f);
        c->SetYData(s, p, 777.0f);
        c->SetPointColors(s, p, 0x777);
        c->SetPointTypes(s, p, 7);
        c->SetItem2("DataPointLabels", s, p, QStringLiteral("x"));
        EXPECT_EQ(c->GetXData(s, p), 0.0f) << s << "," << p;
        EXPECT_EQ(c->GetPointColors(s, p), 0u) << s << "," << p;
        EXPECT_EQ(c->GetItem2("DataPointLabels", s, p).toString(), QString()) << s << "," << p;
    }
    for (int bad : {-1, 65536, INT_MAX, INT_MIN}) {
        c->SetSubsetColors(bad, 0x777);
        EXPECT_EQ(c->GetSubsetColors(bad), 0u) << bad;
        EXPECT_EQ(c->GetItem("SubsetLabels", bad).toString(), QString()) << bad;
    }
    for (int s = 0; s < 3; ++s)
        for (int p = 0; p < 4; ++p) {
            EXPECT_EQ(c->GetXData(s, p), float(10 * s + p));
            EXPECT_EQ(c->GetPointColors(s, p), 0x10u * uint32_t(s + 1));
        }
    // A negative count stores nothing; growing keeps what was there.
    c->SetPoints(-5);
    c->SetXData(0, 0, 1.0f);
    EXPECT_EQ(c->GetXData(0, 0), 0.0f);
    c->SetPoints(6);
    EXPECT_EQ(c->GetXData(2, 3), 0.0f);  // shrunk to nothing, then grown: gone
    c->SetXData(2, 5, 5.0f);
    c->SetSubsets(4);
    EXPECT_EQ(c->GetXData(2, 5), 5.0f);
    EXPECT_EQ(c->GetXData(3, 5), 0.0f);
}

TEST_F(ChartProperties, SubsetZeroPointMinusOneEmptiesTheWholeArray) {
    auto c = MakeChart();
    Fill(*c, {{{1, 2, 3}, {4, 5, 6}}, {{7, 8, 9}}}, 2);
    c->SetPointColors(1, 0, 0x123);
    c->SetPointTypes(0, 1, 5);
    c->SetXData(0, -1, 0);
    EXPECT_EQ(c->GetXData(0, 1), 0.0f);
    EXPECT_EQ(c->GetXData(1, 0), 0.0f);
    EXPECT_EQ(c->GetYData(1, 0), 8.0f);  // the other arrays stay
    c->SetPointColors(0, -1, 0);
    c->SetPointTypes(0, -1, 0);
    uint32_t colour;
    int32_t type;
    EXPECT_FALSE(c->GethObject()->Store().PointColor(1, 0, colour));
    EXPECT_FALSE(c->GethObject()->Store().PointType(0, 1, type));
}

TEST_F(ChartProperties, FormValuesAreApplied) {
    auto c = MakeChart();
    EXPECT_EQ(c->GetZDistance(), -22.0f);
    EXPECT_EQ(c->GetMainTitle(), QStringLiteral("Main Title"));
    EXPECT_TRUE(c->Get("InvertedXAxis").toBool());
    EXPECT_FALSE(c->Get("InvertedYAxis").toBool());
    EXPECT_EQ(c->Get("YAxisColor").toUInt(), 8388608u);
    EXPECT_EQ(c->Get("NullDataValueZ").toDouble(), 99999.0);
    EXPECT_EQ(c->Get("FontSizeLegendCntl").toFloat(), 0.800000011920929f);
    EXPECT_EQ(c->Get("PlottingMethodII").toInt(), int(td12));
    EXPECT_EQ(c->Get("HelpFileName").toString(), QStringLiteral(" "));
    EXPECT_TRUE(c->GetPrepareImages());
    EXPECT_TRUE(c->GetAllowDataHotSpots());
}

TEST_F(ChartProperties, AControlNeverShownKeepsItsValuesForItsWindow) {
    Pe3do c;
    c.resize(300, 200);
    c.SetMainTitle(QStringLiteral("before"));
    Fill(c, {{{0, 0, 0}}}, 1);
    c.SetSubsetColors(0, 0x0000FF);
    EXPECT_FALSE(c.Created());
    EXPECT_EQ(c.GetMainTitle(), QStringLiteral("before"));
    c.show();
    EXPECT_TRUE(c.Created());
    EXPECT_EQ(c.GetMainTitle(), QStringLiteral("before"));
    EXPECT_TRUE(Find(Grab(c), 0x0000FF).has_value());  // the point set before is drawn
}
