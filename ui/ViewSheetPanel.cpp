// The sheets of the sequence shown: filling, sizing, printing and comma-separated export.
#include "ui/ViewSheetPanel.h"

#include <QFileInfo>
#include <QPrinter>
#include <algorithm>

#include "seam/UserFile.h"
#include "ui/ControlEvents.h"
#include "ui/SheetModels.h"
#include "ui/QtHost.h"
#include "ui/SheetPrint.h"
#include "ui/StringGrid.h"
#include "ui/WindowState.h"
#include "ui_ViewSheetPanel.h"

TViewSheetPanel::TViewSheetPanel(QWidget* parent)
    : QWidget(parent),
      ui(std::make_unique<Ui::TViewSheetPanel>()),
      QuadripoleSheet(new TQuadripoleSheet(this)),
      ElectrodeSheet(new TElectrodeSheet(this)) {
    ui->setupUi(this);
    QuadripoleSheet->FixedCols = 1;
    ElectrodeSheet->FixedCols = 1;
    ui->QuadripoleGd->SetGridModel(QuadripoleSheet);
    ui->QuadripoleGd->SetDefaultColWidth(50);
    ui->QuadripoleGd->SetDefaultRowHeight(21);
    ui->QuadripoleGd->SetColWidth(0, kSheetNumberWidth);
    ui->ElectrodeGd->SetGridModel(ElectrodeSheet);
    ui->ElectrodeGd->SetDefaultColWidth(48);
    ui->ElectrodeGd->SetDefaultRowHeight(21);
    ui->ElectrodeGd->SetColWidth(0, kSheetNumberWidth);
}

TViewSheetPanel::~TViewSheetPanel() = default;

void TViewSheetPanel::Connect(TControlEvents& e, const TWindowState& state) {
    State = &state;
    SaveDialog2.Save = true;
    SaveDialog2.Filter = "*.csv|*.csv";
    SaveDialog2.DefaultExt = ".csv";
    // The window asks itself before a file is replaced, whatever the dialog does.
    SaveDialog2.OverwritePrompt = false;
    for (QWidget* sheet : {ui->QuadripoleGd, ui->ElectrodeGd})
        e.OnEvent(sheet, QEvent::Resize, [this](QEvent*) {
            SizeSheetColumns();
            return false;
        });
    e.OnClick(ui->PrintElectrode, [this] { PrintElectrodeClick(); });
    e.OnClick(ui->PrintQuadripole, [this] { PrintQuadripoleClick(); });
    e.OnClick(ui->ExportElectrode, [this] { ExportElectrodeClick(); });
    e.OnClick(ui->ExportQuadripole, [this] { ExportQuadripoleClick(); });
}

QWidget* TViewSheetPanel::ToolBar() const { return ui->ToolBar2; }

void TViewSheetPanel::FillSequenceGrids(const TElectSequence& s) {
    QuadripoleSheet->Load(s);
    ElectrodeSheet->Load(s);
    SizeSheetColumns();
}

void TViewSheetPanel::SizeSheetColumns() {
    // The grid width shares the columns out; no column narrower than its title or its widest
    // figure, none of which is ever cut (the sheet scrolls sideways instead).
    auto share = [](TStringGrid* g, int margin, int columns) {
        g->SetColWidth(0, std::max(kSheetNumberWidth, g->ContentWidth(0)));
        const int w = (g->width() - margin) / columns - 1;
        for (int c = 1; c <= columns; ++c) g->SetColWidth(c, std::max(w, g->ContentWidth(c)));
    };
    share(ui->QuadripoleGd, 76, 8);
    share(ui->ElectrodeGd, 71, 3);
}

// ---------------------------------------------------------------- printing

void TViewSheetPanel::PrintGrid(TStringGrid* grid, int columnsPerBlock) {
    if (!Printer) Printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!Seam().SetupPrinter(*Printer, nullptr)) return;
    TWaitCursor wait;
    QPrinter& printer = *Printer;
    if (PrintSheet(*grid->GridModel(), columnsPerBlock, printer)) return;
    const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    Seam().Message("Can't print the grid on < " + where + " >");
}

void TViewSheetPanel::PrintElectrodeClick() { PrintGrid(ui->ElectrodeGd, 4); }

void TViewSheetPanel::PrintQuadripoleClick() { PrintGrid(ui->QuadripoleGd, 9); }

// ---------------------------------------------------------------- comma-separated export

void TViewSheetPanel::ExportGrid(TStringGrid* grid) {
    if (SaveDialog2.InitialDir.isEmpty() && State) SaveDialog2.InitialDir = State->SequenceFolder;
    if (!Seam().ExecuteFileDialog(SaveDialog2)) return;
    const QString name = ChosenFileName(SaveDialog2);
    // The dialog offers the name last used, which may well be the other sheet's file.
    if (QFileInfo::exists(name) &&
        Seam().Question("< " + name + " > already exists.\nReplace it?", "Export", TMsgButtons::OkCancel,
                        TMsgIcon::Warning) != TMsgResult::Ok)
        return;
    const QByteArray text = SheetCommaText(*grid->GridModel());
    if (QString why; !WriteUserFile(name, text, &why))
        Seam().Message(WithReason("Can't export the grid with < " + name + " > filename", why));
}

void TViewSheetPanel::ExportElectrodeClick() { ExportGrid(ui->ElectrodeGd); }

void TViewSheetPanel::ExportQuadripoleClick() { ExportGrid(ui->QuadripoleGd); }
