// The control: hot spots and their events, sizing, painting, input and scroll bars.
#include <QSignalSpy>

#include <climits>
#include <limits>
#include <stdexcept>
#include <string_view>

#include "tests/chart/ChartFixture.h"

using namespace chart;

class ChartControl : public ChartTest {
protected:
    // Three solid points of known colours in two subsets, the second point of subset 0 null.
    std::unique_ptr<Pe3do> Known() {
        auto c = MakeChart(420, 320);
        Fill(*c, {{{0, 0, 0}, {99999, 99999, 99999}, {40, -10, 0}}, {{20, -5, 0}}}, 3);
        c->SetSubsetColors(0, 0x0000FF);
        c->SetSubsetColors(1, 0x00FF00);
        c->SetSubsetPointTypes(0, 3);
        c->SetSubsetPointTypes(1, 5);
        c->SetPointColors(0, 2, 0xFF0000);  // the third point of subset 0 in blue
        c->SetPEactions(tdReinitAndReset);
        return c;
    }
    // Every grid-number hot spot of a type, by its centre, found by probing the image.
    static std::vector<std::pair<QPoint, double>> Numbers(Pe3do& c, int type) {
        std::vector<std::pair<QPoint, double>> out;
        std::vector<QRect> seen;
        const QSize s = c.GethObject()->GetImage().size();
        for (int y = 0; y < s.height(); y += 2)
            for (int x = 0; x < s.width(); x += 2) {
                const HotSpotArea a = c.GethObject()->HitTest(QPoint(x, y));
                if (a.type != type || std::find(seen.begin(), seen.end(), a.rect) != seen.end()) continue;
                seen.push_back(a.rect);
                out.emplace_back(a.rect.center(), c.GethObject()->GetItem(id::GridNumberValues, a.second).toDouble());
            }
        return out;
    }
};

TEST_F(ChartControl, APointGivesItsSubsetAndPoint) {
    auto c = Known();
    const QImage img = Grab(*c);
    QSignalSpy data(c.get(), &Pe3do::OnDataHotSpot);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    const struct { uint32_t colour; int subset, point; } points[] = {
        {0x0000FF, 0, 0}, {0xFF0000, 0, 2}, {0x00FF00, 1, 0}};
    for (const auto& p : points) {
        const auto at = Find(img, p.colour);
        ASSERT_TRUE(at.has_value()) << p.colour;
        data.clear();
        QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, *at);
        ASSERT_EQ(data.count(), 1) << p.colour;
        EXPECT_EQ(data[0][0].toInt(), 0);
        EXPECT_EQ(data[0][1].toInt(), p.subset);
        EXPECT_EQ(data[0][2].toInt(), p.point);
        data.clear();
        QTest::mouseDClick(c.get(), Qt::LeftButton, Qt::NoModifier, *at);
        ASSERT_FALSE(data.isEmpty());
        EXPECT_EQ(data.last()[0].toInt(), 1);  // the double click
    }
    EXPECT_EQ(click.count(), 0);  // a hot spot is not a plain click
}

TEST_F(ChartControl, ShiftOrCtrlGivesThePlainClick) {
    auto c = Known();
    const auto at = Find(Grab(*c), 0x0000FF);
    ASSERT_TRUE(at.has_value());
    QSignalSpy data(c.get(), &Pe3do::OnDataHotSpot);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    QSignalSpy down(c.get(), &Pe3do::OnMouseDown);
    for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier}) {
        QTest::mouseClick(c.get(), Qt::LeftButton, m, *at);
    }
    EXPECT_EQ(data.count(), 0);
    EXPECT_EQ(click.count(), 2);
    EXPECT_EQ(down.count(), 2);
}

