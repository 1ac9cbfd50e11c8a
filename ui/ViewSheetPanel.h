#pragma once
// The "View Sheet" tab: the electrode and quadripole sheets of the sequence shown, their
// printing and their comma-separated export.
#include <QWidget>
#include <memory>

#include "seam/Seam.h"

namespace Ui {
class TViewSheetPanel;
}
class QPrinter;
class TControlEvents;
class TElectSequence;
class TElectrodeSheet;
class TQuadripoleSheet;
class TStringGrid;
struct TWindowState;

class TViewSheetPanel : public QWidget {
    Q_OBJECT
public:
    explicit TViewSheetPanel(QWidget* parent = nullptr);
    ~TViewSheetPanel() override;

    // Wires the controls through events; an export starts in the sequence folder of state.
    void Connect(TControlEvents& events, const TWindowState& state);

    // Both sheets from s.
    void FillSequenceGrids(const TElectSequence& s);
    // The grid's width shares the columns out.
    void SizeSheetColumns();

    // The bar of the print and export commands.
    QWidget* ToolBar() const;

    void PrintElectrodeClick();
    void PrintQuadripoleClick();
    void ExportElectrodeClick();
    void ExportQuadripoleClick();

private:
    // Prints every cell of grid, columnsPerBlock columns across a page.
    void PrintGrid(TStringGrid* grid, int columnsPerBlock);
    // Writes grid as a comma-separated file chosen through SaveDialog2.
    void ExportGrid(TStringGrid* grid);

    std::unique_ptr<Ui::TViewSheetPanel> ui;
    TQuadripoleSheet* QuadripoleSheet;
    TElectrodeSheet* ElectrodeSheet;
    const TWindowState* State = nullptr;
    TFileDialogSetup SaveDialog2;
    // The printer and the choices of its set-up dialog, kept from one job to the next;
    // created at the first print.
    std::shared_ptr<QPrinter> Printer;
};
