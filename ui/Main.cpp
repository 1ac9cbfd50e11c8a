// The main window: its lifecycle, the settings and the list file, the file commands, the
// display of the current sequence through the panels, and the handlers that forward to them.
#include "ui/Main.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLockFile>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <optional>
#include <vector>

#include "link/Ports.h"
#include "ui/About.h"
#include "ui/ConfigurationPanel.h"
#include "ui/ControlEvents.h"
#include "ui/CreationPanel.h"
#include "ui/Format.h"
#include "ui/Help.h"
#include "ui/InfoPanel.h"
#include "ui/ListPanel.h"
#include "ui/Placement.h"
#include "ui/ViewGraphPanel.h"
#include "ui/ViewSheetPanel.h"
#include "ui/Widgets.h"
#include "ui_Main.h"

TMainFrm* MainFrm = nullptr;

namespace {
const char* const kOrganisation = "Olvane Zerarezizuz";
const char* const kApplication = "PlanoraPro";
const char* const kSettingsGroup = "Initialisation/PlanoraPro";
const char* const kOpenFilter = "Planora pro  (*.sqz)|*.sqz|Texte   (*.txt)|*.txt|Planora Sd   (*.sds)|*.sds";
const char* const kLockFileName = "PlanoraPro.lock";
const char* const kAlreadyRunning =
    "Planora Pro is already running.\nUse the window that is open: this copy closes and leaves the sequence list "
    "as it is.";
const char* const kExcludeRefused = "A sequence cannot be excluded while an upload is running.";
constexpr int kNoticeMs = 8000;  // how long a notice stays in the status bar
const char* const kSaveFilter = "Planora pro  (*.Sqz)|*.sqz|Text|*.txt|Sd card format (*.sds)|*.sds";
constexpr int kSdCardFilter = 3;  // the file type of kSaveFilter that the SD-card command selects

QString WithExt(const QString& path, const QString& ext) {
    const qsizetype slash = path.lastIndexOf('/');
    const qsizetype dot = path.lastIndexOf('.');
    return (dot > slash ? path.left(dot) : path) + ext;
}

// Folder part, up to and including the last "/".
QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString BaseNameOf(const QString& path) { return WithExt(QFileInfo(path).fileName(), QString()); }

// Runs the save dialog from the folder and base name of current (from the sequence folder with
// no name when current is empty); the name chosen, given the extension of the file type chosen
// when it has none; nothing when the dialog was cancelled.
std::optional<QString> AskSaveName(TFileDialogSetup& dialog, const QString& current, const QString& sequenceFolder) {
    if (!current.isEmpty()) {
        dialog.InitialDir = FolderOf(current);
        dialog.FileName = BaseNameOf(current);
    } else {
        dialog.InitialDir = sequenceFolder;
        dialog.FileName.clear();
    }
    if (!Seam().ExecuteFileDialog(dialog)) return std::nullopt;
    return ChosenFileName(dialog);
}

}  // namespace

