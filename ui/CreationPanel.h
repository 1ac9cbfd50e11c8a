#pragma once
// The "Creation" tab: the electrode layout of the current sequence. The type of measurement,
// the grid's sizes, spacings and offsets, then the location grid, whose cells hold the
// electrode numbers placed on each node.
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "engine/Electgrid.h"
#include "engine/SequenceEditor.h"

namespace Ui {
class TCreationPanel;
}
class TControlEvents;
class TElectSequence;
class TSequenceList;

// What the Creation tab asks of the window.
struct TCreationWindow {
    // The grid parameters step is shown for a borehole or not: the array list of that type
    // and its remote electrodes are the ones to offer.
    std::function<void(bool borehole)> ShowArrayList;
};

class TCreationPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCreationPanel(QWidget* parent = nullptr);
    ~TCreationPanel() override;

    // Wires the controls through events; the edits go to the current sequence of list.
    void Connect(TControlEvents& events, const TSequenceList& list, TCreationWindow window);

    // The layout of s in every control of the tab; reads s and writes nothing into it.
    void ShowSequence(const TElectSequence& s);
    // The location grid has been laid out (the commands on its cells are open).
    bool GridLaidOut() const;
    // "48 Nodes  - X spacing: 2m": the layout as the tab shows it.
    QString LayoutCaption() const;
    // The width of the group of the grid's sizes, spacings and offsets.
    void SetLocationBoxWidth(int width);

    void LineClick();
    void SurfaceRbClick();
    void BoreholeRbClick();
    void UpdateAxisLabels();
    void Next1BtnClick();
    void Next2BtnClick();
    // The grid parameters step of the tab (what Next1Btn leads to), for the grid type checked.
    void ShowGridParametersStep();
    // The grid's sizes, spacings and offsets as the layout edits give them: a text the window
    // wrote from the record and the user left alone keeps the record's value; texts that are
    // not usable are corrected in place, beep set when one was out of range.
    TGridGeometry ReadGridGeometry(bool& beep);
    // Lays the location grid out for geometry g, its cells empty.
    void LayOutElectrodeGrid(const TGridGeometry& g);
    void Previous2BtnClick();
    void ClearBtnClick();
    void SelectWholeGrid();
    void RescanElectrodeGrid();
    // The electrode fields of the current grid as the location grid's cells give them; cells
    // that hold no electrode number are emptied, the counts shown and the duplicates marked.
    TElectGrid ScanElectrodeGrid();
    // x, y: pixel position in the location grid's cell area.
    void ElectrodeLocationGdMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void ElectrodeLocationGdClick();
    void ElectrodeLocationGdDblClick();
    void ElectrodeLocationGdMouseMove();
    void ElectrodeLocationGdKeyDown(int& key, Qt::KeyboardModifiers shift);
    void ElectrodeLocationGdEnter();
    void ElectrodeLocationGdExit();
    // Leaving a size, spacing or offset edit of the layout: a value that is not usable is
    // corrected, written back and signalled with a beep.
    void LayoutEditExit(QWidget* edit);
    // Selected cells of the location grid as columns left..right, rows top..bottom in grid
    // coordinates (the fixed column and row are 0); an empty rectangle when nothing is selected.
    QRect LocationSelection() const;
    // The cell holds a number that the last rescan found in more than one cell.
    bool DuplicateMarked(int col, int row) const;
    // The cell under the last press of the mouse in the location grid (column, row; -1, -1
    // when the press was outside the cells).
    QPoint MouseDownCell() const { return QPoint(MouseDownCol, MouseDownRow); }

private:
    TElectSequence* Current() const;
    TSequenceEditor Edit() const { return TSequenceEditor(*Current()); }
    // A surface and a borehole have a second axis: the spacing the editor gave it shows.
    void ChooseTwoAxisType(TGridType type);

    std::unique_ptr<Ui::TCreationPanel> ui;
    const TSequenceList* List = nullptr;
    TCreationWindow Window;
    int MouseDownCol = -1, MouseDownRow = -1, RunningNumber = 0;
    std::array<bool, kMaxElectrodes> DuplicateNumber{};
};
