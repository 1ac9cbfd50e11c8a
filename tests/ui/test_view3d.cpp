// The 3-D view: what the chart receives for a sequence and the ticked list entries, the
// animation chain by chain, the read-out of clicked points and axis numbers, the tool bar.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <QWidget>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>

#include "tests/engine/SequenceBuilders.h"
#include "tests/support/ComputedLists.h"
#include "ui/Format.h"
#include "chart/Pe3dvcl.h"
#include "tests/ui/UiTest.h"
#include "ui/UpDown.h"

namespace {

constexpr float kNull = 99999.0f;

struct XYZ {
    float X, Y, Z;
    bool operator==(const XYZ&) const = default;
};

std::ostream& operator<<(std::ostream& os, const XYZ& v) { return os << '(' << v.X << ", " << v.Y << ", " << v.Z << ')'; }

XYZ At(const Pe3do& c, int s, int p) { return {c.GetXData(s, p), c.GetYData(s, p), c.GetZData(s, p)}; }
const XYZ kNullPoint{kNull, kNull, kNull};

bool HasColourOverride(Pe3do& c, int s, int p) {
    uint32_t colour;
    return c.GethObject()->Store().PointColor(s, p, colour);
}

// A dipole-dipole line computed by the engine: spacing coefficients 1 and 2, levels 1..4.
std::unique_ptr<TElectSequence> DipoleDipoleLine(int electrodes = 24, float dx = 2.0f) {
    auto s = std::make_unique<TElectSequence>();
    PlaceLineOfElectrodes(*s, electrodes, dx);
    s->SetArrayType(1);
    for (int a = 1; a <= 2; ++a)
        for (int n = 1; n <= 4; ++n) {
            s->SpacingLevels[a - 1].Selected[n - 1] = 1;
            ++s->SpacingLevels[a - 1].SelectedCount;
        }
    s->ComputeSequence(false, false);
    s->NeedsRecompute = 0;
    return s;
}

// A dipole-dipole surface of 6 x 4 electrodes at 2 m, its rows from offsetY on.
std::unique_ptr<TElectSequence> DipoleDipoleSurface(float offsetY = 0.0f) {
    auto s = std::make_unique<TElectSequence>();
    PlaceGrid(*s, gtSurface, 6, 4, 2.0f, 2.0f, 0.0f, offsetY);
    s->SetArrayType(1);
    for (int n = 1; n <= 2; ++n) s->SpacingLevels[0].Selected[n - 1] = 1;
    s->SpacingLevels[0].SelectedCount = 2;
    s->ComputeSequence(false, false);
    s->NeedsRecompute = 0;
    return s;
}

// Centre of the pixels of exactly that colour (0x00BBGGRR) in the chart's image.
std::optional<QPointF> PixelsOf(Pe3do& c, uint32_t bgr) {
    c.grab();
    const QImage img = c.GethObject()->GetImage().convertToFormat(QImage::Format_RGB32);
    const QRgb want = qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)) & 0xFFFFFF;
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == want) sx += x, sy += y, ++n;
    if (n == 0) return std::nullopt;
    return QPointF(sx / n, sy / n);
}

// What the X axis of the image reads straight below a pixel, from where its first and last
// numbers are drawn; and how much one pixel reads.
struct TXReading {
    double value, perPixel;
};
std::optional<TXReading> ReadX(Pe3do& c, QPointF at) {
    const chart::Frame& f = c.GethObject()->GetFrame();
    std::vector<std::pair<double, double>> numbers;  // (pixel, value)
    for (const chart::HotSpotArea& h : f.areas)
        if (h.type == chart::hotspot::GridNumberX) numbers.push_back({QRectF(h.rect).center().x(), f.gridNumbers[h.second]});
    if (numbers.size() < 2) return std::nullopt;
    const auto [x0, v0] = numbers.front();
    const auto [x1, v1] = numbers.back();
    const double perPixel = (v1 - v0) / (x1 - x0);
    return TXReading{v0 + (at.x() - x0) * perPixel, std::fabs(perPixel)};
}

}  // namespace

class View3DTest : public UiTest {
protected:
    // Shows the first sequence as the current one; the others are listed after it, ticked.
    std::unique_ptr<TMainFrm> Show(std::vector<std::unique_ptr<TElectSequence>> list) {
        QStringList lines;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const QString path = Path(QString("seq%1.sqz").arg(i));
            WriteSequence(*list[i], path);
            lines << path;
        }
        WriteList(lines);
        Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 0);
        auto w = Start();
        for (int i = 1; i < Find<QListWidget>(w, "SeqFileLb")->count(); ++i)
            Find<QListWidget>(w, "SeqFileLb")->item(i)->setCheckState(Qt::Checked);
        w->FillGraph();
        return w;
    }
    std::unique_ptr<TMainFrm> Show(std::unique_ptr<TElectSequence> s) {
        std::vector<std::unique_ptr<TElectSequence>> list;
        list.push_back(std::move(s));
        return Show(std::move(list));
    }

    // Clicks AnimGraph down and, each time the animation shows a new chain, runs the next
    // action with the read-out; once the actions are used up the animation is stopped.
    static void Animate(TMainFrm& w, std::vector<std::function<void(const QString&)>> actions) {
        QString last;
        std::size_t next = 0;
        QTimer tick;
        tick.setInterval(0);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            if (!w.State().AnimationRunning) return;
            const QString now = Find<QLabel>(w, "DataValueTxt")->text();
            if (now == last) return;
            last = now;
            if (next < actions.size())
                actions[next++](now);
            else if (Find<QToolButton>(w, "AnimGraph")->isChecked())
                Find<QToolButton>(w, "AnimGraph")->click();
        });
        tick.start();
        Find<QToolButton>(w, "AnimGraph")->click();
        tick.stop();
        EXPECT_EQ(next, actions.size()) << "the animation ended before every step ran";
    }
};

