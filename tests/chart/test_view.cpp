// The chart zoomed and turned: what stays readable, which distances it refuses, a drag against
// a click, the maximised window, the axis numbers and the walls of the box.
#include <QFontInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <stdexcept>
#include <string>

#include "chart/ChartView.h"
#include "tests/chart/ChartFixture.h"

using namespace chart;

namespace {
constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00;
constexpr int kMarked = 134;  // the point drawn in green, on the layer nearest to the eye in the front view

bool IsColour(QRgb px, uint32_t bgr) {
    return (px & 0xFFFFFF) == (qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)) & 0xFFFFFF);
}

// Pixels of a colour inside r.
int CountIn(const QImage& img, const QRect& r, uint32_t bgr) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += IsColour(img.pixel(x, y), bgr);
    return n;
}

// Pixels of text (black, smoothed at its edges) inside r.
int InkIn(const QImage& img, const QRectF& r) {
    const QRect in = r.toAlignedRect().intersected(img.rect());
    int n = 0;
    for (int y = in.top(); y <= in.bottom(); ++y)
        for (int x = in.left(); x <= in.right(); ++x) n += qGray(img.pixel(x, y)) < 110;
    return n;
}
}  // namespace

class ChartView3D : public ChartTest {
protected:
    // Red points filling a box 0..40 by -10..0 by 0..20, one of them green, with the Z axis shown.
    std::unique_ptr<Pe3do> Box(int w = 480, int h = 360) {
        auto c = MakeChart(w, h);
        std::vector<std::array<float, 3>> pts;
        for (int i = 0; i <= 8; ++i)
            for (int j = 0; j <= 5; ++j)
                for (int k = 0; k <= 4; ++k) pts.push_back({float(i * 5), -float(j * 2), float(k * 5)});
        Fill(*c, {pts}, int(pts.size()));
        c->SetSubsetColors(0, kRed);
        c->SetSubsetPointTypes(0, 3);
        c->SetPointColors(0, kMarked, kGreen);
        c->SetShowZAxis(tdGridPlusAxisLabels);
        c->SetPEactions(tdReinitAndReset);
        return c;
    }
    static void View(Pe3do& c, int rotation, int height, float distance = kDefaultDistance) {
        c.Set("DegreeOfRotation", rotation);
        c.Set("ViewingHeight", height);
        c.SetZDistance(distance);
        c.SetPEactions(tdReinitAndReset);
    }
    // The engine's image as the control last painted it.
    static QImage Image(Pe3do& c) {
        Grab(c);
        return c.GethObject()->GetImage().convertToFormat(QImage::Format_RGB32);
    }
    static const Frame& Drawn(Pe3do& c) { return c.GethObject()->GetFrame(); }
    static int Areas(Pe3do& c, int type) {
        const auto& a = Drawn(c).areas;
        return int(std::count_if(a.begin(), a.end(), [type](const HotSpotArea& h) { return h.type == type; }));
    }
    static void ExpectReadableNumbers(Pe3do& c, const std::string& what);
    static std::optional<QPoint> Centre(Pe3do& c, int type) {
        for (const HotSpotArea& h : Drawn(c).areas)
            if (h.type == type) return h.rect.center();
        return std::nullopt;
    }
};

