#pragma once
// The "View Graph" tab: the 3-D chart of the sequence shown and of the other ticked entries,
// the animation of its acquisition order, the read-out of clicked points and the view tool bar.
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>

namespace Ui {
class TViewGraphPanel;
}
class QProgressBar;
class TControlEvents;
class TElectSequence;
class TSequenceList;
struct TWindowState;

// What the View Graph tab asks of the window.
struct TViewGraphWindow {
    // Rebuilds the chart as the window shows it (at the end of the animation).
    std::function<void()> FillGraph;
    // Puts the list and the file commands out of reach while the animation runs, or back.
    std::function<void(bool hold)> HoldCommands;
};

// The chart's titles: the sequence and its line, then what the other tabs show of it.
struct TGraphTitles {
    QString Main, Sub;
};

class TViewGraphPanel : public QWidget {
    Q_OBJECT
public:
    explicit TViewGraphPanel(QWidget* parent = nullptr);
    ~TViewGraphPanel() override;

    // Wires the controls through events. The animation shows the current sequence of list, its
    // progress on progress, and keeps state's AnimationRunning.
    void Connect(TControlEvents& events, const TSequenceList& list, TWindowState& state, QProgressBar* progress,
                 TViewGraphWindow window);

    // Rebuilds the chart from s, with others in grey (drawn as the layout of s maps its points).
    void FillGraph(const TElectSequence& s, std::span<const TElectSequence* const> others, const TGraphTitles& titles);
    // The main title, the chart shown again with it.
    void ShowGraphTitle(const QString& title);
    void SetGraphAxes(int gridType);
    // The bar of the view commands.
    QWidget* ToolBar() const;
    // The animation button is down: the animation runs or is about to.
    bool AnimationAsked() const;
    // Releases the animation button: a running animation sees it and stops.
    void ReleaseAnimation();

    // Runs the animation, chain by chain, while AnimGraph stays down.
    void AnimGraphClick();
    void EndAnimation();
    void Pe3do1DataHotSpot(int dblClick, int subsetIndex, int pointIndex);
    void Pe3do1GridNumber(int dblClick, int axisType, double number);
    void ZoomPlusBtnClick();
    void ZoomMoinsBtnClick();
    void PrintBtnClick();
    void ExportBtnClick();
    void MaximizeBtnClick();
    void RotateBtnClick();
    void RotationUpDownSpeedChanging(int position, bool& allowChange);
    void GridBtnClick();

private:
    std::unique_ptr<Ui::TViewGraphPanel> ui;
    const TSequenceList* List = nullptr;
    TWindowState* State = nullptr;
    QProgressBar* Progress = nullptr;
    TViewGraphWindow Window;
};