TEST_F(View3DTest, AComputedLineGivesOneSubsetPerSpacingCoefficientTheElectrodesAndTheAnchor) {
    auto w = Show(DipoleDipoleLine());
    const TElectSequence& s = *w->Current();
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    ASSERT_EQ(s.GetMaxGroup(), 2);
    const int P = std::max(s.GetMaxQuadNumber(), 24);
    ASSERT_EQ(c.GetSubsets(), 4);
    ASSERT_EQ(c.GetPoints(), P + 1);
    EXPECT_EQ(c.GetComparisonSubsets(), 0);
    EXPECT_FALSE(c.GetAutoScaleData());
    EXPECT_TRUE(c.GetCustomGridNumbersY());
    EXPECT_FLOAT_EQ(c.GetZDistance(), -22.0f);

    // Every quadripole at (group - 1, number - 1), below the surface; the rest null.
    std::vector<std::vector<bool>> placed(2, std::vector<bool>(std::size_t(P + 1), false));
    for (int q = 0; q < s.QuadripoleCount(); ++q) {
        const TQuadripoleInfo& i = s.QuadInfo[q];
        ASSERT_GE(i.Group, 1);
        EXPECT_EQ(At(c, i.Group - 1, i.Number - 1), (XYZ{-i.X, -i.Depth, -i.Y})) << q;
        placed[i.Group - 1][i.Number - 1] = true;
    }
    for (int g = 0; g < 2; ++g)
        for (int p = 0; p <= P; ++p)
            if (!placed[std::size_t(g)][std::size_t(p)]) {
                EXPECT_EQ(At(c, g, p), kNullPoint) << g << ' ' << p;
            }
    EXPECT_EQ(c.GetSubsetColors(0), 0x0000FFu);
    EXPECT_EQ(c.GetSubsetColors(1), 0x00FF00u);
    EXPECT_EQ(c.GetSubsetPointTypes(0), 3);
    EXPECT_EQ(c.GetSubsetPointTypes(1), 3);

    EXPECT_EQ(c.GetSubsetPointTypes(2), 0);
    EXPECT_EQ(c.GetSubsetColors(2), 0x800000u);
    EXPECT_EQ(At(c, 2, 0), kNullPoint);
    for (int e = 1; e <= 24; ++e) EXPECT_EQ(At(c, 2, e), (XYZ{-float((e - 1) * 2.0), 0.0f, -0.0f})) << e;
    for (int e = 25; e <= P; ++e) EXPECT_EQ(At(c, 2, e), kNullPoint);

    const TQuadripoleInfo& last = s.QuadInfo[s.Device.LastQuadripole];
    EXPECT_EQ(c.GetSubsetColors(3), 0xFFFFFFu);
    EXPECT_EQ(c.GetSubsetPointTypes(3), 1);
    EXPECT_EQ(At(c, 3, P), (XYZ{-last.X, -last.Depth, -0.1f}));
    EXPECT_EQ(At(c, 3, P - 1), kNullPoint);

    EXPECT_EQ(c.GetMainTitle(), Find<QLineEdit>(w, "PlanoraNameTxt")->text() + "   Line (m): 0 - 46 < seq0.sqz >");
    EXPECT_EQ(c.GetSubTitle(),
              Find<QLabel>(w, "NbNodesLblx")->text() + " Nodes  - X spacing: 2m , Quadripole/Injection: " +
                  QString::number(s.QuadripoleCount()) + "/" + QString::number(s.MeasurementCycles) +
                  ", Estimated time: " + Find<QLabel>(w, "EstimatedAcquisitionTimeTxt")->text() + " config (" +
                  Find<QLineEdit>(w, "StackMinEdn")->text() + "-" + Find<QLineEdit>(w, "StackMaxEdn")->text() + ";" +
                  Find<QComboBox>(w, "TimeCB")->currentText() + ")");
    EXPECT_EQ(c.GetXAxisLabel(), "X spacing (m)");
    EXPECT_EQ(c.GetYAxisLabel(), "Report point (m)");
    EXPECT_EQ(c.GetZAxisLabel(), "Y spacing (m)");
    EXPECT_EQ(c.GetShowZAxis(), tdEmpty);

    // The image shows the rebuilt data, not the empty chart of before.
    const QImage img = c.GethObject()->GetImage().convertToFormat(QImage::Format_RGB32);
    int red = 0, green = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            red += (img.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
            green += (img.pixel(x, y) & 0xFFFFFF) == 0x00FF00;
        }
    EXPECT_GT(red, 50);
    EXPECT_GT(green, 50);
}