TEST_F(ChartView3D, TenZoomInsLeaveTheTitlesAloneAndKeepTheAxesInSight) {
    for (auto [rotation, height] : {std::pair{0, 0}, {35, 25}}) {
        auto c = Box();
        View(*c, rotation, height);
        const QImage before = Image(*c);
        const QRect titles = Drawn(*c).titleArea;
        ASSERT_GT(titles.height(), 20);
        for (int i = 1; i <= 10; ++i) {
            c->SetZDistance(c->GetZDistance() + 1);
            c->SetPEactions(tdReinitAndReset);
            EXPECT_EQ(Image(*c).copy(titles), before.copy(titles)) << rotation << " after " << i;
        }
        const QImage img = Image(*c);
        const QRect plot = Drawn(*c).plotArea;
        // Points only inside the plot area, and it is full of them.
        EXPECT_EQ(Count(img, kRed) - CountIn(img, plot, kRed), 0) << rotation;
        EXPECT_GT(CountIn(img, plot, kRed), 20) << rotation;
        // A point cut off by the edge is not there to be clicked either.
        int hidden = 0;
        for (const DrawnPoint& d : Drawn(*c).drawn) {
            const QPoint at(int(d.sx), int(d.sy));
            if (!img.rect().contains(at) || plot.adjusted(-d.r, -d.r, d.r, d.r).contains(at)) continue;
            ++hidden;
            EXPECT_NE(c->GethObject()->HitTest(at).type, hotspot::Data) << at.x() << ',' << at.y();
        }
        EXPECT_GT(hidden, 0) << rotation;
        // Both main axes still show numbers, each one legible: black ink, no point over it.
        EXPECT_GE(Areas(*c, hotspot::GridNumberX), 2) << rotation;
        EXPECT_GE(Areas(*c, hotspot::GridNumberY), 2) << rotation;
        for (const QRectF& ink : Drawn(*c).numberInk) {
            EXPECT_GT(InkIn(img, ink), 0) << rotation;
            EXPECT_EQ(CountIn(img, ink.toAlignedRect().intersected(img.rect()), kRed), 0) << rotation;
        }
    }
}

TEST_F(ChartView3D, EveryDistanceItTakesShowsAndOneBeyondIsRefused) {
    auto c = Box(420, 320);
    QImage last;
    for (float d = kFarthestDistance; d <= kNearestDistance; d += 1) {
        c->SetZDistance(d);
        c->SetPEactions(tdReinitAndReset);
        const QImage img = Image(*c);
        EXPECT_NE(img, last) << d;
        last = img;
    }
    const int renders = c->GethObject()->RenderCount();
    for (float refused : {kNearestDistance + 1, kFarthestDistance - 1, 0.0f, std::numeric_limits<float>::infinity(),
                          std::numeric_limits<float>::quiet_NaN()}) {
        c->SetZDistance(refused);
        EXPECT_THROW(c->SetPEactions(tdReinitAndReset), std::out_of_range) << refused;
        EXPECT_EQ(Image(*c), last) << refused;
    }
    EXPECT_EQ(c->GethObject()->RenderCount(), renders);
    // The wheel and the keys stop at the limits instead.
    c->SetZDistance(kNearestDistance);
    c->SetPEactions(tdReinitAndReset);
    QWheelEvent wheel(QPointF(50, 50), c->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 360), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(c.get(), &wheel);
    EXPECT_EQ(c->GetZDistance(), kNearestDistance);
    c->SetZDistance(kFarthestDistance);
    c->SetPEactions(tdReinitAndReset);
    QTest::keyClick(c.get(), Qt::Key_PageDown);
    EXPECT_EQ(c->GetZDistance(), kFarthestDistance);
}