TMainFrm::TMainFrm(QWidget* owner)
    : QMainWindow(owner),
      ui(new Ui::TMainFrm),
      Events(std::make_unique<TControlEvents>()) {
    MainFrm = this;
    ui->setupUi(this);
    SetHost(&QtHost);

    for (int i = 0; i < 2; ++i) {
        StatusPanels[i] = new QLabel(ui->StatusBar1);
        StatusPanels[i]->setObjectName(QString("StatusBar1Panel%1").arg(i));
        StatusPanels[i]->setAlignment(Qt::AlignCenter);
        if (i == 0)
            StatusPanels[i]->setFixedWidth(249);
        else
            StatusPanels[i]->setMinimumWidth(340);
        ui->StatusBar1->addWidget(StatusPanels[i], i);
    }
    QStyle* st = style();
    ui->New1->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    ui->Open1->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    ui->Save->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    ui->SavetoSDcardformat1->setIcon(st->standardIcon(QStyle::SP_DriveFDIcon));
    ui->ExporttoSQTformatSolvy1->setIcon(st->standardIcon(QStyle::SP_ArrowRight));
    ui->Upload1->setIcon(st->standardIcon(QStyle::SP_ArrowUp));
    ui->ListPanel->AddCommands(
        {ui->New1, ui->Open1, ui->Save, ui->SavetoSDcardformat1, ui->ExporttoSQTformatSolvy1, ui->Upload1});

    auto* speeds = new QActionGroup(this);
    speeds->addAction(ui->LowSpeed);
    speeds->addAction(ui->HighSpeed);
    auto* ports = new QActionGroup(this);
    for (QAction* a : {ui->Com11, ui->Com21, ui->Com31, ui->Com41, ui->Com51, ui->Com61, ui->USB, ui->BT, ui->Netvane1})
        ports->addAction(a);

    ui->ProgressBar1->setMaximumHeight(5);
    ConnectHandlers();

    WindowState.AnimationRunning = false;
    // The working folder "PlanoraPro" in the documents folder, with its "Sequence" folder.
    QString documents = GetSpecialFolderPath(5);
    if (documents.isEmpty()) documents = QDir::homePath();
    WindowState.WorkFolder = QDir::cleanPath(documents + "/PlanoraPro") + '/';
    QDir().mkpath(WindowState.WorkFolder);
    WindowState.SequenceFolder = WindowState.WorkFolder + "Sequence/";
    QDir().mkpath(WindowState.SequenceFolder);
    LockWorkFolder();

    WindowState.PortNum = kUSBPortNumber;
    WindowState.IPAddress.clear();
    WindowState.PortSpeed = 0;
    const int storedEntry = ReadSettings();
    if (WindowState.PortSpeed != kLowSpeed) {
        WindowState.PortSpeed = kHighSpeed;
        ui->HighSpeed->setChecked(true);
    } else {
        ui->LowSpeed->setChecked(true);
    }
    switch (WindowState.PortNum) {
        case 1: ui->Com11->setChecked(true); break;
        case 2: ui->Com21->setChecked(true); break;
        case 3: ui->Com31->setChecked(true); break;
        case 4: ui->Com41->setChecked(true); break;
        case 5: ui->Com51->setChecked(true); break;
        case 6: ui->Com61->setChecked(true); break;
        case kUSBPortNumber: ui->USB->setChecked(true); break;
        case kIPPortNumber: ui->Netvane1->setChecked(true); break;
        default: ui->BT->setChecked(true); break;
    }
    // A second copy leaves the port, the list and the settings to the first one.
    if (!WindowState.AnotherCopyRunning) ShowPortImage(true);

    OpenDialog1.Save = false;
    OpenDialog1.Filter = kOpenFilter;
    SaveDialog1.Save = true;
    SaveDialog1.Filter = kSaveFilter;

    if (!WindowState.AnotherCopyRunning) ReopenList(storedEntry);
    if (CurrentIndex < 0) {
        if (SequenceCount == 0) AppendSequence(std::make_unique<TElectSequence>());
        MakeCurrent(0);
    } else {
        ui->ListPanel->SelectEntry(CurrentIndex);
    }
    CentreOnScreen(this);
}

TMainFrm::~TMainFrm() {
    FreeSequences();
    if (&Host() == &QtHost) SetHost(nullptr);
    if (MainFrm == this) MainFrm = nullptr;
    delete ui;
}

void TMainFrm::ConnectHandlers() {
    TControlEvents& e = *Events;
    e.OnClick(ui->New1, [this] { New1Click(); });
    e.OnClick(ui->Open1, [this] { Open1Click(); });
    e.OnClick(ui->Save, [this] { SaveClick(); });
    e.OnClick(ui->Saveas1, [this] { Saveas1Click(); });
    e.OnClick(ui->SavetoSDcardformat1, [this] { SavetoSDcardformat1Click(); });
    ui->ListPanel->Connect(
        e, Sequences,
        {[this] { SeqFileLbClick(); }, [this] { SeqFileLbClickCheck(); }, [this] { ExcludeSeqBtnClick(); }});
    e.OnClick(ui->Rubriquedaide1, [this] { Rubriquedaide1Click(); });
    e.OnClick(ui->Homepage1, [this] { Homepage1Click(); });
    e.OnClick(ui->Productsupport1, [this] { Productsupport1Click(); });
    e.OnClick(ui->Apropos1, [this] { Apropos1Click(); });
    e.On(ui->PageControl1, &QTabWidget::currentChanged, [this](int i) { OnPageChanged(i); });
    ui->ViewGraphTbs->Connect(e, Sequences, WindowState, ui->ProgressBar1,
                              {[this] { FillGraph(); },
                               [this](bool hold) {
                                   EnableControls(ui->ListPanel, !hold);
                                   ui->File1->setEnabled(!hold);
                                   ui->File1->menuAction()->setEnabled(!hold);
                               }});
    ui->ViewSheetTbs->Connect(e, WindowState);
    ui->CreationTbs->Connect(e, Sequences, {[this](bool borehole) { ui->ConfigurationTbs->ShowArrayList(borehole); }});
    ui->ConfigurationTbs->Connect(e, Sequences, *ui->ConfigPanelbottom, ComputeCommands());
    ConnectPortHandlers();
    ConnectUploadHandlers();
    ConnectExportHandlers();
}

// ---------------------------------------------------------------- lifecycle