TEST_F(ChartControl, AClickOnNothingIsAPlainClickAndAnUnconnectedHotSpotIsNot) {
    auto c = Known();
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(click.count(), 1);
    // No slot on OnDataHotSpot: the click still stops at the hot spot.
    const auto at = Find(Grab(*c), 0x00FF00);
    ASSERT_TRUE(at.has_value());
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, *at);
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ChartControl, NullPointsAreNoHotSpots) {
    auto c = Known();
    // Where the null point would be: give it a position, find it, then make it null again.
    c->SetXData(0, 1, 30);
    c->SetYData(0, 1, -2);
    c->SetZData(0, 1, 0);
    c->SetPointColors(0, 1, 0xFF00FF);
    c->SetPEactions(tdReinitAndReset);
    const auto at = Find(Grab(*c), 0xFF00FF);
    ASSERT_TRUE(at.has_value());
    c->SetXData(0, 1, 99999);
    c->SetYData(0, 1, 99999);
    c->SetZData(0, 1, 99999);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_FALSE(Find(Grab(*c), 0xFF00FF).has_value());
    QSignalSpy data(c.get(), &Pe3do::OnDataHotSpot);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, *at);
    EXPECT_EQ(data.count(), 0);
    EXPECT_EQ(click.count(), 1);
    // Data hot spots switched off: the points are no hot spots either.
    c->SetAllowDataHotSpots(false);
    c->SetPEactions(tdReinitAndReset);
    const auto red = Find(Grab(*c), 0x0000FF);
    ASSERT_TRUE(red.has_value());
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, *red);
    EXPECT_EQ(data.count(), 0);
}

TEST_F(ChartControl, AnAxisNumberGivesItsValue) {
    auto c = Known();
    // Y runs from -10 (bottom) to 0 (top); X from 0 to 40, drawn right to left (inverted).
    const auto ys = Numbers(*c, hotspot::GridNumberY);
    ASSERT_GE(ys.size(), 3u);
    auto top = *std::min_element(ys.begin(), ys.end(), [](auto& a, auto& b) { return a.first.y() < b.first.y(); });
    auto bottom = *std::max_element(ys.begin(), ys.end(), [](auto& a, auto& b) { return a.first.y() < b.first.y(); });
    EXPECT_DOUBLE_EQ(top.second, 0.0);
    EXPECT_DOUBLE_EQ(bottom.second, -10.0);
    const auto xs = Numbers(*c, hotspot::GridNumberX);
    ASSERT_GE(xs.size(), 3u);
    auto left = *std::min_element(xs.begin(), xs.end(), [](auto& a, auto& b) { return a.first.x() < b.first.x(); });
    EXPECT_DOUBLE_EQ(left.second, 40.0);

    QSignalSpy grid(c.get(), &Pe3do::OnGridNumber);
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, bottom.first);
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, left.first);
    ASSERT_EQ(grid.count(), 2);
    EXPECT_EQ(grid[0][1].toInt(), 0);  // a Y number
    EXPECT_DOUBLE_EQ(grid[0][2].toDouble(), -10.0);
    EXPECT_EQ(grid[1][1].toInt(), 1);  // an X number
    EXPECT_DOUBLE_EQ(grid[1][2].toDouble(), 40.0);
    // A turned chart shows its Z numbers; they report type 4.
    c->Set("DegreeOfRotation", 40);
    c->Set("ViewingHeight", 20);
    c->SetZData(1, 0, 6);
    c->SetShowZAxis(tdGridPlusAxisLabels);
    c->SetPEactions(tdReinitAndReset);
    const auto zs = Numbers(*c, hotspot::GridNumberZ);
    ASSERT_GE(zs.size(), 2u);
    grid.clear();
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, zs.front().first);
    ASSERT_EQ(grid.count(), 1);
    EXPECT_EQ(grid[0][1].toInt(), 4);
    EXPECT_DOUBLE_EQ(grid[0][2].toDouble(), zs.front().second);
    // The Z axis of a line is hidden: no numbers to click.
    c->SetShowZAxis(tdEmpty);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_TRUE(Numbers(*c, hotspot::GridNumberZ).empty());
}