TEST_F(View3DTest, GroupColoursComeFromTheFirstQuadripoleOfEachGroup) {
    auto w = Show(MakeSequence(8));
    TElectSequence& s = *w->Current();
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    // Group: 1 coefficient 0, 2 coefficient 5 (then 2), 3 none, 4 coefficient 12.
    const int groups[8] = {1, 2, 2, 4, 1, 2, 4, 4};
    const int coefs[8] = {0, 5, 2, 12, 3, 1, 1, 1};
    for (int q = 0; q < 8; ++q) {
        s.QuadInfo[q].Group = std::uint16_t(groups[q]);
        s.QuadInfo[q].SpacingCoef = std::uint16_t(coefs[q]);
        s.QuadInfo[q].Number = std::uint16_t(q + 1);
    }
    c.SetSubsets(4);
    c.SetSubsetColors(2, 0x123456);
    w->FillGraph();
    ASSERT_EQ(c.GetSubsets(), 4 + 2);
    const struct {
        int subset;
        uint32_t colour;
        int type;
    } expected[] = {{0, 0x000000, 2}, {1, 0xFF00FF, 3}, {2, 0x123456, 3}, {3, 0x800000, 2}};
    for (const auto& e : expected) {
        EXPECT_EQ(c.GetSubsetColors(e.subset), e.colour) << e.subset;
        EXPECT_EQ(c.GetSubsetPointTypes(e.subset), e.type) << e.subset;
    }
}

TEST_F(View3DTest, OtherTickedSequencesAreGreyOverlaysInTheCurrentLayoutsMapping) {
    std::vector<std::unique_ptr<TElectSequence>> list;
    list.push_back(MakeSequence(10));
    list.push_back(MakeSequence(30));
    auto borehole = MakeSequence(70);
    borehole->Grid.GridType = gtBorehole;
    list.push_back(std::move(borehole));
    list.push_back(MakeSequence(5));
    auto w = Show(std::move(list));
    Find<QListWidget>(w, "SeqFileLb")->item(3)->setCheckState(Qt::Unchecked);
    w->FillGraph();
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    const int G = 1;
    ASSERT_EQ(c.GetSubsets(), G + 4);
    ASSERT_EQ(c.GetPoints(), 70 + 1);  // raised to the longest overlay
    for (int k = 0; k < 2; ++k) {
        const TElectSequence& o = *w->List()[std::size_t(k + 1)];
        EXPECT_EQ(c.GetSubsetPointTypes(G + k), 6);
        EXPECT_EQ(c.GetSubsetColors(G + k), 0x808080u);
        for (int q = 0; q < o.QuadripoleCount(); ++q)
            EXPECT_EQ(At(c, G + k, q), (XYZ{-o.QuadInfo[q].X, -o.QuadInfo[q].Depth, -o.QuadInfo[q].Y})) << k << ' ' << q;
        EXPECT_EQ(At(c, G + k, o.QuadripoleCount()), kNullPoint);
    }
    EXPECT_EQ(c.GetSubsetPointTypes(G + 2), 0);  // the electrodes follow the overlays
    EXPECT_EQ(At(c, G + 2, 48), (XYZ{-47.0f, 0.0f, -0.0f}));

    for (int i = 1; i < 4; ++i) Find<QListWidget>(w, "SeqFileLb")->item(i)->setCheckState(Qt::Unchecked);
    w->FillGraph();
    EXPECT_EQ(c.GetSubsets(), G + 2);
    EXPECT_EQ(c.GetPoints(), 48 + 1);  // the last electrode number
}

TEST_F(View3DTest, ASequenceWithoutQuadripolesIsOneNullPointWithItsTitles) {
    auto w = Show(MakeSequence(0));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    EXPECT_EQ(c.GetSubsets(), 1);
    EXPECT_EQ(c.GetPoints(), 1);
    EXPECT_EQ(At(c, 0, 0), kNullPoint);
    EXPECT_EQ(c.GetMainTitle(), Find<QLineEdit>(w, "PlanoraNameTxt")->text() + "   Line (m): 0 - 47 < seq0.sqz >");
    EXPECT_TRUE(c.GetSubTitle().contains(" Nodes  - X spacing: 1m , Quadripole/Injection: 0/"));
}