void TMainFrm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!Shown) {
        Shown = true;
        FormShow();
    }
}

void TMainFrm::FormShow() {
    {
        // The About box serves as the splash while the first sequence is shown.
        TAboutBoxFrm splash(this);
        splash.setModal(false);
        splash.show();
        splash.repaint();
        SetActivePage(0);
        ui->ConfigurationTbs->SetUpSpacingLevelGrid();
        DisplaySequence(true);
    }
    // The arguments joined with blanks name one file, which a name in several words takes.
    if (!CommandLine.isEmpty()) OpenSequenceFile(CommandLine.join(' '));
    raise();
    activateWindow();
    ui->ListPanel->FocusList();
}

void TMainFrm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainFrm::FormActivate() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        if (s.width() < frameGeometry().width()) {
            move(0, y());
            resize(s.width() - (frameGeometry().width() - width()), height());
        }
        if (s.height() < frameGeometry().height()) {
            resize(width(), s.height() - 39 - (frameGeometry().height() - height()));
            move(x(), 0);
        }
    }
    ShowPortImage(true);
}

void TMainFrm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainFrm::FormResize() {
    TListPanel* panel = ui->ListPanel;
    if (panel->PanelWidth() < 129) panel->SetPanelWidth(129);
    const int w = width();
    if (w < 1148) {
        panel->SetPanelWidth(180);
        ui->CreationTbs->SetLocationBoxWidth(611);
    } else {
        panel->SetPanelWidth(std::min(w - 942, 300));
        ui->CreationTbs->SetLocationBoxWidth(680);
    }
}

void TMainFrm::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose)
        event->accept();
    else
        event->ignore();
}

void TMainFrm::FormCloseQuery(bool& canClose) {
    if (WindowState.AnimationRunning) {
        ui->ViewGraphTbs->ReleaseAnimation();
        canClose = false;
        return;
    }
    // The upload still uses the sequences and the port: its Cancel ends it first.
    if (WindowState.UploadRunning) {
        canClose = false;
        return;
    }
    if (Closed) return;
    if (WindowState.AnotherCopyRunning) {
        Closed = true;
        return;
    }
    // An edit being typed in is committed to the sequence it belongs to.
    ui->ListPanel->FocusList();
    if (!ShowFileResult(Files.KeepChangesBeforeClosing(SaveNamePicker(".sqz", false)))) {
        canClose = false;
        return;
    }
    const int selected = WriteList();
    WriteSettings(selected);
    FreeSequences();
    if (ActivePort && ActivePort->GetState() > 0) {
        try {
            ActivePort->Close();
        } catch (const EPortError&) {
            // A link that fails as it is closed (a device gone, a wait cut short) must not keep
            // the window open: the list and the settings are written, and the port goes.
        }
    }
    FreeActivePort();
    THelpFrm::CloseAll();
    Closed = true;
}

void TMainFrm::FreeSequences() {
    // The window is going: from here on no control's event reaches a handler.
    Events->Close();
    Sequences.Clear();
}

void TMainFrm::LockWorkFolder() {
    WorkFolderLock = std::make_unique<QLockFile>(WindowState.WorkFolder + kLockFileName);
    // A copy that runs for days still holds its lock; one that crashed left a lock whose
    // process is gone, and that one is taken over.
    WorkFolderLock->setStaleLockTime(0);
    if (WorkFolderLock->tryLock(0)) return;
    // A lock that cannot be made at all (a folder that cannot be written) stops nobody.
    if (WorkFolderLock->error() == QLockFile::LockFailedError) {
        WindowState.AnotherCopyRunning = true;
        Seam().Message(kAlreadyRunning);
    }
    WorkFolderLock.reset();
}

QString TMainFrm::GetSpecialFolderPath(int folder) {
    return folder == 5 ? Seam().DocumentsFolder() : QString();
}

void TMainFrm::EnableControls(QWidget* container, bool enable) { ::EnableControls(container, enable); }

// ---------------------------------------------------------------- settings and list file

int TMainFrm::ReadSettings() {
    QSettings s(kOrganisation, kApplication);
    s.beginGroup(kSettingsGroup);
    // A value that is not a number keeps the default.
    auto readInt = [&s](const char* key, int& into) {
        if (!s.contains(key)) return;
        bool ok = false;
        const int v = s.value(key).toInt(&ok);
        if (ok) into = v;
    };
    int selected = -1;
    readInt("PortNum", WindowState.PortNum);
    readInt("PortSpeed", WindowState.PortSpeed);
    readInt("SeqFileLbItemIndex", selected);
    if (s.contains("IPAddress")) {
        const QVariant v = s.value("IPAddress");
        if (v.typeId() == QMetaType::QString) WindowState.IPAddress = v.toString();
    }
    return selected;
}

