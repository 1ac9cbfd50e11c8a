// The 3-D view of the current and the ticked sequences: the chart, its animation of the
// acquisition order, the read-out of clicked points and the view tool bar.
#include "ui/ViewGraphPanel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>
#include <algorithm>
#include <utility>
#include <vector>

#include "chart/Pe3dvcl.h"
#include "link/Eventpump.h"
#include "engine/SequenceList.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/QtHost.h"
#include "ui/UpDown.h"
#include "ui/WindowState.h"
#include "ui_ViewGraphPanel.h"

namespace {

constexpr float kNull = 99999.0f;  // the chart's null value in X, Y and Z (set by the form)

constexpr std::uint32_t kElectrodeColour = 0x800000;
constexpr std::uint32_t kOverlayColour = 0x808080;
constexpr std::uint32_t kAnchorColour = 0xFFFFFF;
constexpr std::uint32_t kRestColour = 0xC0C0C0;  // animation: not measured yet, or idle electrode
constexpr std::uint32_t kDoneColour = 0x808080;  // animation: measured
constexpr std::uint32_t kCurrentColour = 0x0000FF;
constexpr std::uint32_t kPotentialColour = 0x800000;
// Steps of the speed arrows, in the chart's rotation units and in ms per measurement.
constexpr int kRotationIncrement = -25;
constexpr int kAnimationIncrement = -400;

struct TChartXYZ {
    float X, Y, Z;
};

// Report points lie below the surface for lines and surfaces; in boreholes their depth is
// already signed, so the sign flips with the layout.
TChartXYZ QuadripolePoint(const TQuadripoleInfo& i, bool borehole) {
    return {-i.X, borehole ? i.Depth : -i.Depth, -i.Y};
}

TChartXYZ ElectrodePoint(const TElectrodeXYZ& e, bool borehole) {
    return {-e.X, borehole ? -e.Z : e.Z, -e.Y};
}

void Put(Pe3do& c, int subset, int point, const TChartXYZ& v) {
    c.SetXData(subset, point, v.X);
    c.SetYData(subset, point, v.Y);
    c.SetZData(subset, point, v.Z);
}

void NullSubset(Pe3do& c, int subset, int points) {
    for (int p = 0; p < points; ++p) Put(c, subset, p, {kNull, kNull, kNull});
}

// Colour of a quadripole group by its spacing coefficient; groups of coefficient 0 (gap
// fillers) and of unknown coefficients are drawn with point type 2.
std::uint32_t SpacingColour(int coef, bool& otherType) {
    static const std::uint32_t kColours[10] = {0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000,
                                               0xFF00FF, 0xFFFF00, 0x800000, 0x800080, 0x808000};
    otherType = coef == 0 || coef < 0 || coef > 9;
    return coef >= 0 && coef <= 9 ? kColours[coef] : 0x800000;
}

int ClampedCount(const TElectSequence& s) { return std::clamp(s.QuadripoleCount(), 0, kMaxQuadripoles); }

// Chart point of quadripole q: (subset, point), false when its numbers place it nowhere.
// Subset 0 with point -1 would address the whole data array, so number 0 is never used.
bool QuadripoleSlot(const TQuadripoleInfo& i, int& subset, int& point) {
    subset = int(i.Group) - 1;
    point = int(i.Number) - 1;
    return subset >= 0 && point >= 0;
}

// Holds the chart's Z scale at the one it showed when made, until Restore. A line's points all
// lie at Z = 0, which only the anchor of the static chart places on the front face, where the
// X axis is drawn: without it they would sit in the middle of the box and, once it is turned,
// beside their X axis numbers.
class TKeptZScale {
public:
    explicit TKeptZScale(Pe3do& c)
        : Chart(c),
          Control(c.Get("ManualScaleControlZ")),
          Min(c.Get("ManualMinZ")),
          Max(c.Get("ManualMaxZ")) {
        const chart::AxisModel& z = c.GethObject()->Model().z;
        c.Set("ManualScaleControlZ", int(tdManualMinAndMax));
        c.Set("ManualMinZ", z.min);
        c.Set("ManualMaxZ", z.max);
    }
    void Restore() {
        Chart.Set("ManualScaleControlZ", Control);
        Chart.Set("ManualMinZ", Min);
        Chart.Set("ManualMaxZ", Max);
    }

private:
    Pe3do& Chart;
    QVariant Control, Min, Max;
};

}  // namespace