// The title states where the electrodes stand: from the first to the last column in use.
TEST_F(View3DTest, TheTitleStatesTheLaidOutLine) {
    const struct {
        const char* what;
        std::function<void(TElectSequence&)> lay;
        const char* extent;
    } cases[] = {
        {"48 electrodes at 5 m", [](TElectSequence& s) { PlaceLineOfElectrodes(s, 48, 5.0f); }, "0 - 235"},
        {"12 x 8 surface at 5 m", [](TElectSequence& s) { PlaceGrid(s, gtSurface, 12, 8, 5.0f, 5.0f); }, "0 - 55"},
        {"two boreholes of 16", [](TElectSequence& s) { PlaceGrid(s, gtBorehole, 2, 16, 10.0f, 2.0f); }, "0 - 10"},
        {"columns 3 to 10 beyond an offset",
         [](TElectSequence& s) { PlaceElectrodes(s, {3, 4, 5, 6, 7, 8, 9, 10}, 2.5f, 20.0f); }, "25 - 42.5"},
    };
    for (const auto& k : cases) {
        auto s = std::make_unique<TElectSequence>();
        k.lay(*s);
        auto w = Show(std::move(s));
        EXPECT_EQ(Find<Pe3do>(w, "Pe3do1")->GetMainTitle(),
                  Find<QLineEdit>(w, "PlanoraNameTxt")->text() + "   Line (m): " + k.extent + " < seq0.sqz >")
            << k.what;
    }
}

// The first save of a new sequence names it in the chart's title too.
TEST_F(View3DTest, TheTitleFollowsTheFileNameOfTheFirstSave) {
    auto w = Show(MakeSequence(4));
    w->New1Click();
    auto s = DipoleDipoleLine();
    std::memcpy(static_cast<void*>(w->Current()), s.get(), sizeof(TElectSequence));
    w->DisplaySequence(true);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewGraphTbs"));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    ASSERT_TRUE(c.GetMainTitle().endsWith(" <  >")) << c.GetMainTitle().toStdString();
    const QRect titles = c.GethObject()->GetFrame().titleArea;
    const QImage before = c.grab().toImage().copy(titles);
    Seam.Files = {Path("first.sqz")};
    w->SaveClick();
    ASSERT_EQ(QString(w->Current()->FileName), Path("first.sqz"));
    EXPECT_EQ(c.GetMainTitle(), Find<QLineEdit>(w, "PlanoraNameTxt")->text() + "   Line (m): 0 - 46 < first.sqz >");
    EXPECT_NE(c.grab().toImage().copy(titles), before);
}

TEST_F(View3DTest, ElectrodeNumbersWithGapsKeepTheirPoints) {
    auto s = MakeSequence(3);
    std::vector<int> numbers;
    for (int e = 1; e <= 10; ++e) numbers.push_back(e);
    for (int e = 21; e <= 30; ++e) numbers.push_back(e);
    PlaceElectrodes(*s, numbers);
    auto w = Show(std::move(s));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    ASSERT_EQ(c.GetPoints(), 31);
    EXPECT_EQ(At(c, 1, 30), (XYZ{-29.0f, 0.0f, -0.0f}));
    EXPECT_EQ(At(c, 1, 15), kNullPoint);
    EXPECT_EQ(At(c, 1, 10), (XYZ{-9.0f, 0.0f, -0.0f}));
}

TEST_F(View3DTest, TheLayoutTypeChoosesTheMappingTheLabelsAndTheZAxis) {
    auto w = Show(MakeSequence(4));
    TElectSequence& s = *w->Current();
    s.Device.Electrodes[2] = TElectrodeXYZ{1.0f, 2.0f, -3.0f};
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    const TQuadripoleInfo& q0 = s.QuadInfo[0];
    const struct {
        TGridType type;
        bool gridDown;
        eShowAxis zAxis;
        const char *yLabel, *zLabel;
        float quadY, electrodeY;
        bool anchor;
    } cases[] = {
        {gtLine, true, tdEmpty, "Report point (m)", "Y spacing (m)", -q0.Depth, -3.0f, true},
        {gtBorehole, false, tdEmpty, "Z spacing (m)", "Z spacing (m)", q0.Depth, 3.0f, false},
        {gtSurface, false, tdAxisLabels, "Report point (m)", "Y spacing (m)", -q0.Depth, -3.0f, false},
        {gtSurface, true, tdGridPlusAxisLabels, "Report point (m)", "Y spacing (m)", -q0.Depth, -3.0f, false},
    };
    for (const auto& k : cases) {
        s.Grid.GridType = k.type;
        Find<QToolButton>(w, "GridBtn")->setChecked(k.gridDown);
        c.SetShowZAxis(tdAxisLabels);  // a surface keeps it unless the grid button is down
        w->FillGraph();
        EXPECT_EQ(c.GetShowZAxis(), k.zAxis) << k.type;
        EXPECT_EQ(c.GetYAxisLabel(), k.yLabel) << k.type;
        EXPECT_EQ(c.GetZAxisLabel(), k.zLabel) << k.type;
        EXPECT_EQ(At(c, 0, 0), (XYZ{-q0.X, k.quadY, -q0.Y})) << k.type;
        EXPECT_EQ(At(c, 1, 2), (XYZ{-1.0f, k.electrodeY, -2.0f})) << k.type;
        EXPECT_EQ(At(c, 2, 48).Z == -0.1f, k.anchor) << k.type;
    }
}