void TMainFrm::WriteSettings(int selected) {
    QSettings s(kOrganisation, kApplication);
    s.beginGroup(kSettingsGroup);
    s.setValue("PortNum", WindowState.PortNum);
    s.setValue("IPAddress", WindowState.IPAddress);
    s.setValue("PortSpeed", WindowState.PortSpeed);
    s.setValue("SeqFileLbItemIndex", selected);
    s.endGroup();
    s.sync();
    if (s.status() != QSettings::NoError) Seam().Message("Can't write the settings to < " + s.fileName() + " >");
}

void TMainFrm::ReopenList(int storedLine) {
    const QString programList = QDir(Seam().ProgramFolder()).filePath("SeqFilePath.lst");
    Sequences.ReopenList(ListFilePath().toStdString(), programList.toStdString(), storedLine);
    ui->ListPanel->AddEntryItems();
}

int TMainFrm::WriteList() {
    // Sorted as the user's locale sorts, without regard to case.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return Sequences.WriteList(ListFilePath().toStdString(), [&collator](const std::string& a, const std::string& b) {
        return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
    });
}

// ---------------------------------------------------------------- sequence list

bool TMainFrm::AppendSequence(std::unique_ptr<TElectSequence> s) { return ShowFileResult(Sequences.Add(std::move(s))); }

void TMainFrm::ShowCurrentEntry() {
    ui->ListPanel->SelectEntry(CurrentIndex);
    DisplaySequence(true);
}

void TMainFrm::ShowEntriesAndSequence() {
    ui->ListPanel->ShowEntries();
    DisplaySequence(true);
}

void TMainFrm::MakeCurrent(int i) {
    Sequences.SetCurrent(i);
    ui->ListPanel->SelectEntry(i);
}

void TMainFrm::SeqFileLbClick() {
    const int i = ui->ListPanel->SelectedIndex();
    if (i == CurrentIndex || i < 0 || i >= SequenceCount) return;
    TWaitCursor wait;
    Sequences.SetCurrent(i);
    DisplaySequence(true);
}

void TMainFrm::SeqFileLbClickCheck() {
    const int checked = ui->ListPanel->TickedCount();
    SetStatusText(0, checked >= 1 ? "Checked : " + QString::number(checked) : QString());
}

void TMainFrm::ExcludeSeqBtnClick() {
    // The upload may be sending that very sequence. Said in the status bar: a message box
    // would hold the upload's waits.
    if (WindowState.UploadRunning) {
        ui->StatusBar1->showMessage(kExcludeRefused, kNoticeMs);
        return;
    }
    const int sel = ui->ListPanel->SelectedIndex();
    if (sel < 0 || sel >= SequenceCount) return;
    // An edit being typed in is a change of the entry, to be asked about.
    ui->ListPanel->FocusList();
    const TFileResult r = Files.Exclude(sel, SaveNamePicker(".sqz", false));
    if (r) ui->ListPanel->RemoveEntry(sel);
    if (r && SequenceCount == 0)
        New1Click();
    else
        ShowFileResult(r);
    SeqFileLbClickCheck();
}

// ---------------------------------------------------------------- file commands

void TMainFrm::New1Click() {
    SetActivePage(0);
    if (!AppendSequence(std::make_unique<TElectSequence>())) return;
    // The entry is counted before the display runs.
    MakeCurrent(SequenceCount - 1);
    DisplaySequence(true);
    Previous2BtnClick();
}

void TMainFrm::Open1Click() {
    OpenDialog1.DefaultExt = ".sqz";
    OpenDialog1.FileName.clear();
    OpenDialog1.Filter = kOpenFilter;
    OpenDialog1.InitialDir = WindowState.SequenceFolder;
    if (Seam().ExecuteFileDialog(OpenDialog1)) OpenSequenceFile(OpenDialog1.FileName);
}

void TMainFrm::OpenSequenceFile(const QString& file) {
    // An edit being typed in belongs to the sequence shown now: it is committed first.
    ui->ListPanel->FocusList();
    // The name as given: trimmed, it could be another file (the command refuses such a name).
    WindowState.SequenceFolder = FolderOf(file);
    ShowFileResult(Files.Open(file.toStdString()));
}

bool TMainFrm::ShowFileResult(const TFileResult& r) {
    ui->ListPanel->ShowEntries();
    if (r.ShowAgain) DisplaySequence(true);
    if (!r.Message.empty()) Seam().Message(QString::fromStdString(r.Message));
    return bool(r);
}

