#pragma once
// The "Configuration" tab: the array type, the channels, the meter's parameters, the remote
// electrodes, the name and comment, the multi-channel options, the depth-level grid with its
// automatic creation commands, and the compute and roll-along commands with their shift prompt.
// It also keeps the info panel below the tabs up to date with its edits.
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "engine/Compute.h"
#include "engine/SequenceEditor.h"

namespace Ui {
class TConfigurationPanel;
}
class QLineEdit;
class QPainter;
class TControlEvents;
class TElectSequence;
class TInfoPanel;
class TSequenceList;

// What the Configuration tab asks of the window: the commands that compute and save (each
// shows what it did), and the display of the whole sequence.
struct TConfigurationWindow {
    // The compute commands' refusals, shown: true when the command may go on.
    std::function<bool()> MayCompute;
    std::function<bool()> MayShift;
    // Compute then save, the spread moved by the node shifts given (0: not moved).
    std::function<void(int dx, int dy)> ComputeAndSave;
    // A new sequence for the spread moved by the shifts, computed and saved.
    std::function<void(int dx, int dy)> RollAlongAndSave;
    // Every control from the current sequence, the views left as they are.
    std::function<void()> DisplaySequence;
};

class TConfigurationPanel : public QWidget {
    Q_OBJECT
public:
    explicit TConfigurationPanel(QWidget* parent = nullptr);
    ~TConfigurationPanel() override;

    // Wires the controls through events; the edits go to the current sequence of list, and the
    // figures they change show in info.
    void Connect(TControlEvents& events, const TSequenceList& list, TInfoPanel& info, TConfigurationWindow window);
    // The titles of the depth-level grid and its size.
    void SetUpSpacingLevelGrid();

    // ---- display ----
    // The parameters, the cells and the commands of s in every control of the tab, and its
    // figures in the info panel; reads s and writes nothing into it.
    void ShowSequence(const TElectSequence& s);
    // The array list of the grid type (borehole or not) and its remote electrodes.
    void ShowArrayList(bool borehole);
    // The automatic-creation commands for the sequence shown (the location grid laid out or
    // not); the depth prompt closes.
    void UpdateDepthLevelCommands(bool gridLaidOut);
    // ComputeBtn for s: there are cells chosen or quadripoles.
    void UpdateComputeButton(const TElectSequence& s);
    // The sequence name as it is typed.
    QString SequenceName() const;
    // "config (3-6;500 ms)": the stacks and the injection time as the tab shows them.
    QString MeterCaption() const;
    // The reversal, the optimisation and the polarisation deletion as their boxes say; the
    // reversal is confirmed first (Cancel unticks it).
    TComputeOptions ReadComputeOptions();

    // ---- acquisition parameters ----
    // Numeric edits commit when they are left: out-of-range values are clamped with a beep.
    void StdChannelEdnExit();
    void OptimizationChannelEdnExit();
    void QMaxEdnExit();
    void StackMinEdnExit();
    void StackMaxEdnExit();
    void VabMaxEdtExit();
    // Run before an arrow steps its edit: the focus goes to the edit (allowChange is left as is).
    void StdChannelEdnUpDownChanging(bool& allowChange);
    void ChannelEdnUpDownChanging(bool& allowChange);
    void QMaxEdnUpDownChanging(bool& allowChange);
    void StackMinEdnUpDownChanging(bool& allowChange);
    void StackMaxEdnUpDownChanging(bool& allowChange);
    void VabMaxEdtUpDownChanging(bool& allowChange);
    void RhoOnlyRdBtnClick();
    void RhoIPRdBtnClick();
    // Presets of the meter parameters, applied when the radio button receives the focus.
    void RhoOnlyRdBtnEnter();
    void RhoIPRdBtnEnter();
    void VpRdBtnClick();
    void VabRdBtnClick();
    // The controls of the Rho/IP choice and of the voltage choice, for the current sequence.
    void ShowRhoIPControls(bool rhoIP);
    void ShowVoltageControls(bool vp);
    void TimeCBClick();
    void IPModeCBClick();
    void VmnCBClick();
    void VabCBClick();
    void PlanoraNameTxtExit();
    void CommentEdtExit();
    void ArrayTypeListClick();
    void BoreholeArrayTypeListClick();
    // The channel counts of the current sequence and their up-downs' ranges.
    void ShowChannels();
    void XCaPmTxtExit();
    void YCaPmTxtExit();
    void XCbPnTxtExit();
    void YCbPnTxtExit();
    void MultiChannelOptimizationCbClick();
    void AllowDummyQuadripolesCbClick();
    void DelPolarEffectCbClick();
    // Shows and labels the remote-electrode edits for the current array type.
    void UpdateRemoteElectrodePanel();
    // The IP timing dialog, shown until its timing fits the injection time.
    void IPModeProgBtnClick();
    // The strap hint shows while the pointer is over its button, and goes when it reaches the
    // meter's parameters.
    void StrapForPopolBtnMouseMove();
    void ReskonGBMouseMove();