TEST_F(View3DTest, AxisNumberClicksAddReferenceLinesThroughTheElectrodes) {
    auto w = Show(DipoleDipoleLine());
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    const int S = c.GetSubsets(), points = c.GetPoints();
    w->Pe3do1GridNumber(0, 0, -2.5);
    w->Pe3do1GridNumber(1, 1, -4.0);
    ASSERT_EQ(c.GetSubsets(), S + 2);
    EXPECT_EQ(c.GetComparisonSubsets(), 2);
    const struct {
        int subset;
        float y;
    } lines[] = {{S, -2.5f}, {S + 1, -4.0f}};
    for (const auto& l : lines) {
        EXPECT_EQ(c.GetSubsetColors(l.subset), 0x800000u);
        EXPECT_EQ(c.GetSubsetLineTypes(l.subset), 4);
        for (int p = 0; p < points; ++p)
            EXPECT_EQ(At(c, l.subset, p), (XYZ{c.GetXData(S - 2, p), l.y, 0.0f})) << l.subset << ' ' << p;
    }
    EXPECT_EQ(c.GetXData(S + 1, 5), -8.0f);  // electrode 5 at x = 8
    w->FillGraph();
    EXPECT_EQ(c.GetSubsets(), S);
    EXPECT_EQ(c.GetComparisonSubsets(), 0);
}

TEST_F(View3DTest, ClickingThePointsAndNumbersOfTheShownChart) {
    auto w = Show(DipoleDipoleLine());
    w->resize(1200, 800);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewGraphTbs"));
    ASSERT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "ViewGraphTbs"));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    QApplication::processEvents();
    w->FillGraph();
    QApplication::processEvents();
    // The first pixel of the image that is a hot spot of the wanted kind.
    auto find = [&](auto wanted) -> std::optional<QPoint> {
        const QRect r = c.ImageRect();
        for (int y = r.top(); y <= r.bottom(); y += 2)
            for (int x = r.left(); x <= r.right(); x += 2)
                if (wanted(c.GethObject()->HitTest(QPoint(x, y)))) return QPoint(x, y);
        return std::nullopt;
    };
    const int electrodes = c.GetSubsets() - 2;
    const struct {
        int subset;
        const char* prefix;
    } cases[] = {{electrodes, "Node position (m): "}, {0, "Quadripole acquisition (m): "}};
    for (const auto& k : cases) {
        const auto at = find([&](const chart::HotSpotArea& h) { return h.type == chart::hotspot::Data && h.first == k.subset; });
        ASSERT_TRUE(at) << k.subset;
        const chart::HotSpotArea h = c.GethObject()->HitTest(*at);
        QTest::mouseClick(&c, Qt::LeftButton, {}, *at);
        const XYZ v = At(c, h.first, h.second);
        EXPECT_EQ(Find<QLabel>(w, "DataValueTxt")->text(),
                  QString(k.prefix) + Format1(-v.X) + " / " + Format1(v.Y) + " / " + Format1(-v.Z));
    }
    const auto number = find([](const chart::HotSpotArea& h) { return h.type == chart::hotspot::GridNumberY; });
    ASSERT_TRUE(number);
    const int S = c.GetSubsets();
    const chart::HotSpotArea h = c.GethObject()->HitTest(*number);
    const double value = c.GethObject()->GetItem(chart::id::GridNumberValues, h.second).toDouble();
    QTest::mouseClick(&c, Qt::LeftButton, {}, *number);
    ASSERT_EQ(c.GetSubsets(), S + 1);
    EXPECT_EQ(c.GetYData(S, 3), float(value));
    EXPECT_EQ(c.GetXData(S, 3), c.GetXData(electrodes, 3));
}