bool TMainFrm::ShowSaveResult(const TFileResult& r) {
    if (!ShowFileResult(r)) return false;
    SetStatusText(1, Trimmed(CurrentSequence->FileName));
    ShowGraphTitle();
    return true;
}

TFileCommands::TNamePicker TMainFrm::SaveNamePicker(const QString& ext, bool fromCurrentFile, int filterIndex) {
    return [this, ext, fromCurrentFile, filterIndex]() -> std::optional<std::string> {
        SaveDialog1.DefaultExt = ext;
        if (filterIndex != 0) SaveDialog1.FilterIndex = filterIndex;
        const QString current = fromCurrentFile ? Trimmed(CurrentSequence->FileName) : QString();
        const std::optional<QString> chosen = AskSaveName(SaveDialog1, current, WindowState.SequenceFolder);
        if (!chosen) return std::nullopt;
        return chosen->toStdString();
    };
}

bool TMainFrm::ValidChangeAnyWay() { return Files.MaySave(); }

// The edit being typed in is committed before each save command: the question about changes
// since the computation, and the file, are then about what the user sees.
void TMainFrm::SaveClick() {
    ui->ListPanel->FocusList();
    ShowSaveResult(Files.Save(SaveNamePicker(".sqz", false)));
}

void TMainFrm::Saveas1Click() {
    ui->ListPanel->FocusList();
    ShowFileResult(Files.SaveAs(SaveNamePicker(".sqz", true)));
}

void TMainFrm::SavetoSDcardformat1Click() {
    ui->ListPanel->FocusList();
    ShowFileResult(Files.SaveToSdCard(SaveNamePicker(".sds", true, kSdCardFilter)));
}

bool TMainFrm::SaveAsNewSequence(const QString& name) { return ShowFileResult(Files.SaveAsNew(name.toStdString())); }

// ---------------------------------------------------------------- display

void TMainFrm::DisplaySequence(bool refreshViews) {
    if (!CurrentSequence) return;
    TWaitCursor wait;
    const TElectSequence& s = *CurrentSequence;
    const TElectGrid& g = s.Grid;

    SetStatusText(1, Trimmed(s.FileName));
    ui->CreationTbs->ShowSequence(s);

    ui->ConfigurationTbs->ShowSequence(s);
    if (refreshViews) {
        ui->ViewSheetTbs->FillSequenceGrids(s);
        FillGraph();
    }
    if (g.Duplicates || g.ElectrodeCount == 0) SetActivePage(0);
    UpdateDepthLevelCommands();
}

void TMainFrm::SetActivePage(int index) {
    ++ProgrammaticPage;
    ui->PageControl1->setCurrentIndex(index);
    --ProgrammaticPage;
    LastPage = ui->PageControl1->currentIndex();
}

void TMainFrm::OnPageChanged(int index) {
    if (ProgrammaticPage) return;
    bool allow = true;
    PageControl1Changing(allow);
    if (!allow) {
        SetActivePage(LastPage);
        return;
    }
    LastPage = index;
    PageControl1Change();
}

void TMainFrm::PageControl1Changing(bool& allowChange) {
    const TElectGrid& g = CurrentSequence->Grid;
    allowChange = g.Duplicates == 0 && g.ElectrodeCount != 0 && !ui->ViewGraphTbs->AnimationAsked();
}

void TMainFrm::PageControl1Change() {
    TWaitCursor wait;
    const TElectSequence& s = *CurrentSequence;
    const TElectGrid& g = s.Grid;
    QTabWidget* pc = ui->PageControl1;
    const bool layoutOk = g.Duplicates == 0 && g.ElectrodeCount != 0;
    pc->setTabVisible(pc->indexOf(ui->ConfigurationTbs), layoutOk);
    const bool hasQuadripoles = s.Device.LastQuadripole + 1 >= 1;
    pc->setTabVisible(pc->indexOf(ui->ViewGraphTbs), layoutOk && hasQuadripoles);
    pc->setTabVisible(pc->indexOf(ui->ViewSheetTbs), layoutOk && hasQuadripoles);
    UpdateDepthLevelCommands();
    ui->ConfigurationTbs->UpdateComputeButton(s);
}

void TMainFrm::UpdateDepthLevelCommands() {
    ui->ConfigurationTbs->UpdateDepthLevelCommands(ui->CreationTbs->GridLaidOut());
}

QString TMainFrm::StatusText(int panel) const { return StatusPanels[panel]->text(); }

void TMainFrm::SetStatusText(int panel, const QString& text) { StatusPanels[panel]->setText(text); }

// ---------------------------------------------------------------- about, help

void TMainFrm::ShowHelpFile(int contextId) { Seam().ShowHelp(contextId); }

