#pragma once
// The panel of the sequence list: one entry for each open sequence, in the list's order, its
// path shortened to the room the list has; its tool bar holds the file commands and Exclude.
//
// It asks for the width the window gives it and may be squeezed down to 129 pixels, or to the
// width of its whole tool bar when that is wider, so a wide list never stops the window from
// shrinking and every tool stays on the bar.
#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace Ui {
class TListPanel;
}
class QAction;
class TControlEvents;
class TElectSequence;
class TSequenceList;

// What the list asks of the window: the user chose an entry, ticked or unticked one, or asked
// to exclude the one selected.
struct TListPanelWindow {
    std::function<void()> SeqFileLbClick;
    std::function<void()> SeqFileLbClickCheck;
    std::function<void()> ExcludeSeqBtnClick;
};

class TListPanel : public QWidget {
    Q_OBJECT
public:
    explicit TListPanel(QWidget* parent = nullptr);
    ~TListPanel() override;

    // Wires the list through events; its entries show the sequences of list.
    void Connect(TControlEvents& events, const TSequenceList& list, TListPanelWindow window);
    // Puts commands on the tool bar, before Exclude.
    void AddCommands(const QList<QAction*>& commands);
    QAction* ExcludeCommand() const;

    // Adds an entry for each sequence of the list it does not show yet.
    void AddEntryItems();
    // The entries as the list holds them, the current one selected.
    void ShowEntries();
    // The path of s shortened to the room the list has for an entry's text.
    QString EntryText(const TElectSequence& s) const;
    int EntryTextRoom() const;
    void RemakeEntryText(int i);
    // Entry i becomes the one selected; no handler runs.
    void SelectEntry(int i);
    int SelectedIndex() const;
    // Drops entry i, whose sequence has left the list.
    void RemoveEntry(int i);
    // The entries shown, and whether entry i is ticked.
    int EntryCount() const;
    bool Ticked(int i) const;
    int TickedCount() const;
    // The sequences of the ticked entries other than the one selected and the current one.
    std::vector<const TElectSequence*> OtherTickedSequences() const;
    // The focus goes to the list: an edit being typed in elsewhere is committed.
    void FocusList();

    int PanelWidth() const { return Width; }
    void SetPanelWidth(int w) {
        Width = w;
        updateGeometry();
    }
    QSize sizeHint() const override { return QSize(Width, QWidget::sizeHint().height()); }
    QSize minimumSizeHint() const override;

    static constexpr int kLeastWidth = 129;

private:
    std::unique_ptr<Ui::TListPanel> ui;
    const TSequenceList* List = nullptr;
    int Width = 209;
};