TViewGraphPanel::TViewGraphPanel(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TViewGraphPanel>()) {
    ui->setupUi(this);
}

TViewGraphPanel::~TViewGraphPanel() = default;

void TViewGraphPanel::Connect(TControlEvents& e, const TSequenceList& list, TWindowState& state,
                              QProgressBar* progress, TViewGraphWindow window) {
    List = &list;
    State = &state;
    Progress = progress;
    Window = std::move(window);
    Pe3do* chart = ui->Pe3do1;
    ApplyMainFormChartValues(*chart);
    e.On(chart, &Pe3do::OnDataHotSpot,
         [this](int dbl, int subset, int point) { Pe3do1DataHotSpot(dbl, subset, point); });
    e.On(chart, &Pe3do::OnGridNumber,
         [this](int dbl, int type, double number) { Pe3do1GridNumber(dbl, type, number); });
    // Only a click starts or stops: setting a button's state from code runs no handler.
    e.OnClick(ui->AnimGraph, [this] { AnimGraphClick(); });
    e.OnClick(ui->ZoomPlusBtn, [this] { ZoomPlusBtnClick(); });
    e.OnClick(ui->ZoomMoinsBtn, [this] { ZoomMoinsBtnClick(); });
    e.OnClick(ui->PrintBtn, [this] { PrintBtnClick(); });
    e.OnClick(ui->ExportBtn, [this] { ExportBtnClick(); });
    e.OnClick(ui->MaximizeBtn, [this] { MaximizeBtnClick(); });
    e.OnClick(ui->RotateBtn, [this] { RotateBtnClick(); });
    e.OnClick(ui->GridBtn, [this] { GridBtnClick(); });
    // The up arrows speed up: the rotation and the animation take shorter delays.
    ui->RotationUpDownSpeed->SetIncrement(kRotationIncrement);
    ui->AnimGraphUpDownSpeed->SetIncrement(kAnimationIncrement);
    // The chart takes the position the arrow starts from.
    e.OnChanging(ui->RotationUpDownSpeed, [this](bool& allow, int, int) {
        RotationUpDownSpeedChanging(ui->RotationUpDownSpeed->value(), allow);
    });
}

QWidget* TViewGraphPanel::ToolBar() const { return ui->GraphToolbar; }

bool TViewGraphPanel::AnimationAsked() const { return ui->AnimGraph->isChecked(); }

void TViewGraphPanel::ReleaseAnimation() { ui->AnimGraph->setChecked(false); }

void TViewGraphPanel::SetGraphAxes(int gridType) {
    Pe3do& c = *ui->Pe3do1;
    if (gridType == gtBorehole) {
        c.SetZAxisLabel("Z spacing (m)");
        c.SetYAxisLabel("Z spacing (m)");
    } else {
        c.SetZAxisLabel("Y spacing (m)");
        c.SetYAxisLabel("Report point (m)");
    }
    if (gridType == gtLine || gridType == gtBorehole)
        c.SetShowZAxis(tdEmpty);
    else if (gridType == gtSurface && ui->GridBtn->isChecked())
        c.SetShowZAxis(tdGridPlusAxisLabels);
}

void TViewGraphPanel::ShowGraphTitle(const QString& title) {
    Pe3do& c = *ui->Pe3do1;
    c.SetMainTitle(title);
    c.SetPEactions(tdReinitAndReset);
}