void TMainFrm::Rubriquedaide1Click() { ShowHelpFile(THelpFrm::HelpTopics); }

void TMainFrm::Homepage1Click() { ShowHelpFile(THelpFrm::HelpTopics); }

void TMainFrm::Productsupport1Click() { ShowHelpFile(THelpFrm::HelpTopics); }

void TMainFrm::Apropos1Click() {
    TAboutBoxFrm box(this);
    box.exec();
}

void TMainFrm::StrapForPopolBtnMouseMove() { ui->ConfigurationTbs->StrapForPopolBtnMouseMove(); }

void TMainFrm::ReskonGBMouseMove() { ui->ConfigurationTbs->ReskonGBMouseMove(); }

// ---------------------------------------------------------------- the View Sheet tab

void TMainFrm::PrintElectrodeClick() { ui->ViewSheetTbs->PrintElectrodeClick(); }

void TMainFrm::PrintQuadripoleClick() { ui->ViewSheetTbs->PrintQuadripoleClick(); }

void TMainFrm::ExportElectrodeClick() { ui->ViewSheetTbs->ExportElectrodeClick(); }

void TMainFrm::ExportQuadripoleClick() { ui->ViewSheetTbs->ExportQuadripoleClick(); }

// ---------------------------------------------------------------- the View Graph tab

void TMainFrm::FillGraph() {
    if (!CurrentSequence) return;
    // The other ticked entries, in grey.
    const std::vector<const TElectSequence*> others = ui->ListPanel->OtherTickedSequences();
    // "48 Nodes  - X spacing: 2m , Quadripole/Injection: 451/189, Estimated time: 00:13:00 config (3-6;500 ms)",
    // each part as its tab shows it.
    const QString sub = ui->CreationTbs->LayoutCaption() + " , " + ui->ConfigPanelbottom->FiguresCaption() + " " +
                        ui->ConfigurationTbs->MeterCaption();
    ui->ViewGraphTbs->FillGraph(*CurrentSequence, others, {GraphTitle(), sub});
}

QString TMainFrm::GraphTitle() const {
    const TElectSequence& s = *CurrentSequence;
    // The line as laid out: from the first to the last node column that holds an electrode.
    float first = s.Grid.OffsetX, last = s.Grid.OffsetX;
    s.Grid.UsedXExtent(first, last);
    const QString file = QFileInfo(Trimmed(s.FileName)).fileName();
    return ui->ConfigurationTbs->SequenceName() + "   Line (m): " + FormatHash2(first) + " - " + FormatHash2(last) +
           " < " + file + " >";
}

void TMainFrm::ShowGraphTitle() {
    // The animation shows no titles; its end rebuilds them.
    if (!CurrentSequence || WindowState.AnimationRunning) return;
    ui->ViewGraphTbs->ShowGraphTitle(GraphTitle());
}

void TMainFrm::AnimGraphClick() { ui->ViewGraphTbs->AnimGraphClick(); }

void TMainFrm::Pe3do1DataHotSpot(int dblClick, int subsetIndex, int pointIndex) {
    ui->ViewGraphTbs->Pe3do1DataHotSpot(dblClick, subsetIndex, pointIndex);
}

void TMainFrm::Pe3do1GridNumber(int dblClick, int axisType, double number) {
    ui->ViewGraphTbs->Pe3do1GridNumber(dblClick, axisType, number);
}

void TMainFrm::ZoomPlusBtnClick() { ui->ViewGraphTbs->ZoomPlusBtnClick(); }

void TMainFrm::ZoomMoinsBtnClick() { ui->ViewGraphTbs->ZoomMoinsBtnClick(); }

void TMainFrm::PrintBtnClick() { ui->ViewGraphTbs->PrintBtnClick(); }

void TMainFrm::ExportBtnClick() { ui->ViewGraphTbs->ExportBtnClick(); }

void TMainFrm::MaximizeBtnClick() { ui->ViewGraphTbs->MaximizeBtnClick(); }

void TMainFrm::RotateBtnClick() { ui->ViewGraphTbs->RotateBtnClick(); }

void TMainFrm::RotationUpDownSpeedChanging(int position, bool& allowChange) {
    ui->ViewGraphTbs->RotationUpDownSpeedChanging(position, allowChange);
}

void TMainFrm::GridBtnClick() { ui->ViewGraphTbs->GridBtnClick(); }

// ---------------------------------------------------------------- the Creation tab

void TMainFrm::LineClick() { ui->CreationTbs->LineClick(); }

void TMainFrm::SurfaceRbClick() { ui->CreationTbs->SurfaceRbClick(); }

void TMainFrm::BoreholeRbClick() { ui->CreationTbs->BoreholeRbClick(); }

