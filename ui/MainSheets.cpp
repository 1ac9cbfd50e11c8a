// Printing and comma-separated export of the electrode and quadripole sheets.
#include "ui/Main.h"

#include <QFileInfo>
#include <QPrinter>

#include "seam/UserFile.h"
#include "ui/ControlEvents.h"
#include "ui/SheetPrint.h"
#include "ui/StringGrid.h"
#include "ui_Main.h"

void TMainFrm::ConnectSheetHandlers() {
    SaveDialog2.Save = true;
    SaveDialog2.Filter = "*.csv|*.csv";
    SaveDialog2.DefaultExt = ".csv";
    // The window asks itself before a file is replaced, whatever the dialog does.
    SaveDialog2.OverwritePrompt = false;
    TControlEvents& e = *Events;
    e.OnClick(ui->PrintElectrode, [this] { PrintElectrodeClick(); });
    e.OnClick(ui->PrintQuadripole, [this] { PrintQuadripoleClick(); });
    e.OnClick(ui->ExportElectrode, [this] { ExportElectrodeClick(); });
    e.OnClick(ui->ExportQuadripole, [this] { ExportQuadripoleClick(); });
}

void TMainFrm::PrintGrid(TStringGrid* grid, int columnsPerBlock) {
    TWaitCursor wait;
    QPrinter& printer = *Printer;
    if (PrintSheet(*grid->GridModel(), columnsPerBlock, printer)) return;
    const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    Seam().Message("Can't print the grid on < " + where + " >");
}

void TMainFrm::PrintElectrodeClick() {
    if (!Printer) Printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!Seam().SetupPrinter(*Printer, nullptr)) return;
    PrintGrid(ui->ElectrodeGd, 4);
}

void TMainFrm::PrintQuadripoleClick() {
    if (!Printer) Printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    if (!Seam().SetupPrinter(*Printer, nullptr)) return;
    PrintGrid(ui->QuadripoleGd, 9);
}

void TMainFrm::ExportGrid(TStringGrid* grid) {
    if (SaveDialog2.InitialDir.isEmpty()) SaveDialog2.InitialDir = WindowState.SequenceFolder;
    if (!Seam().ExecuteFileDialog(SaveDialog2)) return;
    const QString name = ChosenFileName(SaveDialog2);
    // The dialog offers the name last used, which may well be the other sheet's file.
    if (QFileInfo::exists(name) &&
        Seam().Question("< " + name + " > already exists.\nReplace it?", "Export", TMsgButtons::OkCancel,
                        TMsgIcon::Warning) != TMsgResult::Ok)
        return;
    const QByteArray text = SheetCommaText(*grid->GridModel());
    if (!WriteUserFile(name, text)) Seam().Message("Can't export the grid with < " + name + " > filename");
}

void TMainFrm::ExportElectrodeClick() { ExportGrid(ui->ElectrodeGd); }

void TMainFrm::ExportQuadripoleClick() { ExportGrid(ui->QuadripoleGd); }