TEST_F(ChartControl, HiddenAxesAndSwitchedOffNumbersAreNoHotSpots) {
    auto c = Known();
    const auto before = Numbers(*c, hotspot::GridNumberY);
    ASSERT_FALSE(before.empty());
    for (eShowAxis hidden : {tdNoLabels, tdAxisLabels, tdEmpty}) {
        c->Set("ShowYAxis", int(hidden));
        c->SetPEactions(tdReinitAndReset);
        EXPECT_TRUE(Numbers(*c, hotspot::GridNumberY).empty()) << hidden;
    }
    c->Set("ShowYAxis", int(tdGridPlusAxisLabels));
    c->SetAllowGridNumberHotSpotsY(false);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_TRUE(Numbers(*c, hotspot::GridNumberY).empty());
    QSignalSpy grid(c.get(), &Pe3do::OnGridNumber);
    QSignalSpy click(c.get(), &Pe3do::OnClick);
    QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, before.front().first);
    EXPECT_EQ(grid.count(), 0);
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ChartControl, CustomGridNumbersMayRewriteTheText) {
    auto c = Known();
    int asked = 0;
    QObject::connect(c.get(), &Pe3do::OnCustomGridnumbers, c.get(),
                     [&](int axisType, int, double number, char16_t* text) {
                         ++asked;
                         EXPECT_EQ(axisType, 0);
                         const QString s = QStringLiteral("%1 m").arg(-number);
                         std::copy_n(reinterpret_cast<const char16_t*>(s.utf16()), s.size() + 1, text);
                     });
    c->SetCustomGridNumbersY(true);
    const QImage plain = Grab(*c);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_GT(asked, 0);
    EXPECT_NE(Grab(*c), plain);
}

TEST_F(ChartControl, NotificationsFromAnotherEngineAreIgnored) {
    auto c = Known();
    ChartEngine other;
    QObject::connect(&other, &ChartEngine::notified, c.get(), &Pe3do::WMCommand);
    QSignalSpy popup(c.get(), &Pe3do::OnPopupMenu);
    QSignalSpy menu(c.get(), &Pe3do::OnCustomMenu);
    emit other.notified(notify::PopupMenu);
    emit other.notified(notify::CustomMenu);
    EXPECT_EQ(popup.count(), 0);
    EXPECT_EQ(menu.count(), 0);
    c->GethObject()->SetNumber(id::CustomMenuIndex, 2);
    c->GethObject()->SetNumber(id::CustomSubmenuIndex, 5);
    emit c->GethObject()->notified(notify::CustomMenu);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu[0][0].toInt(), 2);
    EXPECT_EQ(menu[0][1].toInt(), 5);
}

TEST_F(ChartControl, NeverSmallerThanFiftyByFifty) {
    auto c = Known();
    const struct { int w, h; } sizes[] = {{10, 10}, {49, 300}, {300, 1}, {0, 0}};
    for (const auto& s : sizes) {
        c->resize(s.w, s.h);
        EXPECT_GE(c->width(), 50);
        EXPECT_GE(c->height(), 50);
        EXPECT_GE(c->GethObject()->Size().width(), 50);
        EXPECT_GE(c->GethObject()->Size().height(), 50);
    }
    c->GethObject()->Resize(3, 7);
    EXPECT_EQ(c->GethObject()->Size(), QSize(50, 50));
}

TEST_F(ChartControl, PaintingIsOneOnlyInsideAPaint) {
    auto c = Known();
    std::vector<int> during;
    QObject::connect(c->GethObject(), &ChartEngine::painted, c.get(), [&] { during.push_back(c->GetPainting()); });
    EXPECT_EQ(c->GetPainting(), 0);
    c->repaint();
    ASSERT_FALSE(during.empty());
    EXPECT_EQ(during.back(), 1);
    EXPECT_EQ(c->GetPainting(), 0);

    // While a paint is under way another one draws nothing: a point change waits for it.
    const auto at = Find(Grab(*c), 0x0000FF);
    ASSERT_TRUE(at.has_value());
    c->SetPointColors(0, 0, 0x00FFFF);
    c->GethObject()->SetNumber(id::Painting, 1);
    const size_t paints = during.size();
    c->SetPEactions(tdInvalidateImage);
    c->repaint();
    EXPECT_EQ(during.size(), paints);
    EXPECT_EQ(c->GethObject()->GetImage().pixel(*at) & 0xFFFFFF, 0xFF0000u);  // still red
    c->GethObject()->SetNumber(id::Painting, 0);
    EXPECT_EQ(Grab(*c).pixel(*at) & 0xFFFFFF, 0xFFFF00u);  // yellow now
}