TEST_F(ChartView3D, ADragTurnsTheViewAndIsNoClick) {
    auto c = Box();
    QSignalSpy data(c.get(), &Pe3do::OnDataHotSpot);
    QSignalSpy grid(c.get(), &Pe3do::OnGridNumber);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    const auto rotation = [&] { return c->Get("DegreeOfRotation").toInt(); };
    const auto point = Find(Image(*c), kGreen);
    const auto number = Centre(*c, hotspot::GridNumberX);
    ASSERT_TRUE(point && number);
    const QPoint nothing(4, Drawn(*c).plotArea.center().y());
    for (const QPoint from : {*point, *number, nothing}) {
        const int before = rotation();
        QTest::mousePress(c.get(), Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(c.get(), from + QPoint(30, 12));
        QTest::mouseRelease(c.get(), Qt::LeftButton, Qt::NoModifier, from + QPoint(30, 12));
        EXPECT_NE(rotation(), before);
    }
    EXPECT_EQ(data.count(), 0);
    EXPECT_EQ(grid.count(), 0);
    EXPECT_EQ(click.count(), 0);
    // A hand that shakes a little still clicks.
    View(*c, 0, 0);
    const auto again = Find(Image(*c), kGreen);
    ASSERT_TRUE(again);
    QTest::mousePress(c.get(), Qt::LeftButton, Qt::NoModifier, *again);
    QTest::mouseMove(c.get(), *again + QPoint(2, 1));
    QTest::mouseRelease(c.get(), Qt::LeftButton, Qt::NoModifier, *again + QPoint(2, 1));
    ASSERT_EQ(data.count(), 1);
    EXPECT_EQ(data[0][1].toInt(), 0);
    EXPECT_EQ(data[0][2].toInt(), kMarked);
    EXPECT_EQ(rotation(), 0);
}

TEST_F(ChartView3D, TheMaximisedWindowTurnsZoomsScrollsAndReadsOut) {
    auto c = Box(420, 320);
    const QSize control = c->GethObject()->Size();
    QSignalSpy data(c.get(), &Pe3do::OnDataHotSpot);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    bool ran = false;
    seam.WhileModal = [&](QDialog& w) {
        w.resize(900, 680);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        auto* view = w.findChild<ChartView*>();
        ASSERT_NE(view, nullptr);
        const QImage first = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Drawn at its own size, not stretched, with the control's scroll bars.
        EXPECT_GT(c->GethObject()->GetImage().width(), control.width() * 2);
        EXPECT_EQ(c->GethObject()->GetImage().size(), c->GethObject()->Size());
        ASSERT_TRUE(view->HorzScrollBar()->isVisible() && view->VertScrollBar()->isVisible());
        EXPECT_EQ(view->HorzScrollBar()->maximum(), 359);
        EXPECT_EQ(view->VertScrollBar()->maximum(), 180);

        // A click on a point reads it out through the control's event.
        const auto at = Find(first, kGreen);
        ASSERT_TRUE(at);
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, *at);
        ASSERT_EQ(data.count(), 1);
        EXPECT_EQ(data[0][2].toInt(), kMarked);
        QTest::mouseDClick(view, Qt::LeftButton, Qt::NoModifier, *at);
        ASSERT_EQ(data.count(), 2);
        EXPECT_EQ(data[1][0].toInt(), 1);
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, *at);

        // A drag turns it and reads nothing out.
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, *at);
        QTest::mouseMove(view, *at + QPoint(60, -20));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, *at + QPoint(60, -20));
        EXPECT_EQ(c->Get("DegreeOfRotation").toInt(), 30);
        EXPECT_EQ(c->Get("ViewingHeight").toInt(), -10);
        EXPECT_EQ(data.count(), 2);
        EXPECT_NE(view->grab().toImage().convertToFormat(QImage::Format_RGB32), first);

        // The wheel zooms; a bar turns it, and the control's bar follows.
        QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &wheel);
        EXPECT_EQ(c->GetZDistance(), kDefaultDistance + 1);
        view->HorzScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(c->Get("DegreeOfRotation").toInt(), 45);
        EXPECT_EQ(view->HorzScrollBar()->value(), 45);
        EXPECT_EQ(c->HorzScrollBar()->value(), 45);

        // What the program changes meanwhile shows in it.
        c->SetSubsetColors(0, 0xFF00FF);
        c->SetPEactions(tdReinitAndReset);
        EXPECT_GT(Count(view->grab().toImage().convertToFormat(QImage::Format_RGB32), 0xFF00FF), 0);
        w.close();
        ran = true;
    };
    c->SetPEactions(tdMaximize);
    ASSERT_TRUE(ran);
    EXPECT_EQ(click.count(), 0);
    // Back in the control: its own size again, and the new view.
    Grab(*c);
    EXPECT_EQ(c->GethObject()->GetImage().size(), control);
    EXPECT_EQ(c->HorzScrollBar()->value(), 45);
}

namespace {
// The front, side and top views put an axis end on; turned views crowd the numbers of short axes.
const struct { const char* name; int rotation, height; } kViews[] = {
    {"front", 0, 0}, {"side", 90, 0}, {"top", 0, 90}, {"turned", 35, 25}, {"from below", 215, -30}, {"steep", 80, 60}};
}  // namespace

// Every number drawn shows, none covers another, and every axis keeps one at least.
void ChartView3D::ExpectReadableNumbers(Pe3do& c, const std::string& what) {
    const QImage img = Image(c);
    const auto& inks = Drawn(c).numberInk;
    for (size_t i = 0; i < inks.size(); ++i) {
        EXPECT_GT(InkIn(img, inks[i]), 0) << what;
        for (size_t j = i + 1; j < inks.size(); ++j) EXPECT_FALSE(inks[i].intersects(inks[j])) << what << ": " << i << ' ' << j;
    }
    // An axis seen end on keeps one number; one seen side on keeps several.
    for (int type : {hotspot::GridNumberX, hotspot::GridNumberY, hotspot::GridNumberZ})
        EXPECT_GE(Areas(c, type), 1) << what << ' ' << type;
}