TEST_F(View3DTest, TheAnimationShowsEachChainAndRestoresTheChart) {
    auto s = MakeSequence(12);
    s->Device.Channels = 8;
    // Quadripoles 7 to 10 share one injection (each M the previous N).
    for (int k = 0; k < 4; ++k)
        s->Device.Quadripoles[6 + k] = TQuadripole{1, 2, std::uint16_t(3 + k), std::uint16_t(4 + k)};
    s->QuadInfo[8].Level = -1;  // a gap filler inside the chain
    auto w = Show(std::move(s));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    const int G = 1;
    const QString title = c.GetMainTitle();
    auto type = [&](int subset, int point) { return c.GetPointTypes(subset, point); };
    auto colour = [&](int subset, int point) { return c.GetPointColors(subset, point); };
    auto step = [&] { Find<QToolButton>(w, "StepByStepBtn")->setChecked(true); };
    QStringList seen;
    std::vector<std::function<void(const QString&)>> actions;
    actions.push_back([&](const QString& text) {
        seen << text;
        EXPECT_TRUE(w->State().AnimationRunning);
        EXPECT_FALSE(Find<QListWidget>(w, "SeqFileLb")->isEnabled());
        EXPECT_FALSE(Find<QMenu>(w, "File1")->isEnabled());
        EXPECT_EQ(c.GetSubsets(), G + 1);
        EXPECT_EQ(c.GetMainTitle(), "");
        EXPECT_EQ(Find<TUpDown>(w, "AnimGraphUpDownSpeed")->value(), std::min(w->Current()->GetMeasureTime(), 20000));
        EXPECT_EQ(Find<QProgressBar>(w, "ProgressBar1")->value(), 1);
        EXPECT_EQ(c.GetSubsetPointTypes(0), 1);
        EXPECT_EQ(type(G, 1), 11);  // A
        EXPECT_EQ(colour(G, 1), 0x0000FFu);
        EXPECT_EQ(type(G, 3), 11);  // M
        EXPECT_EQ(colour(G, 3), 0x800000u);
        EXPECT_EQ(colour(G, 20), 0xC0C0C0u);  // not in use
        EXPECT_EQ(type(0, 0), 5);
        EXPECT_EQ(colour(0, 0), 0x000000u);
        EXPECT_EQ(colour(0, 1), 0xC0C0C0u);  // not measured yet
        step();
    });
    for (int k = 1; k < 6; ++k) actions.push_back([&](const QString& text) { seen << text, step(); });
    actions.push_back([&](const QString& text) {
        seen << text;
        for (int k = 6; k < 10; ++k) EXPECT_EQ(type(0, k), k == 8 ? 3 : 5) << k;
        EXPECT_EQ(type(0, 5), 2);  // measured
        EXPECT_EQ(colour(0, 5), 0x808080u);
        EXPECT_EQ(type(G, 9), 0);  // back at rest after the sixth
        EXPECT_EQ(colour(G, 9), 0xC0C0C0u);
        EXPECT_EQ(type(G, 7), 11);
        EXPECT_EQ(colour(G, 7), 0x800000u);
        EXPECT_EQ(Find<QProgressBar>(w, "ProgressBar1")->value(), 10);
        step();
    });
    actions.push_back([&](const QString& text) {
        seen << text;
        for (int k = 6; k < 10; ++k) EXPECT_EQ(type(0, k), 2) << k;
        Find<QToolButton>(w, "AnimGraph")->click();  // stops at the next check of the wait
    });
    Animate(*w, std::move(actions));
    EXPECT_EQ(seen, (QStringList{"Quadripole : 1", "Quadripole : 2", "Quadripole : 3", "Quadripole : 4",
                                 "Quadripole : 5", "Quadripole : 6", "Quadripole : 7..10", "Quadripole : 11"}));

    EXPECT_FALSE(w->State().AnimationRunning);
    EXPECT_FALSE(Find<QToolButton>(w, "AnimGraph")->isChecked());
    EXPECT_TRUE(Find<QListWidget>(w, "SeqFileLb")->isEnabled());
    EXPECT_TRUE(Find<QMenu>(w, "File1")->isEnabled());
    EXPECT_EQ(Find<QProgressBar>(w, "ProgressBar1")->value(), 0);
    EXPECT_EQ(c.GetSubsets(), G + 2);
    EXPECT_EQ(c.GetMainTitle(), title);
    EXPECT_FALSE(HasColourOverride(c, 0, 6));
    EXPECT_FALSE(HasColourOverride(c, G, 1));
}