void TViewGraphPanel::FillGraph(const TElectSequence& s, std::span<const TElectSequence* const> others,
                                const TGraphTitles& titles) {
    Pe3do& c = *ui->Pe3do1;
    const TElectGrid& g = s.Grid;
    const bool borehole = g.GridType == gtBorehole;
    const int G = s.GetMaxGroup();
    int P = s.GetMaxQuadNumber();

    c.SetMainTitle(titles.Main);
    c.SetSubTitle(titles.Sub);
    c.SetXAxisLabel("X spacing (m)");

    if (G <= 0) {
        c.SetComparisonSubsets(0);  // no reference line outlives the rebuild
        c.SetSubsets(1);
        c.SetPoints(1);
        Put(c, 0, 0, {kNull, kNull, kNull});
    } else {
        c.SetCustomGridNumbersY(true);
        c.SetXData(0, -1, 0);
        c.SetYData(0, -1, 0);
        c.SetZData(0, -1, 0);
        c.SetComparisonSubsets(0);
        c.SetAutoScaleData(false);
        // The engine takes the settings in; the image is drawn once, from the rebuilt data, at
        // the end (drawing it here too would only draw points that are about to go).
        c.SetPEactions(tdReinitialize);

        for (const TElectSequence* o : others) P = std::max(P, ClampedCount(*o));
        const int K = int(others.size());
        P = std::max(P, g.LastElectrode);
        const int subsets = G + K + 2, points = P + 1;
        c.SetSubsets(subsets);
        c.SetPoints(points);
        c.SetZDistance(-22.0f);
        c.SetPEactions(tdReinitialize);
        QCoreApplication::processEvents();

        SetGraphAxes(g.GridType);

        // The first quadripole of each group, in list order, colours it.
        const int count = ClampedCount(s);
        std::vector<int> first(std::size_t(subsets), -1);
        for (int q = count - 1; q >= 0; --q) {
            const int group = int(s.QuadInfo[q].Group) - 1;
            if (group >= 0 && group < subsets) first[std::size_t(group)] = q;
        }
        for (int k = 0; k < subsets; ++k) {
            c.SetSubsetPointTypes(k, 3);
            if (first[std::size_t(k)] >= 0) {
                bool otherType = false;
                c.SetSubsetColors(k, SpacingColour(s.QuadInfo[first[std::size_t(k)]].SpacingCoef, otherType));
                if (otherType) c.SetSubsetPointTypes(k, 2);
            }
            NullSubset(c, k, points);
        }
        for (int q = 0; q < count; ++q) {
            int subset, point;
            if (QuadripoleSlot(s.QuadInfo[q], subset, point)) Put(c, subset, point, QuadripolePoint(s.QuadInfo[q], borehole));
        }
        // Other sequences in grey, drawn as the current layout maps its points.
        for (int k = 0; k < K; ++k) {
            const TElectSequence& o = *others[std::size_t(k)];
            c.SetSubsetPointTypes(G + k, 6);
            c.SetSubsetColors(G + k, kOverlayColour);
            for (int q = 0; q < ClampedCount(o); ++q) Put(c, G + k, q, QuadripolePoint(o.QuadInfo[q], borehole));
        }
        const int electrodes = G + K;
        c.SetSubsetPointTypes(electrodes, 0);
        c.SetSubsetColors(electrodes, kElectrodeColour);
        for (int e = std::max(0, g.FirstElectrode); e <= g.LastElectrode && e < kMaxElectrodes; ++e)
            if (g.Nodes[e].Used != 0) Put(c, electrodes, e, ElectrodePoint(s.Device.Electrodes[e], borehole));
        if (g.GridType == gtLine) {
            const int anchor = G + K + 1;
            const TQuadripoleInfo& last = s.QuadInfo[std::clamp(s.Device.LastQuadripole, 0, kMaxQuadripoles - 1)];
            c.SetSubsetColors(anchor, kAnchorColour);
            c.SetSubsetPointTypes(anchor, 1);
            c.SetZData(anchor, P, -0.1f);
            c.SetXData(anchor, P, -last.X);
            c.SetYData(anchor, P, -last.Depth);
        }
    }
    // The engine takes the data in when it is re-initialised: without it the image would
    // show the points as they were before this rebuild.
    c.SetPEactions(tdReinitialize);
    c.SetPEnarg1(0);
    c.SetPEnarg2(0);
    c.SetPEactions(tdInvalidateImage);
    c.SetPEactions(tdResetImage);
}