// One animation step: the repaired image is exactly the image drawn from scratch.
TEST_F(ChartControl, PointOverridesShowAtTheNextPaintAsAFullRenderWould) {
    auto c = MakeChart(500, 360);
    std::vector<std::vector<std::array<float, 3>>> sets(3);
    for (int i = 0; i < 300; ++i) sets[size_t(i % 3)].push_back({float(i % 40), -float(i / 40), 0});
    Fill(*c, sets, 100);
    for (int s = 0; s < 3; ++s) c->SetSubsetPointTypes(s, 3);
    c->SetSubsetColors(0, 0x0000FF);
    c->SetSubsetColors(1, 0x00FF00);
    c->SetSubsetColors(2, 0xFF0000);
    c->SetPEactions(tdReinitAndReset);
    Grab(*c);
    const int renders = c->GethObject()->RenderCount();
    const struct { int s, p, type; uint32_t colour; } changes[] = {
        {0, 5, 11, 0x000000}, {1, 6, 5, 0x800000}, {2, 7, 2, 0x808080}, {0, 8, 0, 0xC0C0C0}, {1, 99, 1, 0x123456}};
    for (const auto& ch : changes) {
        c->SetPointTypes(ch.s, ch.p, ch.type);
        c->SetPointColors(ch.s, ch.p, ch.colour);
    }
    c->SetPEactions(tdInvalidateImage);
    const QImage repaired = Grab(*c);
    EXPECT_EQ(c->GethObject()->RenderCount(), renders);  // repaired, not drawn anew
    c->SetPEactions(tdReinitAndReset);
    EXPECT_EQ(repaired, Grab(*c));
    // Clearing every override brings the subset colours back.
    c->SetPointColors(0, -1, 0);
    c->SetPointTypes(0, -1, 0);
    c->SetPEactions(tdInvalidateImage);
    EXPECT_EQ(Count(Grab(*c), 0x800000), 0);
}

TEST_F(ChartControl, KeysAndWheelTurnAndZoomTheView) {
    auto c = Known();
    c->setFocus();
    const QImage before = Grab(*c);
    const auto rotation = [&] { return c->Get("DegreeOfRotation").toInt(); };
    const auto height = [&] { return c->Get("ViewingHeight").toInt(); };
    QTest::keyClick(c.get(), Qt::Key_Right);
    EXPECT_EQ(rotation(), 5);
    QTest::keyClick(c.get(), Qt::Key_Left);
    QTest::keyClick(c.get(), Qt::Key_Left);
    EXPECT_EQ(rotation(), 355);
    QTest::keyClick(c.get(), Qt::Key_Up);
    EXPECT_EQ(height(), 5);
    EXPECT_NE(Grab(*c), before);
    QTest::keyClick(c.get(), Qt::Key_PageUp);
    EXPECT_EQ(c->GetZDistance(), -21.0f);
    QWheelEvent wheel(QPointF(50, 50), c->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(c.get(), &wheel);
    EXPECT_EQ(c->GetZDistance(), -23.0f);
    // Keyboard switched off: keys change nothing.
    c->Set("AllowUserInterface", int(tdNoKeyboard));
    QTest::keyClick(c.get(), Qt::Key_Right);
    EXPECT_EQ(rotation(), 355);
}

TEST_F(ChartControl, ScrollBarsMirrorTheEngine) {
    auto c = Known();
    QScrollBar* h = c->HorzScrollBar();
    EXPECT_TRUE(h->isVisible());
    EXPECT_EQ(h->maximum(), 359);
    QSignalSpy scrolled(c.get(), &Pe3do::OnHorzScroll);
    QSignalSpy pre(c.get(), &Pe3do::OnPreHScroll);
    h->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(c->Get("DegreeOfRotation").toInt(), 15);
    EXPECT_EQ(h->value(), 15);
    ASSERT_EQ(scrolled.count(), 1);
    EXPECT_EQ(scrolled[0][0].toInt(), int(SbPageDown));
    EXPECT_EQ(pre.count(), 1);
    // The engine's end-of-scroll report changes nothing.
    emit c->GethObject()->scrolled(Qt::Horizontal, SbEndScroll, 200);
    EXPECT_EQ(h->value(), 15);
    EXPECT_EQ(scrolled.count(), 1);
    // No range in the engine: 0..0 at 0, and the bar goes.
    c->Set("AllowHorzScrollBar", false);
    c->SetPEactions(tdReinitAndReset);
    EXPECT_EQ(h->maximum(), 0);
    EXPECT_EQ(h->value(), 0);
    EXPECT_FALSE(h->isVisible());
    EXPECT_EQ(c->GethObject()->Size().height(), c->height() - 0);
}

TEST_F(ChartControl, AnEmptyChartPaintsWithoutFault) {
    auto c = MakeChart(200, 150);
    for (auto [subsets, points] : {std::pair{0, 0}, {1, 1}, {3, 0}, {0, 5}}) {
        c->SetSubsets(subsets);
        c->SetPoints(points);
        if (subsets && points) {
            c->SetXData(0, 0, 99999);
            c->SetYData(0, 0, 99999);
            c->SetZData(0, 0, 99999);
        }
        c->SetComparisonSubsets(subsets);
        c->SetPEactions(tdReinitAndReset);
        const QImage img = Grab(*c);
        EXPECT_EQ(img.size(), QSize(200, 150));
        QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 75));
    }
}