void TMainFrm::Next1BtnClick() { ui->CreationTbs->Next1BtnClick(); }

void TMainFrm::Next2BtnClick() { ui->CreationTbs->Next2BtnClick(); }

void TMainFrm::Previous2BtnClick() { ui->CreationTbs->Previous2BtnClick(); }

void TMainFrm::ClearBtnClick() { ui->CreationTbs->ClearBtnClick(); }

void TMainFrm::ElectrodeLocationGdMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    ui->CreationTbs->ElectrodeLocationGdMouseDown(button, shift, x, y);
}

void TMainFrm::ElectrodeLocationGdClick() { ui->CreationTbs->ElectrodeLocationGdClick(); }

void TMainFrm::ElectrodeLocationGdDblClick() { ui->CreationTbs->ElectrodeLocationGdDblClick(); }

void TMainFrm::ElectrodeLocationGdMouseMove() { ui->CreationTbs->ElectrodeLocationGdMouseMove(); }

void TMainFrm::ElectrodeLocationGdKeyDown(int& key, Qt::KeyboardModifiers shift) {
    ui->CreationTbs->ElectrodeLocationGdKeyDown(key, shift);
}

void TMainFrm::ElectrodeLocationGdEnter() { ui->CreationTbs->ElectrodeLocationGdEnter(); }

void TMainFrm::ElectrodeLocationGdExit() { ui->CreationTbs->ElectrodeLocationGdExit(); }

// ---------------------------------------------------------------- the Configuration tab

void TMainFrm::StdChannelEdnExit() { ui->ConfigurationTbs->StdChannelEdnExit(); }

void TMainFrm::OptimizationChannelEdnExit() { ui->ConfigurationTbs->OptimizationChannelEdnExit(); }

void TMainFrm::QMaxEdnExit() { ui->ConfigurationTbs->QMaxEdnExit(); }

void TMainFrm::StackMinEdnExit() { ui->ConfigurationTbs->StackMinEdnExit(); }

void TMainFrm::StackMaxEdnExit() { ui->ConfigurationTbs->StackMaxEdnExit(); }

void TMainFrm::VabMaxEdtExit() { ui->ConfigurationTbs->VabMaxEdtExit(); }

void TMainFrm::StdChannelEdnUpDownChanging(bool& allowChange) {
    ui->ConfigurationTbs->StdChannelEdnUpDownChanging(allowChange);
}

void TMainFrm::ChannelEdnUpDownChanging(bool& allowChange) {
    ui->ConfigurationTbs->ChannelEdnUpDownChanging(allowChange);
}

void TMainFrm::QMaxEdnUpDownChanging(bool& allowChange) { ui->ConfigurationTbs->QMaxEdnUpDownChanging(allowChange); }

void TMainFrm::StackMinEdnUpDownChanging(bool& allowChange) {
    ui->ConfigurationTbs->StackMinEdnUpDownChanging(allowChange);
}

void TMainFrm::StackMaxEdnUpDownChanging(bool& allowChange) {
    ui->ConfigurationTbs->StackMaxEdnUpDownChanging(allowChange);
}

void TMainFrm::VabMaxEdtUpDownChanging(bool& allowChange) {
    ui->ConfigurationTbs->VabMaxEdtUpDownChanging(allowChange);
}

void TMainFrm::RhoOnlyRdBtnClick() { ui->ConfigurationTbs->RhoOnlyRdBtnClick(); }

void TMainFrm::RhoIPRdBtnClick() { ui->ConfigurationTbs->RhoIPRdBtnClick(); }

void TMainFrm::RhoOnlyRdBtnEnter() { ui->ConfigurationTbs->RhoOnlyRdBtnEnter(); }

void TMainFrm::RhoIPRdBtnEnter() { ui->ConfigurationTbs->RhoIPRdBtnEnter(); }

void TMainFrm::VpRdBtnClick() { ui->ConfigurationTbs->VpRdBtnClick(); }

void TMainFrm::VabRdBtnClick() { ui->ConfigurationTbs->VabRdBtnClick(); }

void TMainFrm::TimeCBClick() { ui->ConfigurationTbs->TimeCBClick(); }

void TMainFrm::IPModeCBClick() { ui->ConfigurationTbs->IPModeCBClick(); }

void TMainFrm::VmnCBClick() { ui->ConfigurationTbs->VmnCBClick(); }

void TMainFrm::VabCBClick() { ui->ConfigurationTbs->VabCBClick(); }

void TMainFrm::PlanoraNameTxtExit() { ui->ConfigurationTbs->PlanoraNameTxtExit(); }

void TMainFrm::CommentEdtExit() { ui->ConfigurationTbs->CommentEdtExit(); }

