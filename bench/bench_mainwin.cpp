// Main window: start-up with 20 listed sequences of 16000 quadripoles up to the first shown
// window, and the display of a 16000-quadripole sequence.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "engine/Electsequence.h"
#include "tests/support/ScriptedSeam.h"
#include "ui/Main.h"

namespace {
// Turns every dialog down; the documents folder lies in a temporary home.
TScriptedSeam seam;

// A computed line sequence of 96 electrodes holding a full list.
std::unique_ptr<TElectSequence> FullSequence() {
    auto s = std::make_unique<TElectSequence>();
    TElectGrid& g = s->Grid;
    g.GridType = gtLine;
    g.DX = 2.5f;
    g.NX = 96;
    g.NY = 1;
    g.FirstElectrode = 1;
    g.LastElectrode = 96;
    g.ElectrodeCount = 96;
    for (int e = 1; e <= 96; ++e) g.Nodes[e] = TElectGridNode{1, e, 1};
    s->ComputeElectrodePositions();
    s->SetArrayType(1);
    for (int q = 0; q < kMaxQuadripoles; ++q) {
        const int a = 1 + q % 90, n = 1 + (q / 90) % 5;
        s->Device.Quadripoles[q] = TQuadripole{std::uint16_t(a), std::uint16_t(a + 1), std::uint16_t(a + 1 + n),
                                               std::uint16_t(a + 2 + n)};
        TQuadripoleInfo& info = s->QuadInfo[q];
        info.X = float(a) * 2.5f;
        info.Y = 0.0f;
        info.Depth = 0.4f * float(n);
        info.Number = std::uint16_t(q + 1);
        info.Group = 1;
        info.Level = std::int16_t(n);
        info.SpacingCoef = 1;
    }
    s->Device.LastQuadripole = kMaxQuadripoles - 1;
    for (int n = 0; n < 5; ++n) s->SpacingLevels[0].Selected[n] = 1;
    s->SpacingLevels[0].SelectedCount = 5;
    s->MeasurementCycles = kMaxQuadripoles;
    s->MaxChannelUsed = 1;
    return s;
}

// The working folder holds a list of count files of full sequences.
void PrepareList(int count) {
    const QString work = seam.DocumentsFolder() + "/PlanoraPro/";
    QDir().mkpath(work + "Sequence");
    auto s = FullSequence();
    QFile list(work + "SeqFilePath.lst");
    list.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i) {
        const QString path = work + QString("Sequence/line-%1.sqz").arg(i, 2, 10, QChar('0'));
        s->SaveToFile(path.toStdString());
        list.write(path.toLocal8Bit() + "\r\n");
    }
}

void BM_StartUpWithTwentyFullSequences(benchmark::State& state) {
    PrepareList(20);
    for (auto _ : state) {
        auto w = std::make_unique<TMainFrm>();
        w->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w->List().Count());
        state.PauseTiming();
        if (w->List().Count() != 20) state.SkipWithError("the list did not reopen");
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpWithTwentyFullSequences)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_DisplaySequenceOfSixteenThousand(benchmark::State& state) {
    PrepareList(1);
    TMainFrm w;
    w.show();
    QApplication::processEvents();
    // The sheets on screen, so each display also repaints the rows that are seen.
    auto* pages = w.findChild<QTabWidget*>("PageControl1");
    QWidget* sheets = w.findChild<QWidget*>("ViewSheetTbs");
    pages->setCurrentWidget(sheets);
    QApplication::processEvents();
    if (pages->currentWidget() != sheets) state.SkipWithError("the sheet tab was refused");
    for (auto _ : state) {
        w.DisplaySequence(true);
        QApplication::processEvents();
    }
    state.counters["quadripoles"] = w.Current()->QuadripoleCount();
}
BENCHMARK(BM_DisplaySequenceOfSixteenThousand)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path() + "/.config");
    seam.Documents = home.path() + "/Documents";
    seam.Program = home.path();
    SetSeam(&seam);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetSeam(nullptr);
    return 0;
}