void TViewGraphPanel::AnimGraphClick() {
    if (!ui->AnimGraph->isChecked()) return;  // the running animation notices it
    TElectSequence* const& current = List->CurrentSequence();
    if (State->AnimationRunning || !current) return;
    Pe3do& c = *ui->Pe3do1;
    TElectSequence& s = *current;
    const TElectGrid& g = s.Grid;
    const bool borehole = g.GridType == gtBorehole;

    State->AnimationRunning = true;
    Window.HoldCommands(true);

    const int G = s.GetMaxGroup();
    int P = s.GetMaxQuadNumber();
    c.SetMainTitle(QString());
    c.SetSubTitle(QString());
    c.SetXAxisLabel("X spacing (m)");
    ui->AnimGraphUpDownSpeed->setValue(s.GetMeasureTime());

    const int count = ClampedCount(s);
    // Every point where the static chart just before put it, against its axes, at every rotation.
    TKeptZScale zScale(c);
    if (G <= 0) {
        c.SetComparisonSubsets(0);
        c.SetSubsets(1);
        c.SetPoints(1);
        Put(c, 0, 0, {kNull, kNull, kNull});
    } else {
        c.SetXData(0, -1, 0);
        c.SetYData(0, -1, 0);
        c.SetZData(0, -1, 0);
        P = std::max(P, g.LastElectrode);
        // Reference lines would turn the electrode subset into a line: none in the animation.
        c.SetComparisonSubsets(0);
        c.SetSubsets(G + 1);
        c.SetPoints(P + 1);
        c.SetZDistance(-22.0f);
        c.SetPEactions(tdReinitAndReset);
        SetGraphAxes(g.GridType);
        for (int k = 0; k < G; ++k) {
            c.SetSubsetPointTypes(k, 1);
            NullSubset(c, k, P + 1);
        }
        for (int q = 0; q < count; ++q) {
            int subset, point;
            if (!QuadripoleSlot(s.QuadInfo[q], subset, point)) continue;
            Put(c, subset, point, QuadripolePoint(s.QuadInfo[q], borehole));
            c.SetPointColors(subset, point, kRestColour);
        }
        c.SetSubsetPointTypes(G, 0);
        NullSubset(c, G, P + 1);
        for (int e = std::max(0, g.FirstElectrode); e <= g.LastElectrode && e < kMaxElectrodes; ++e)
            if (g.Nodes[e].Used != 0) {
                Put(c, G, e, ElectrodePoint(s.Device.Electrodes[e], borehole));
                c.SetPointColors(G, e, kRestColour);
            }
    }
    // The placed points go into the image once; each chain then only repaints it.
    c.SetPEactions(tdReinitAndReset);

    const int electrodes = std::max(G, 0);
    auto electrode = [&](int e, int type, std::uint32_t colour) {
        c.SetPointTypes(electrodes, e, type);
        c.SetPointColors(electrodes, e, colour);
    };
    auto own = [&](int q, int type, std::uint32_t colour) {
        int subset, point;
        if (!QuadripoleSlot(s.QuadInfo[q], subset, point)) return;
        c.SetPointTypes(subset, point, type);
        c.SetPointColors(subset, point, colour);
    };

    Progress->setMaximum(count);
    Progress->setValue(0);
    int q = 0, chain = 0;
    while (q < count) {
        // The list may be replaced by a command run during a wait (the tool bar stays usable).
        if (current != &s || ClampedCount(s) != count) break;
        QElapsedTimer t0;
        t0.start();
        if (q > 0)
            for (int p = q - chain; p < q; ++p) {
                const TQuadripole& d = s.Device.Quadripoles[p];
                for (int e : {int(d.A), int(d.B), int(d.M), int(d.N)}) electrode(e, 0, kRestColour);
                own(p, 2, kDoneColour);
            }
        chain = std::clamp(s.GetChannelGroupSize(q), 1, count - q);
        const TQuadripole& first = s.Device.Quadripoles[q];
        electrode(first.A, 11, kCurrentColour);
        electrode(first.B, 11, kCurrentColour);
        for (int k = q; k < q + chain; ++k) {
            const TQuadripole& d = s.Device.Quadripoles[k];
            electrode(d.M, 11, kPotentialColour);
            electrode(d.N, 11, kPotentialColour);
            own(k, s.QuadInfo[k].Level < 0 ? 3 : 5, 0x000000);
        }
        c.SetPEactions(tdInvalidateImage);
        QString text = "Quadripole : " + QString::number(q + 1);
        if (chain != 1) text += ".." + QString::number(q + chain);
        ui->DataValueTxt->setText(text);
        q += chain;
        Progress->setValue(q);

        if (ui->AnimateActionBtn->isChecked()) {
            do {
                PumpEvents(10);
            } while (ui->AnimGraph->isChecked() && t0.elapsed() < 0.25 * ui->AnimGraphUpDownSpeed->value());
        } else {
            do {
                PumpEvents(50);
            } while (!ui->StepByStepBtn->isChecked() && !ui->AnimateActionBtn->isChecked() &&
                     ui->AnimGraph->isChecked());
        }
        ui->StepByStepBtn->setChecked(false);
        if (!ui->AnimGraph->isChecked()) break;
    }
    ui->AnimGraph->setChecked(false);
    zScale.Restore();
    EndAnimation();
}

