// The View Graph tab against the chart's limits: every zoom click shows, and the maximised
// chart is read out and turned as the one in the tab.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest/QTest>
#include <QWidget>

#include <optional>

#include "chart/ChartView.h"
#include "chart/Pe3dvcl.h"
#include "tests/ui/UiTest.h"

namespace {

// The middle of a solid dot of that colour (0x00BBGGRR): a pixel whose eight neighbours share it.
std::optional<QPoint> DotOf(const QImage& img, uint32_t bgr) {
    const QRgb want = qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)) & 0xFFFFFF;
    auto is = [&](int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == want; };
    for (int y = 1; y + 1 < img.height(); ++y)
        for (int x = 1; x + 1 < img.width(); ++x) {
            bool all = true;
            for (int dy = -1; dy <= 1 && all; ++dy)
                for (int dx = -1; dx <= 1 && all; ++dx) all = is(x + dx, y + dy);
            if (all) return QPoint(x, y);
        }
    return std::nullopt;
}

}  // namespace

class View3DChartTest : public UiTest {
protected:
    std::unique_ptr<TMainFrm> ShowLine(int quadripoles) {
        const QString path = Path("line.sqz");
        WriteSequence(*MakeSequence(quadripoles), path);
        WriteList({path});
        Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 0);
        auto w = Start();
        Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewGraphTbs"));
        w->FillGraph();
        QApplication::processEvents();
        return w;
    }
};

TEST_F(View3DChartTest, EveryZoomClickShowsAndTheLimitsHoldTheView) {
    auto w = ShowLine(40);
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    const auto image = [&] { return c.GethObject()->GetImage(); };
    const struct { QToolButton* toward; QToolButton* back; float limit;
    } ends[] = {{Find<QToolButton>(w, "ZoomPlusBtn"), Find<QToolButton>(w, "ZoomMoinsBtn"), chart::kNearestDistance},
                {Find<QToolButton>(w, "ZoomMoinsBtn"), Find<QToolButton>(w, "ZoomPlusBtn"), chart::kFarthestDistance}};
    for (const auto& end : ends) {
        QImage last = image();
        for (int clicks = 0; c.GetZDistance() != end.limit; ++clicks) {
            ASSERT_LT(clicks, 100);
            end.toward->click();
            EXPECT_NE(image(), last) << c.GetZDistance();
            last = image();
        }
        // One click more is refused and taken back: nothing moves, and the way back is one click.
        end.toward->click();
        EXPECT_FLOAT_EQ(c.GetZDistance(), end.limit);
        EXPECT_EQ(image(), last);
        end.back->click();
        EXPECT_NE(image(), last);
        EXPECT_NE(c.GetZDistance(), end.limit);
    }
}

TEST_F(View3DChartTest, TheMaximisedChartReadsOutAndTurnsAsTheTabsChartDoes) {
    auto w = ShowLine(40);
    Pe3do& c = *Find<Pe3do>(w, "Pe3do1");
    QLabel* readOut = Find<QLabel>(w, "DataValueTxt");
    const uint32_t colour = c.GetSubsetColors(0);
    bool ran = false;
    // The maximised window runs this script instead of a modal loop.
    Seam.WhileModal = [&](QDialog& d) {
        d.resize(1100, 800);
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        auto* view = d.findChild<chart::ChartView*>();
        ASSERT_NE(view, nullptr);
        const auto dot = DotOf(view->grab().toImage().convertToFormat(QImage::Format_RGB32), colour);
        ASSERT_TRUE(dot);
        readOut->clear();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, *dot);
        EXPECT_TRUE(readOut->text().startsWith("Quadripole acquisition (m): ")) << readOut->text().toStdString();
        const QString shown = readOut->text();
        // A drag turns the chart and leaves the read-out alone.
        const int rotation = c.Get("DegreeOfRotation").toInt();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, *dot);
        QTest::mouseMove(view, *dot + QPoint(80, 30));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, *dot + QPoint(80, 30));
        EXPECT_NE(c.Get("DegreeOfRotation").toInt(), rotation);
        EXPECT_EQ(readOut->text(), shown);
        d.close();
        ran = true;
    };
    Find<QToolButton>(w, "MaximizeBtn")->click();
    EXPECT_TRUE(ran);
}