void TMainFrm::ArrayTypeListClick() { ui->ConfigurationTbs->ArrayTypeListClick(); }

void TMainFrm::BoreholeArrayTypeListClick() { ui->ConfigurationTbs->BoreholeArrayTypeListClick(); }

void TMainFrm::XCaPmTxtExit() { ui->ConfigurationTbs->XCaPmTxtExit(); }

void TMainFrm::YCaPmTxtExit() { ui->ConfigurationTbs->YCaPmTxtExit(); }

void TMainFrm::XCbPnTxtExit() { ui->ConfigurationTbs->XCbPnTxtExit(); }

void TMainFrm::YCbPnTxtExit() { ui->ConfigurationTbs->YCbPnTxtExit(); }

void TMainFrm::MultiChannelOptimizationCbClick() { ui->ConfigurationTbs->MultiChannelOptimizationCbClick(); }

void TMainFrm::AllowDummyQuadripolesCbClick() { ui->ConfigurationTbs->AllowDummyQuadripolesCbClick(); }

void TMainFrm::DelPolarEffectCbClick() { ui->ConfigurationTbs->DelPolarEffectCbClick(); }

void TMainFrm::IPModeProgBtnClick() { ui->ConfigurationTbs->IPModeProgBtnClick(); }

void TMainFrm::SpacingLevelGdDrawCell(QPainter& canvas, int col, int row, const QRect& rect, bool selected) {
    ui->ConfigurationTbs->SpacingLevelGdDrawCell(canvas, col, row, rect, selected);
}

void TMainFrm::SpacingLevelGdDblClick() { ui->ConfigurationTbs->SpacingLevelGdDblClick(); }

void TMainFrm::SpacingLevelGdClick() { ui->ConfigurationTbs->SpacingLevelGdClick(); }

void TMainFrm::SpacingLevelGdKeyDown(int& key, Qt::KeyboardModifiers shift) {
    ui->ConfigurationTbs->SpacingLevelGdKeyDown(key, shift);
}

void TMainFrm::SpacingLevelGdMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    ui->ConfigurationTbs->SpacingLevelGdMouseMove(shift, x, y);
}

void TMainFrm::SpacingLevelGdExit() { ui->ConfigurationTbs->SpacingLevelGdExit(); }

void TMainFrm::AutomaticCreationBtnClick() { ui->ConfigurationTbs->AutomaticCreationBtnClick(); }

void TMainFrm::AutomaticCreationOkBtnClick() { ui->ConfigurationTbs->AutomaticCreationOkBtnClick(); }

void TMainFrm::AutomaticCreationCancelBtnClick() { ui->ConfigurationTbs->AutomaticCreationCancelBtnClick(); }

void TMainFrm::AutomaticCreationHelpBtnClick() { ui->ConfigurationTbs->AutomaticCreationHelpBtnClick(); }

void TMainFrm::AutomaticCreationPanelEnter() { ui->ConfigurationTbs->AutomaticCreationPanelEnter(); }

void TMainFrm::InvestigationDepthEdtExit() { ui->ConfigurationTbs->InvestigationDepthEdtExit(); }

void TMainFrm::InvestigationDepthUpDownChanging() { ui->ConfigurationTbs->InvestigationDepthUpDownChanging(); }

void TMainFrm::AutoGridDepthLevelBtnClick() { ui->ConfigurationTbs->AutoGridDepthLevelBtnClick(); }

void TMainFrm::ComputeBtnClick() { ui->ConfigurationTbs->ComputeBtnClick(); }

void TMainFrm::MoveComputeBtnClick() { ui->ConfigurationTbs->MoveComputeBtnClick(); }

void TMainFrm::CreateNewSeqBtnClick() { ui->ConfigurationTbs->CreateNewSeqBtnClick(); }

void TMainFrm::MovePanelOkBtnClick() { ui->ConfigurationTbs->MovePanelOkBtnClick(); }

void TMainFrm::MovePanelCancelBtnClick() { ui->ConfigurationTbs->MovePanelCancelBtnClick(); }

void TMainFrm::MovePanelHelpBtnClick() { ui->ConfigurationTbs->MovePanelHelpBtnClick(); }

void TMainFrm::MovePanelEnter() { ui->ConfigurationTbs->MovePanelEnter(); }

void TMainFrm::NodeToMoveXUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    ui->ConfigurationTbs->NodeToMoveXUpDownChangingEx(allowChange, newValue, direction);
}

void TMainFrm::NodeToMoveYUpDownChangingEx(bool& allowChange, int newValue, int direction) {
    ui->ConfigurationTbs->NodeToMoveYUpDownChangingEx(allowChange, newValue, direction);
}