// Values no chart would use are drawn, turned and exported without fault.
TEST_F(ChartControl, StrangeValuesDrawWithoutFault) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const struct { const char* name; QVariant value; } rows[] = {
        {"ManualScaleControlY", int(tdManualMinAndMax)}, {"ManualMinY", 0.0}, {"ManualMaxY", 1.0},
        {"ManualScaleControlX", int(tdManualMinAndMax)}, {"ManualMinX", double(nan)}, {"ManualMaxX", 1e300},
        {"ZDistance", inf}, {"DegreeOfRotation", INT_MAX}, {"ViewingHeight", INT_MIN},
        {"GridAspectX", 0.0f}, {"GridAspectZ", nan}, {"FontSizeGlobalCntl", nan}, {"RotationIncrement", 9},
    };
    for (const auto& r : rows) {
        auto c = Known();
        c->SetXData(0, 0, 1e30f);
        c->SetYData(0, 2, -inf);
        c->SetZData(1, 0, nan);
        c->SetYData(1, 0, -1e30f);
        c->SetComparisonSubsets(1);
        c->Set(r.name, r.value);
        if (std::string_view(r.name) == "ZDistance")  // refused: the chart keeps the view it has
            EXPECT_THROW(c->SetPEactions(tdReinitAndReset), std::out_of_range);
        else
            c->SetPEactions(tdReinitAndReset);
        Grab(*c);
        QTest::keyClick(c.get(), Qt::Key_Left);
        QTest::keyClick(c.get(), Qt::Key_Down);
        c->GethObject()->RotateStep();
        QTest::mouseClick(c.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
        EXPECT_TRUE(c->GethObject()->ExportImage(Path("strange.png"), ImageFormat::Png, QSize(200, 100))) << r.name;
    }
}

TEST_F(ChartControl, TheFocusFrameShowsWithTheFocus) {
    auto c = Known();
    c->activateWindow();
    (void)QTest::qWaitForWindowActive(c.get());
    c->setFocus();
    if (!c->hasFocus()) GTEST_SKIP() << "no keyboard focus on this platform";
    const QImage focused = Grab(*c);
    c->SetFocalRect(false);
    const QImage plain = Grab(*c);
    // The frame inverts the border: white desk turns black.
    EXPECT_EQ(plain.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(focused.pixel(0, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(focused.pixel(c->width() / 2, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(focused.pixel(c->width() / 2, 1) & 0xFFFFFF, plain.pixel(c->width() / 2, 1) & 0xFFFFFF);
}

TEST_F(ChartControl, AutoRotationTurnsTheChartStepByStep) {
    auto c = Known();
    ChartEngine* e = c->GethObject();
    c->SetAutoRotation(true);
    EXPECT_FALSE(e->IsAutoRotating());  // a setter alone starts nothing
    c->SetPEactions(tdInvalidateImage);
    Grab(*c);
    EXPECT_TRUE(e->IsAutoRotating());
    const int before = c->Get("DegreeOfRotation").toInt();
    e->RotateStep();
    EXPECT_EQ(c->Get("DegreeOfRotation").toInt(), (before + 1) % 360);  // tdIncBy1
    c->SetAutoRotation(false);
    c->SetPEactions(tdInvalidateImage);
    Grab(*c);
    EXPECT_FALSE(e->IsAutoRotating());
}
