#pragma once
// The main window: owns the open sequences, the sequence list, the file commands and the
// display of the current sequence in every control.
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

#include "Electsequence.h"
#include "QtHost.h"
#include "Seam.h"

namespace Ui {
class TMainFrm;
}
class QAction;
class QLabel;
class QTimer;
class TQuadripoleSheet;
class TElectrodeSheet;

constexpr int kMaxSequences = 1024;

class TMainFrm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainFrm(QWidget* owner = nullptr);
    ~TMainFrm() override;

    Ui::TMainFrm* ui;

    // ---- state ----
    int CurrentIndex = -1;
    int MouseDownCol = -1, MouseDownRow = -1, RunningNumber = 0;
    bool AnimationRunning = false;
    int PortNum = 99;
    int PortSpeed = 0;
    int SequenceCount = 0;
    std::array<TElectSequence*, kMaxSequences> Sequences{};
    TElectSequence* CurrentSequence = nullptr;
    TElectGrid* CurrentGrid = nullptr;
    TReskonPro* CurrentDevice = nullptr;
    QString SequenceFolder;
    QString WorkFolder;
    QString IPAddress;
    QString HelpFile;
    // The file named on the command line (arguments 1..n), opened once the window is shown.
    QStringList CommandLine;
    TFileDialogSetup OpenDialog1, SaveDialog1;

    // ---- lifecycle ----
    void FormShow();
    void FormActivate();
    void FormResize();
    void FormCloseQuery(bool& canClose);
    QString GetSpecialFolderPath(int folder);
    static void EnableControls(QWidget* container, bool enable);

    // ---- settings and the list file ----
    QString ListFilePath() const { return WorkFolder + "SeqFilePath.lst"; }
    void ReadSettings();
    // Writes the four values; selected = index of the current entry in the written list file.
    void WriteSettings(int selected);
    void ReopenList();
    // Writes the list file; returns the line of the current entry (-1 when it is not in it).
    int WriteList();

    // ---- sequence list ----
    // Appends s (the list takes it); false, with a message, when the list is full.
    bool AppendSequence(TElectSequence* s);
    QString EntryText(const TElectSequence& s) const;
    void RemakeEntryText(int i);
    void SelectEntry(int i);
    int SelectedIndex() const;
    bool ListFull();
    void SeqFileLbClick();
    void SeqFileLbClickCheck();
    void ExcludeSeqBtnClick();
    // The entry whose file is path (canonical comparison), -1 when none.
    int ListedIndex(const QString& path) const;

    // ---- file commands ----
    void New1Click();
    void Open1Click();
    void OpenSequenceFile(const QString& path);
    bool ValidChangeAnyWay();
    void SaveClick();
    void Saveas1Click();
    void SavetoSDcardformat1Click();
    void SaveAsNewSequence(const QString& name);

    // ---- display ----
    void DisplaySequence(bool refreshViews);
    void FillSequenceGrids();
    void SizeSheetColumns();
    void ShowSequenceInfo();
    void PageControl1Change();
    void PageControl1Changing(bool& allowChange);
    void SetActivePage(int index);
    QString StatusText(int panel) const;
    void SetStatusText(int panel, const QString& text);

    // ---- about, help ----
    void ShowHelpFile(int contextId);
    void Rubriquedaide1Click();
    void Homepage1Click();
    void Productsupport1Click();
    void Apropos1Click();
    void StrapForPopolBtnMouseMove();
    void ReskonGBMouseMove();

    // Each command area below wires its own controls in its Connect...Handlers(), called from
    // ConnectHandlers(), and keeps its handlers in a source file of its own.

    // ---- 3-D view (Main3D.cpp) ----
    void Connect3DHandlers();
    void FillGraph() {}

    // ---- sheets: printing and comma-separated export (MainSheets.cpp) ----
    void ConnectSheetHandlers();

    // ---- electrode layout (MainLayout.cpp) ----
    void ConnectLayoutHandlers();
    void UpdateAxisLabels() {}
    void Next1BtnClick() {}
    void Next2BtnClick() {}
    void Previous2BtnClick() {}
    void RescanElectrodeGrid() {}

    // ---- acquisition parameters (MainParams.cpp) ----
    void ConnectParamHandlers();
    void RhoIPRdBtnClick() {}
    void RhoOnlyRdBtnClick() {}
    void VpRdBtnClick() {}
    void VabRdBtnClick() {}
    void UpdateRemoteElectrodePanel() {}

    // ---- depth-level grid and automatic creation (MainDepthGrid.cpp) ----
    void ConnectDepthGridHandlers();

    // ---- compute and roll-along (MainCompute.cpp) ----
    void ConnectComputeHandlers();

    // ---- port and speed (MainPort.cpp) ----
    void ConnectPortHandlers();
    // Creates ActivePort for PortNum when asked and none exists; shows the port icon.
    void ShowPortImage(bool create);
    void ComCheck(QAction* item);
    void LowSpeedClick();
    void HighSpeedClick();
    // The picture of ImageList3 that Image2 shows (-1 before the first one).
    int PortPicture = -1;
    // Tells of USB devices coming and going (null where the system gives no such notice).
    class TDeviceWatch* DeviceWatch = nullptr;

    // ---- upload (MainUpload.cpp) ----
    void ConnectUploadHandlers();
    void Upload1Click();
    // True while Upload1Click runs: the port object must then stay as it is.
    bool UploadRunning = false;

    // ---- second-model export (MainExport.cpp) ----
    void ConnectExportHandlers();
    void ExporttoSQTformatSolvy1Click() {}

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ConnectHandlers();
    void SetUpSpacingLevelGrid();
    void FreeSequences();
    bool SaveCurrentAs(const QString& chosen);
    void OnPageChanged(int index);

    TQtHost QtHost;
    TQuadripoleSheet* QuadripoleSheet;
    TElectrodeSheet* ElectrodeSheet;
    QLabel* StatusPanels[2];
    bool Shown = false;
    bool Closed = false;
    int ProgrammaticPage = 0;
    int LastPage = 0;
};

extern TMainFrm* MainFrm;
