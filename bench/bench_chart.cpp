// Speed of the chart: one whole frame of a full sequence, and one step of the animation.
#include <QApplication>

#include <QWindow>
#include <benchmark/benchmark.h>

#include <memory>

#include "chart/Pe3dvcl.h"

namespace {

// 16000 quadripoles in 12 groups, 96 electrodes and one reference line, as the main window
// fills its chart.
std::unique_ptr<Pe3do> FullChart() {
    auto c = std::make_unique<Pe3do>();
    c->resize(1000, 700);
    ApplyMainFormChartValues(*c);
    // No scroll bars, so that the image is the whole 1000 x 700.
    c->Set("AllowHorzScrollBar", false);
    c->Set("AllowVertScrollBar", false);
    c->show();
    for (int i = 0; i < 1000 && !(c->windowHandle() && c->windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const int groups = 12, electrodes = 96, perGroup = 16000 / groups + 1;
    const int points = perGroup + 1;
    c->SetSubsets(groups + 2);
    c->SetPoints(points);
    for (int s = 0; s < groups + 2; ++s) {
        c->SetSubsetPointTypes(s, 3);
        c->SetSubsetColors(s, 0x010101u * uint32_t(s * 17));
        for (int p = 0; p < points; ++p) c->SetXData(s, p, 99999), c->SetYData(s, p, 99999), c->SetZData(s, p, 99999);
    }
    for (int q = 0; q < 16000; ++q) {
        const int s = q % groups, p = q / groups;
        c->SetXData(s, p, -float((q * 7) % (electrodes * 5)) * 0.5f);
        c->SetYData(s, p, -float(1 + (q / 97) % 30) * 0.7f);
        c->SetZData(s, p, 0);
    }
    c->SetSubsetPointTypes(groups, 0);
    for (int e = 1; e <= electrodes; ++e)
        c->SetXData(groups, e, -float(e - 1) * 2.5f), c->SetYData(groups, e, 0), c->SetZData(groups, e, 0);
    c->SetComparisonSubsets(1);
    c->SetSubsetLineTypes(groups + 1, 4);
    for (int p = 0; p < points; ++p)
        c->SetXData(groups + 1, p, c->GetXData(groups, p)), c->SetYData(groups + 1, p, -5), c->SetZData(groups + 1, p, 0);
    c->SetCustomGridNumbersY(true);
    c->SetPEactions(tdReinitAndReset);
    c->repaint();
    if (c->GethObject()->GetImage().size() != QSize(1000, 700)) qFatal("the chart is not 1000 x 700");
    return c;
}

void BM_FullFrame(benchmark::State& state) {
    auto c = FullChart();
    for (auto _ : state) {
        c->SetPEactions(tdReinitAndReset);
        c->repaint();
    }
}
BENCHMARK(BM_FullFrame)->Unit(benchmark::kMillisecond);

// The same turned and zoomed in: clipped points, axes moved into the plot, numbers kept clear.
void BM_FullFrameTurnedAndZoomed(benchmark::State& state) {
    auto c = FullChart();
    c->Set("DegreeOfRotation", 35);
    c->Set("ViewingHeight", 25);
    c->SetZDistance(-10);
    for (auto _ : state) {
        c->SetPEactions(tdReinitAndReset);
        c->repaint();
    }
}
BENCHMARK(BM_FullFrameTurnedAndZoomed)->Unit(benchmark::kMillisecond);

// One chain of four quadripoles: its points and its electrodes change colour and type.
void BM_AnimationStep(benchmark::State& state) {
    auto c = FullChart();
    int q = 0, paints = 0;
    QObject::connect(c->GethObject(), &chart::ChartEngine::painted, c.get(), [&] { ++paints; });
    for (auto _ : state) {
        for (int k = 0; k < 4; ++k) {
            const int qq = (q + k) % 16000;
            c->SetPointColors(qq % 12, qq / 12, 0x000000);
            c->SetPointTypes(qq % 12, qq / 12, 5);
        }
        for (int e = 0; e < 10; ++e) {
            c->SetPointColors(12, 1 + (q + e) % 96, e < 2 ? 0x0000FF : 0x800000);
            c->SetPointTypes(12, 1 + (q + e) % 96, 11);
        }
        c->SetPEactions(tdInvalidateImage);
        c->repaint();
        q += 4;
    }
    // Every step must have reached the screen, or the figure means nothing.
    if (paints < int(state.iterations())) state.SkipWithError("the control did not paint");
}
BENCHMARK(BM_AnimationStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
