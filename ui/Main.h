#pragma once
// The main window: composes the list panel, the four tabs and the info panel, runs the file,
// compute, port and upload commands, and shows the current sequence in every panel.
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/ComputeCommands.h"
#include "engine/Electsequence.h"
#include "engine/FileCommands.h"
#include "engine/SequenceList.h"
#include "seam/Seam.h"
#include "ui/QtHost.h"
#include "ui/WindowState.h"

namespace Ui {
class TMainFrm;
}
class QAction;
class QLabel;
class QLockFile;
class QPainter;
class TControlEvents;
class TDeviceWatch;
struct TConfigurationWindow;

class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainFrm(QWidget* owner = nullptr);
    ~TMainFrm() override;

    // ---- what the program and the tests read of the window ----
    // The open sequences, one for each entry of SeqFileLb and in its order, one of them current.
    TSequenceList& List() { return Sequences; }
    // The sequence shown and edited (none once the window has let go of its sequences).
    TElectSequence* Current() const { return CurrentSequence; }
    TWindowState& State() { return WindowState; }
    // The picture of ImageList3 that the port icon shows (-1 before the first one).
    int ShownPortPicture() const { return PortPicture; }
    // The file named on the command line (arguments 1..n), opened once the window is shown.
    void SetCommandLine(const QStringList& arguments) { CommandLine = arguments; }

    // ---- lifecycle ----
    void FormShow();
    void FormActivate();
    void FormResize();
    void FormCloseQuery(bool& canClose);
    static void EnableControls(QWidget* container, bool enable);

    // ---- sequence list (the list panel) ----
    // Appends s; false, with a message, when the list is full.
    bool AppendSequence(std::unique_ptr<TElectSequence> s);
    // Entry i becomes current and selected.
    void MakeCurrent(int i);
    void SeqFileLbClick();
    void SeqFileLbClickCheck();
    void ExcludeSeqBtnClick();

    // ---- file commands ----
    void New1Click();
    void Open1Click();
    void OpenSequenceFile(const QString& path);
    void SaveClick();
    void Saveas1Click();
    void SavetoSDcardformat1Click();
    // Writes a copy of the current sequence to the .sqz file name, whose entry (added when the
    // file is not listed) takes it and is shown; the entry copied keeps its contents and file.
    // True when the copy was written and is current.
    bool SaveAsNewSequence(const QString& name);

    // ---- display ----
    // Asks every panel to show the current sequence; reads it and writes nothing into it.
    void DisplaySequence(bool refreshViews);
    void PageControl1Change();
    void PageControl1Changing(bool& allowChange);
    void SetActivePage(int index);
    QString StatusText(int panel) const;

    // ---- about, help ----
    void Rubriquedaide1Click();
    void Homepage1Click();
    void Productsupport1Click();
    void Apropos1Click();

    // Each tab is a panel of its own (ui/CreationPanel.h, ui/ConfigurationPanel.h,
    // ui/ViewGraphPanel.h, ui/ViewSheetPanel.h), as are the list (ui/ListPanel.h) and the info
    // panel (ui/InfoPanel.h): each has its form, wires its controls through the one router
    // (ui/ControlEvents.h) and does the work of its handlers. The window keeps the handlers'
    // names below, each forwarding to the panel that does the work.

    // ---- 3-D view (the View Graph tab) ----
    // Rebuilds the chart from the current sequence and the other ticked entries of the list.
    void FillGraph();
    void AnimGraphClick();
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

    // ---- sheets: printing and comma-separated export (the View Sheet tab) ----
    void PrintElectrodeClick();
    void PrintQuadripoleClick();
    void ExportElectrodeClick();
    void ExportQuadripoleClick();

    // ---- electrode layout (the Creation tab) ----
    void LineClick();
    void SurfaceRbClick();
    void BoreholeRbClick();
    void Next1BtnClick();
    void Next2BtnClick();
    void Previous2BtnClick();
    void ClearBtnClick();
    void ElectrodeLocationGdMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void ElectrodeLocationGdClick();
    void ElectrodeLocationGdDblClick();
    void ElectrodeLocationGdMouseMove();
    void ElectrodeLocationGdKeyDown(int& key, Qt::KeyboardModifiers shift);
    void ElectrodeLocationGdEnter();
    void ElectrodeLocationGdExit();

    // ---- acquisition parameters (the Configuration tab) ----
    void StdChannelEdnExit();
    void OptimizationChannelEdnExit();
    void QMaxEdnExit();
    void StackMinEdnExit();
    void StackMaxEdnExit();
    void VabMaxEdtExit();
    void StdChannelEdnUpDownChanging(bool& allowChange);
    void ChannelEdnUpDownChanging(bool& allowChange);
    void QMaxEdnUpDownChanging(bool& allowChange);
    void StackMinEdnUpDownChanging(bool& allowChange);
    void StackMaxEdnUpDownChanging(bool& allowChange);
    void VabMaxEdtUpDownChanging(bool& allowChange);
    void RhoOnlyRdBtnClick();
    void RhoIPRdBtnClick();
    void RhoOnlyRdBtnEnter();
    void RhoIPRdBtnEnter();
    void VpRdBtnClick();
    void VabRdBtnClick();
    void TimeCBClick();
    void IPModeCBClick();
    void VmnCBClick();
    void VabCBClick();
    void PlanoraNameTxtExit();
    void CommentEdtExit();
    void ArrayTypeListClick();
    void BoreholeArrayTypeListClick();
    void XCaPmTxtExit();
    void YCaPmTxtExit();
    void XCbPnTxtExit();
    void YCbPnTxtExit();
    void MultiChannelOptimizationCbClick();
    void AllowDummyQuadripolesCbClick();
    void DelPolarEffectCbClick();
    void IPModeProgBtnClick();

    // ---- depth-level grid and automatic creation (the Configuration tab) ----
    void SpacingLevelGdDrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected);
    void SpacingLevelGdDblClick();
    void SpacingLevelGdClick();
    void SpacingLevelGdKeyDown(int& key, Qt::KeyboardModifiers shift);
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

    // ---- compute and roll-along (the Configuration tab; the window runs the commands) ----
    void ComputeBtnClick();
    void MoveComputeBtnClick();
    void CreateNewSeqBtnClick();
    void MovePanelOkBtnClick();
    void MovePanelCancelBtnClick();
    void MovePanelHelpBtnClick();
    void MovePanelEnter();
    void NodeToMoveXUpDownChangingEx(bool& allowChange, int newValue, int direction);
    void NodeToMoveYUpDownChangingEx(bool& allowChange, int newValue, int direction);
    void StrapForPopolBtnMouseMove();
    void ReskonGBMouseMove();

    // ---- port and speed (MainPort.cpp) ----
    void ComCheck(QAction* item);
    void LowSpeedClick();
    void HighSpeedClick();

    // ---- upload (MainUpload.cpp) ----
    void Upload1Click();

    // ---- second-model export (MainExport.cpp) ----
    void ExporttoSQTformatSolvy1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Ui::TMainFrm* ui;

    // ---- state ----
    TSequenceList Sequences;
    // What every command reads of the list, as members that follow it.
    const int& SequenceCount = Sequences.Count();
    const int& CurrentIndex = Sequences.CurrentIndex();
    TElectSequence* const& CurrentSequence = Sequences.CurrentSequence();
    // The file commands run below the window; it shows the entry a question is about.
    TFileCommands Files{Sequences, [this] { ShowCurrentEntry(); }};
    // The compute commands run below the window: it reads their options, shows the figures and
    // the entries, picks the names and shows what happened.
    TComputeCommands Computes{Sequences,
                              Files,
                              {[this] { return ReadComputeOptions(); },
                               [this](const TComputeFigures& figures) { ShowComputeFigures(figures); },
                               [this] { ShowEntriesAndSequence(); }}};
    TWindowState WindowState;
    QStringList CommandLine;
    TFileDialogSetup OpenDialog1, SaveDialog1;
    std::unique_ptr<QLockFile> WorkFolderLock;
    // Routes the controls' events to the handlers; every panel wires its controls through it.
    std::unique_ptr<TControlEvents> Events;

    void ConnectHandlers();
    void FreeSequences();

    QString GetSpecialFolderPath(int folder);

    // ---- one copy per working folder ----
    void LockWorkFolder();

    // ---- settings and the list file ----
    QString ListFilePath() const { return WindowState.WorkFolder + "SeqFilePath.lst"; }
    // Reads the port, speed and address; returns the stored index of the selected entry (-1 when
    // there is none).
    int ReadSettings();
    // Writes the four values; selected = index of the current entry in the written list file.
    void WriteSettings(int selected);
    // Entries for the files of the list file; the one of line storedLine becomes current.
    void ReopenList(int storedLine);
    // Writes the list file; returns the line of the current entry (-1 when it is not in it).
    int WriteList();

    // ---- what the commands did ----
    // The current sequence may be saved: computed since its last change and valid, or the user
    // says to save it anyway.
    bool ValidChangeAnyWay();
    // Shows what a file command did: the entries it added, their texts, the current entry
    // selected (and shown again when it holds something else), and its message. True when done.
    bool ShowFileResult(const TFileResult& r);
    // The same for a save, which may have given the sequence its file: the status bar and the
    // chart title show it.
    bool ShowSaveResult(const TFileResult& r);
    // Picks the name of a save through SaveDialog1 with the default extension ext, from the
    // folder and name of the current sequence's file when fromCurrentFile (else from the
    // sequence folder with no name), on the file type filterIndex when it is not 0.
    TFileCommands::TNamePicker SaveNamePicker(const QString& ext, bool fromCurrentFile, int filterIndex = 0);
    // The current entry selected and shown.
    void ShowCurrentEntry();
    // The entries as the list holds them, then the current sequence.
    void ShowEntriesAndSequence();

    // ---- display ----
    void OnPageChanged(int index);
    // The automatic-creation commands for the sequence shown; the depth prompt closes.
    void UpdateDepthLevelCommands();
    void SetStatusText(int panel, const QString& text);
    // The chart's main title: the sequence name, the line's extent and the file name.
    QString GraphTitle() const;
    // Brings the shown title up to date with the sequence (its file name after a save).
    void ShowGraphTitle();
    void ShowHelpFile(int contextId);

    // ---- compute and roll-along (MainCompute.cpp) ----
    // What the Configuration tab's compute commands run: the commands below the window, with
    // what they did shown.
    TConfigurationWindow ComputeCommands();
    // Picks the new spread's file through SaveDialog1, from the name proposed.
    TComputeCommands::TRollAlongPicker RollAlongNamePicker();
    TComputeOptions ReadComputeOptions();
    // The results window with the figures, then the sequence computed.
    void ShowComputeFigures(const TComputeFigures& figures);

    // ---- port and speed (MainPort.cpp) ----
    void ConnectPortHandlers();
    // Creates ActivePort for PortNum when asked and none exists; shows the port icon.
    void ShowPortImage(bool create);
    int PortPicture = -1;
    // Tells of USB devices coming and going (null where the system gives no such notice).
    TDeviceWatch* DeviceWatch = nullptr;

    // ---- upload (MainUpload.cpp) ----
    void ConnectUploadHandlers();

    // ---- second-model export (MainExport.cpp) ----
    void ConnectExportHandlers();

    TQtHost QtHost{this};
    QLabel* StatusPanels[2];
    bool Shown = false;
    bool Closed = false;
    int ProgrammaticPage = 0;
    int LastPage = 0;
};

extern TMainFrm* MainFrm;