TEST_F(ChartView3D, NoTwoAxisNumbersOverlap) {
    for (const QSize size : {QSize(360, 260), QSize(1000, 700)}) {
        auto c = Box(size.width(), size.height());
        for (const auto& v : kViews) {
            View(*c, v.rotation, v.height);
            ExpectReadableNumbers(*c, std::string(v.name) + ' ' + std::to_string(size.width()));
        }
        View(*c, 0, 0);
        EXPECT_GE(Areas(*c, hotspot::GridNumberX), 4);
        EXPECT_GE(Areas(*c, hotspot::GridNumberY), 4);
        View(*c, 90, 0);
        EXPECT_GE(Areas(*c, hotspot::GridNumberZ), 3);
        View(*c, 0, 90);
        EXPECT_GE(Areas(*c, hotspot::GridNumberZ), 3);
    }
}

// Wider or narrower digits, larger or smaller numbers: where two axes meet, an axis whose every
// number would touch the other's still keeps one, clear of them.
TEST_F(ChartView3D, EveryAxisKeepsANumberWhateverTheFontsWidths) {
    for (const QSize size : {QSize(360, 260), QSize(1000, 700)}) {
        auto c = Box(size.width(), size.height());
        for (const char* font : {"DejaVu Sans", "DejaVu Sans Mono"})
            for (double scale : {1.1, 1.5, 2.5}) {
                c->Set("LabelFont", QString(font));
                c->Set("FontSizeGNCntl", scale);
                for (const auto& v : kViews) {
                    View(*c, v.rotation, v.height);
                    ExpectReadableNumbers(*c, std::string(v.name) + ' ' + std::to_string(size.width()) + ' ' + font +
                                                  ' ' + std::to_string(scale));
                }
            }
    }
}

TEST_F(ChartView3D, ATurnedChartShowsItsSideWallAndFloorInTheirColours) {
    auto c = Box();
    c->Set("XZBackColor", 0x0000FFu);  // red floor
    c->Set("YBackColor", 0xFF0000u);   // blue side wall
    // Laid thinly over the white background, so that points and lines of that colour still show.
    const uint32_t floor = 0x8080FF, wall = 0xFF6666;
    const struct { int rotation, height; bool box; } views[] = {{0, 0, false}, {35, 25, true}, {215, -30, true}};
    for (const auto& v : views) {
        View(*c, v.rotation, v.height);
        const QImage img = Image(*c);
        if (v.box) {
            EXPECT_GT(Count(img, floor), 1000) << v.rotation;
            EXPECT_GT(Count(img, wall), 1000) << v.rotation;
        } else {  // face on, the walls are edges: the wall behind the data is the graph's background
            EXPECT_LT(Count(img, floor), 50);
            EXPECT_LT(Count(img, wall), 50);
        }
        EXPECT_GT(Count(img, 0xFFFFFF), 1000) << v.rotation;
    }
}

// The animation repairs single points; zoomed in, the repaired image is still the one a full
// render makes, points cut by the plot area's edge included.
TEST_F(ChartView3D, PointChangesOfAZoomedViewShowAsAFullRenderWould) {
    auto c = Box();
    View(*c, 35, 25, -9);
    Image(*c);
    const int renders = c->GethObject()->RenderCount();
    for (int p = 0; p < 270; p += 7) {
        c->SetPointTypes(0, p, p % 2 ? 11 : 5);
        c->SetPointColors(0, p, 0x800000);
    }
    c->SetPEactions(tdInvalidateImage);
    const QImage repaired = Image(*c);
    EXPECT_EQ(c->GethObject()->RenderCount(), renders);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_EQ(repaired, Image(*c));
}

// The tests measure text with the DejaVu fonts alone, whatever else the machine has.
TEST(ChartTestFonts, EveryFamilyTheChartAsksForIsADejaVuFont) {
    for (const char* family : {"Arial", "Times New Roman", "Sans Serif", "DejaVu Sans Mono"}) {
        const QString shown = QFontInfo(QFont(family)).family();
        EXPECT_TRUE(shown.startsWith("DejaVu Sans")) << family << ": " << shown.toStdString();
    }
}