// An electrode and a quadripole point, marked in colours of their own, read the same X on the
// X axis in the animation as in the static chart just before, turned or not; on a line, whose
// points all lie on the front face, that X is their own.
TEST_F(View3DTest, TheAnimationDrawsEveryPointWhereTheStaticChartDoes) {
    constexpr uint32_t kElectrodeMark = 0x00FF80, kQuadripoleMark = 0xFF8000;
    const struct {
        const char* what;
        std::function<std::vector<std::unique_ptr<TElectSequence>>()> make;
        int rotation;
        bool onItsAxis;
    } cases[] = {
        {"line", [] { std::vector<std::unique_ptr<TElectSequence>> v; v.push_back(DipoleDipoleLine()); return v; }, 0, true},
        {"turned line", [] { std::vector<std::unique_ptr<TElectSequence>> v; v.push_back(DipoleDipoleLine()); return v; }, 30, true},
        // From behind, the X axis runs along the other face: the points stand off it, as they do
        // in the static chart.
        {"turned line seen from behind", [] { std::vector<std::unique_ptr<TElectSequence>> v; v.push_back(DipoleDipoleLine()); return v; }, 200, false},
        // The overlay's rows lie in front of the surface's: the static chart's depth scale is its.
        {"turned surface with an overlay", [] {
             std::vector<std::unique_ptr<TElectSequence>> v;
             v.push_back(DipoleDipoleSurface());
             v.push_back(DipoleDipoleSurface(-30.0f));
             return v;
         }, 30, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        auto w = Show(k.make());
        Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
        const TElectSequence& s = *w->Current();
        c.Set("DegreeOfRotation", k.rotation);
        c.SetPEactions(tdReinitAndReset);
        const TQuadripoleInfo& q = s.QuadInfo[0];
        const int m = s.Device.Quadripoles[0].M;
        const double electrodeX = c.GetXData(c.GetSubsets() - 2, m), quadripoleX = -q.X;
        // Marks both points and reads them on the X axis: (electrode, quadripole, one pixel).
        auto read = [&](int electrodes) -> std::optional<std::array<double, 3>> {
            c.SetPointColors(electrodes, m, kElectrodeMark);
            c.SetPointColors(q.Group - 1, q.Number - 1, kQuadripoleMark);
            c.SetPEactions(tdInvalidateImage);
            const auto e = PixelsOf(c, kElectrodeMark), p = PixelsOf(c, kQuadripoleMark);
            if (!e || !p) return std::nullopt;
            const auto re = ReadX(c, *e), rp = ReadX(c, *p);
            if (!re || !rp) return std::nullopt;
            return std::array<double, 3>{re->value, rp->value, re->perPixel};
        };
        const auto still = read(c.GetSubsets() - 2);
        ASSERT_TRUE(still);
        if (k.onItsAxis) {
            EXPECT_NEAR((*still)[0], electrodeX, 2 * (*still)[2]);
            EXPECT_NEAR((*still)[1], quadripoleX, 2 * (*still)[2]);
        } else {
            EXPECT_GT(std::fabs((*still)[0] - electrodeX), 10 * (*still)[2]);  // off the axis in depth
        }
        bool ran = false;
        Animate(*w, {[&](const QString&) {
            const auto moving = read(s.GetMaxGroup());
            if (!moving) Find<QToolButton>(w, "AnimGraph")->click();
            ASSERT_TRUE(moving);
            EXPECT_NEAR((*moving)[0], (*still)[0], 2 * (*moving)[2]);
            EXPECT_NEAR((*moving)[1], (*still)[1], 2 * (*moving)[2]);
            ran = true;
            Find<QToolButton>(w, "AnimGraph")->click();
        }});
        EXPECT_TRUE(ran);
    }
}

TEST_F(View3DTest, AutomaticPlayRunsToTheEndAtTheSpeedSetWhileItRuns) {
    auto w = Show(MakeSequence(5));
    Find<QToolButton>(w, "AnimateActionBtn")->setChecked(true);
    QStringList seen;
    std::vector<std::function<void(const QString&)>> actions;
    actions.push_back([&](const QString& text) {
        seen << text;
        Find<TUpDown>(w, "AnimGraphUpDownSpeed")->setValue(0);  // read again during the wait
    });
    for (int k = 1; k < 5; ++k) actions.push_back([&](const QString& text) { seen << text; });
    Animate(*w, std::move(actions));
    EXPECT_EQ(seen.size(), 5);
    EXPECT_EQ(seen.last(), "Quadripole : 5");
    EXPECT_FALSE(w->State().AnimationRunning);
    EXPECT_FALSE(Find<QToolButton>(w, "AnimGraph")->isChecked());
    EXPECT_FALSE(Find<QToolButton>(w, "AnimateActionBtn")->isChecked());
    EXPECT_EQ(Find<Pe3do>(w, "Pe3do1")->GetSubsets(), 1 + 2);
}

TEST_F(View3DTest, StoppingDuringAnAutomaticWaitEndsTheAnimationAtOnce) {
    auto s = MakeSequence(5);
    s->Device.StackMin = s->Device.StackMax = 255;  // a measurement of many seconds
    auto w = Show(std::move(s));
    ASSERT_GT(w->Current()->GetMeasureTime(), 4000);
    Find<QToolButton>(w, "AnimateActionBtn")->setChecked(true);
    int chains = 0;
    Animate(*w, {[&](const QString&) {
        ++chains;
        Find<QToolButton>(w, "AnimGraph")->click();
    }});
    EXPECT_EQ(chains, 1);
    EXPECT_FALSE(w->State().AnimationRunning);
    EXPECT_EQ(Find<QLabel>(w, "DataValueTxt")->text(), "Quadripole : 1");
    EXPECT_EQ(Find<Pe3do>(w, "Pe3do1")->GetSubsets(), 1 + 2);
}

TEST_F(View3DTest, AGraphWithReferenceLinesAnimatesItsElectrodesAsPoints) {
    auto w = Show(MakeSequence(3));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    w->Pe3do1GridNumber(0, 0, -1.0);
    Animate(*w, {[&](const QString&) {
        EXPECT_EQ(c.GetComparisonSubsets(), 0);
        EXPECT_EQ(c.GetSubsets(), 2);
        Find<QToolButton>(w, "AnimGraph")->click();
    }});
}

TEST_F(View3DTest, TheAnimationEndsWhenItsSequenceLeavesTheListDuringAWait) {
    std::vector<std::unique_ptr<TElectSequence>> list;
    list.push_back(MakeSequence(6));
    list.push_back(MakeSequence(0));
    auto w = Show(std::move(list));
    Find<QListWidget>(w, "SeqFileLb")->item(1)->setCheckState(Qt::Unchecked);
    Seam.Answers.push_back(TMsgResult::Yes);
    // A command whose action stays reachable (by its shortcut) excludes the animated sequence.
    Animate(*w, {[&](const QString&) {
        Find<QAction>(w, "ExcludeSeqBtn")->trigger();
        Find<QToolButton>(w, "StepByStepBtn")->setChecked(true);
    }});
    EXPECT_FALSE(w->State().AnimationRunning);
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(Find<Pe3do>(w, "Pe3do1")->GetSubsets(), 1);  // the chart of the sequence now shown
}

TEST_F(View3DTest, TheToolBarZoomsTurnsGridsAndOpensTheChartDialogs) {
    auto w = Show(MakeSequence(5));
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");

    Find<QToolButton>(w, "ZoomPlusBtn")->click();
    EXPECT_FLOAT_EQ(c.GetZDistance(), -21.0f);
    Find<QToolButton>(w, "ZoomMoinsBtn")->click();
    Find<QToolButton>(w, "ZoomMoinsBtn")->click();
    EXPECT_FLOAT_EQ(c.GetZDistance(), -23.0f);

    Find<QToolButton>(w, "GridBtn")->click();
    EXPECT_EQ(c.GetGraphForeColor(), 0xC0C0C0u);
    EXPECT_EQ(c.GetGridLineControl(), tdYPlusXAxis);
    Find<QToolButton>(w, "GridBtn")->click();
    EXPECT_EQ(c.GetGraphForeColor(), 0xFFFFFFu);
    EXPECT_EQ(c.GetGridLineControl(), tdNoGrid);

    Find<QToolButton>(w, "RotateBtn")->click();
    EXPECT_TRUE(c.GetAutoRotation());
    // The up arrow lowers the position; the chart takes the position the arrow started from.
    ASSERT_EQ(Find<TUpDown>(w, "RotationUpDownSpeed")->value(), 50);
    ClickArrow(Find<TUpDown>(w, "RotationUpDownSpeed"), true);
    EXPECT_EQ(Find<TUpDown>(w, "RotationUpDownSpeed")->value(), 25);
    EXPECT_EQ(c.GetRotationSpeed(), 50);
    EXPECT_TRUE(c.GetAutoRotation());
    ClickArrow(Find<TUpDown>(w, "RotationUpDownSpeed"), false);
    ClickArrow(Find<TUpDown>(w, "RotationUpDownSpeed"), false);
    EXPECT_EQ(Find<TUpDown>(w, "RotationUpDownSpeed")->value(), 75);
    EXPECT_EQ(c.GetRotationSpeed(), 50);
    // The animation's delay: shorter with the up arrow, longer with the down arrow.
    ASSERT_EQ(Find<TUpDown>(w, "AnimGraphUpDownSpeed")->value(), 350);
    ClickArrow(Find<TUpDown>(w, "AnimGraphUpDownSpeed"), false);
    EXPECT_EQ(Find<TUpDown>(w, "AnimGraphUpDownSpeed")->value(), 750);
    ClickArrow(Find<TUpDown>(w, "AnimGraphUpDownSpeed"), true);
    ClickArrow(Find<TUpDown>(w, "AnimGraphUpDownSpeed"), true);
    EXPECT_EQ(Find<TUpDown>(w, "AnimGraphUpDownSpeed")->value(), 0);
    Find<QToolButton>(w, "RotateBtn")->click();
    EXPECT_FALSE(c.GetAutoRotation());

    Find<QToolButton>(w, "PrintBtn")->click();
    Find<QToolButton>(w, "ExportBtn")->click();
    Find<QToolButton>(w, "MaximizeBtn")->click();
    // The chart's dialogs, each answered "cancel".
    EXPECT_EQ(Seam.PrinterDialogs, 1);
    EXPECT_EQ(Seam.ModalWindows, (QStringList{"ChartExportDlg", "ChartMaximizedDlg"}));
}

// Writes the View Graph tab of a computed dipole-dipole line beside the test program.
TEST_F(View3DTest, ViewGraphTabImage) {
    std::vector<std::unique_ptr<TElectSequence>> list;
    list.push_back(DipoleDipoleLine(48, 2.0f));
    auto w = Show(std::move(list));
    w->resize(1280, 860);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewGraphTbs"));
    QApplication::processEvents();
    w->FillGraph();
    QApplication::processEvents();
    const QImage img = Find<QWidget>(w, "ViewGraphTbs")->grab().toImage();
    ASSERT_TRUE(img.save(QCoreApplication::applicationDirPath() + "/view3d-graph.png"));
    const QImage chart = Find<Pe3do>(w, "Pe3do1")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x) red += (chart.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
    EXPECT_GT(red, 100);

    // The same tab while the animation shows its third chain.
    Animate(*w, {[&](const QString&) { Find<QToolButton>(w, "StepByStepBtn")->setChecked(true); },
                 [&](const QString&) { Find<QToolButton>(w, "StepByStepBtn")->setChecked(true); },
                 [&](const QString&) {
                     QApplication::processEvents();
                     Find<QWidget>(w, "ViewGraphTbs")
                         ->grab()
                         .save(QCoreApplication::applicationDirPath() + "/view3d-animation.png");
                     Find<QToolButton>(w, "AnimGraph")->click();
                 }});
}