void TViewGraphPanel::EndAnimation() {
    Pe3do& c = *ui->Pe3do1;
    {
        TWaitCursor wait;
        c.SetPointColors(0, -1, 0);
        c.SetPointTypes(0, -1, 0);
        Window.FillGraph();
    }
    Window.HoldCommands(false);
    ui->StepByStepBtn->setChecked(false);
    ui->AnimateActionBtn->setChecked(false);
    State->AnimationRunning = false;
    Progress->setValue(0);
}

void TViewGraphPanel::Pe3do1DataHotSpot(int, int subsetIndex, int pointIndex) {
    Pe3do& c = *ui->Pe3do1;
    const QString text = Format1(-c.GetXData(subsetIndex, pointIndex)) + " / " +
                         Format1(c.GetYData(subsetIndex, pointIndex)) + " / " +
                         Format1(-c.GetZData(subsetIndex, pointIndex));
    ui->DataValueTxt->setText((c.GetSubsetPointTypes(subsetIndex) == 0 ? "Node position (m): "
                                                                       : "Quadripole acquisition (m): ") +
                              text);
}

void TViewGraphPanel::Pe3do1GridNumber(int, int, double number) {
    Pe3do& c = *ui->Pe3do1;
    const int S = c.GetSubsets(), C = c.GetComparisonSubsets();
    c.SetSubsets(S + 1);
    c.SetComparisonSubsets(C + 1);
    c.SetSubsetColors(S, 0x800000);
    c.SetSubsetLineTypes(S, 4);
    // Through the electrodes of the rebuilt chart, however many lines were added since.
    const int electrodes = S - C - 2;
    const int points = c.GetPoints();
    for (int p = 0; p < points; ++p) {
        c.SetZData(S, p, 0.0f);
        c.SetXData(S, p, c.GetXData(electrodes, p));
        c.SetYData(S, p, float(number));
    }
    c.SetPEactions(tdReinitAndReset);
}

namespace {
constexpr float kZoomStep = 1.0f;  // of the viewing distance, per click

// Moves the viewing distance by step; a distance the chart refuses is taken back, and the
// chart is shown from the one it had.
void Zoom(Pe3do& c, float step) {
    c.SetZDistance(c.GetZDistance() + step);
    try {
        c.SetPEactions(tdReinitAndReset);
    } catch (const chart::EViewingDistance&) {
        c.SetZDistance(c.GetZDistance() - step);
        c.SetPEactions(tdReinitAndReset);
    }
}
}  // namespace

void TViewGraphPanel::ZoomPlusBtnClick() { Zoom(*ui->Pe3do1, kZoomStep); }

void TViewGraphPanel::ZoomMoinsBtnClick() { Zoom(*ui->Pe3do1, -kZoomStep); }

void TViewGraphPanel::PrintBtnClick() { ui->Pe3do1->SetPEactions(tdPrintDialog); }

void TViewGraphPanel::ExportBtnClick() { ui->Pe3do1->SetPEactions(tdExportDialog); }

void TViewGraphPanel::MaximizeBtnClick() { ui->Pe3do1->SetPEactions(tdMaximize); }

void TViewGraphPanel::RotateBtnClick() {
    Pe3do& c = *ui->Pe3do1;
    c.SetAutoRotation(ui->RotateBtn->isChecked());
    c.SetPEactions(tdInvalidateImage);
}

void TViewGraphPanel::RotationUpDownSpeedChanging(int position, bool& allowChange) {
    Pe3do& c = *ui->Pe3do1;
    c.SetRotationSpeed(position);
    c.SetAutoRotation(false);
    c.SetPEactions(tdInvalidateImage);
    c.SetAutoRotation(ui->RotateBtn->isChecked());
    c.SetPEactions(tdInvalidateImage);
    allowChange = true;
}

void TViewGraphPanel::GridBtnClick() {
    Pe3do& c = *ui->Pe3do1;
    if (ui->GridBtn->isChecked()) {
        c.SetGraphForeColor(0xC0C0C0);
        c.SetGridLineControl(tdYPlusXAxis);
    } else {
        c.SetGraphForeColor(0xFFFFFF);
        c.SetGridLineControl(tdNoGrid);
    }
    c.SetPEactions(tdReinitAndReset);
}