    // ---- depth-level grid and automatic creation ----
    // Brings the grid and the row counts in line with the current depth tables.
    void FillSpacingLevelGrid();
    void SpacingLevelGdDrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected);
    void SpacingLevelGdDblClick();
    void SpacingLevelGdClick();
    // key is the virtual key code (46 = Delete).
    void SpacingLevelGdKeyDown(int& key, Qt::KeyboardModifiers shift);
    // x, y: pointer position in the grid's cell area.
    void SpacingLevelGdMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void SpacingLevelGdExit();
    void AutomaticCreationBtnClick();
    void AutomaticCreationOkBtnClick();
    void AutomaticCreationCancelBtnClick();
    void AutomaticCreationHelpBtnClick();
    void AutomaticCreationPanelEnter();
    void InvestigationDepthEdtExit();
    void InvestigationDepthUpDownChanging();
    void AutoGridDepthLevelBtnClick();
    // A level cell (col 2..129, row 1..9) may hold "#".
    bool SpacingCellAllowed(int col, int row) const;
    // Writes the "#" count of a grid row into its count column and its SelectedCount.
    void CountSpacingLevelRow(int row);
    // The grid's selection as cell coordinates (left, top, right, bottom); null when none.
    QRect SpacingLevelSelection() const;
    // The top of the depth prompt's range (it may lie below its bottom, 1).
    int InvestigationDepthMax() const { return DepthMax; }

    // ---- compute and roll-along ----
    void ComputeBtnClick();
    void MoveComputeBtnClick();
    void CreateNewSeqBtnClick();
    void MovePanelOkBtnClick();
    void MovePanelCancelBtnClick();
    void MovePanelHelpBtnClick();
    void MovePanelEnter();
    void NodeToMoveXUpDownChangingEx(bool& allowChange, int newValue, int direction);
    void NodeToMoveYUpDownChangingEx(bool& allowChange, int newValue, int direction);

private:
    void ConnectParams(TControlEvents& e);
    void ConnectDepthGrid(TControlEvents& e);
    void ConnectCompute(TControlEvents& e);
    TElectSequence* Current() const;
    TSequenceEditor Edit() const { return TSequenceEditor(*Current()); }
    // Applies preset to the current sequence and shows what it set, in Vp mode.
    void ShowPreset(const TMeterPreset& preset);
    // The second remote electrode: B for the gradient array, otherwise N, with M kept on N.
    void StoreSecondRemote(QLineEdit* edit, float TElectrodeXYZ::*coord);
    void SetInvestigationDepthMax(int max);
    // ComputeBtn and MoveComputeBtn after a change of the selection.
    void UpdateSpacingLevelButtons();
    // The common end of both automatic commands, once the selection is made.
    void FinishAutomaticCommand();
    // Opens the shift prompt for the command tag names, the focus on the X shift; false, with
    // a message, when no depth level is selected.
    bool OpenShiftPrompt(int tag);

    std::unique_ptr<Ui::TConfigurationPanel> ui;
    const TSequenceList* List = nullptr;
    TInfoPanel* Info = nullptr;
    TConfigurationWindow Window;
    // The range of the depth prompt's arrows. Unlike a spin box's range, the maximum may
    // drop below the minimum (a spread that holds no deep cell).
    int DepthMin = 1;
    int DepthMax = 10000;
    // Which command opened the shift prompt: 0 recompute in place, 1 new roll-along sequence.
    int MovePanelTag = 0;
};
