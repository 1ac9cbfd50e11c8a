// The upload command: the checked sequences and the current one go to the meter in one
// exchange, logged in the upload window.
#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "link/Eventpump.h"
#include "link/Ports.h"
#include "link/UploadSession.h"
#include "ui/ControlEvents.h"
#include "ui/Main.h"
#include "ui/Viewupload.h"
#include "ui/Widgets.h"
#include "ui_Main.h"

namespace {
// The main window's progress bar as the block transfer sees it.
class TProgressBarSink : public TProgressSink {
public:
    explicit TProgressBarSink(QProgressBar* bar) : Bar(bar) {}
    void SetRange(int minimum, int maximum) override { Bar->setRange(minimum, maximum); }
    void SetPosition(int position) override { Bar->setValue(position); }
    int Position() const override { return Bar->value(); }

private:
    QProgressBar* Bar;
};

// The entries of the list the upload sends: the ticked ones and the current one, read from the
// list each time they are asked for.
class TListToUpload final : public TUploadList {
public:
    TListToUpload(const TSequenceList& list, const TListPanel& entries) : List(list), Entries(entries) {}
    int EntryCount() override { return std::min(List.Count(), Entries.EntryCount()); }
    TElectSequence* EntryToSend(int i) override {
        if (!Entries.Ticked(i) && i != Entries.SelectedIndex()) return nullptr;
        return List[std::size_t(i)];
    }

private:
    const TSequenceList& List;
    const TListPanel& Entries;
};

// While the exchange runs, the port menu and every command that changes, computes, saves or
// excludes a sequence, and the modal About box, are out of reach: a modal window opened from
// one of them would hold the exchange's waits until the meter gives up. Each control gets back
// the state it had.
class TUploadGuard {
public:
    TUploadGuard(bool& running, Ui::TMainFrm& ui) : Running(running), Exclude(ui.ListPanel->ExcludeCommand()) {
        Running = true;
        for (QWidget* w : std::initializer_list<QWidget*>{ui.Communicationport1, ui.CreationTbs, ui.ConfigurationTbs,
                                                          ui.ViewGraphTbs->ToolBar(), ui.ViewSheetTbs->ToolBar()}) {
            Widgets.push_back({w, OwnEnabled(w)});
            w->setEnabled(false);
        }
        for (QAction* a : {ui.New1, ui.Open1, ui.Save, ui.Saveas1, ui.SavetoSDcardformat1, ui.ExporttoSQTformatSolvy1,
                           ui.ListPanel->ExcludeCommand(), ui.Apropos1}) {
            Actions.push_back({a, a->isEnabled()});
            a->setEnabled(false);
        }
        ExcludeHint = Exclude->toolTip();
        Exclude->setToolTip(ExcludeHint + " (not while an upload is running)");
    }
    ~TUploadGuard() {
        Running = false;
        for (const auto& [w, enabled] : Widgets) w->setEnabled(enabled);
        for (const auto& [a, enabled] : Actions) a->setEnabled(enabled);
        Exclude->setToolTip(ExcludeHint);
    }
    TUploadGuard(const TUploadGuard&) = delete;
    TUploadGuard& operator=(const TUploadGuard&) = delete;

private:
    bool& Running;
    QAction* Exclude;
    QString ExcludeHint;
    std::vector<std::pair<QWidget*, bool>> Widgets;
    std::vector<std::pair<QAction*, bool>> Actions;
};
}  // namespace

void TMainFrm::ConnectUploadHandlers() {
    Events->OnClick(ui->Upload1, [this] { Upload1Click(); });
}

void TMainFrm::Upload1Click() {
    // One exchange at a time: the command can be reached again from inside its own waits.
    if (WindowState.UploadRunning) return;
    ui->ListPanel->FocusList();
    if (!ActivePort) ShowPortImage(true);

    auto view = std::make_unique<TViewUploadFrm>(this);
    view->OkBtn->hide();
    view->show();
    if (Seam().Question("Select RESKON/DUNEL menu to upload sequence and press < OK >", "Upload process",
                        TMsgButtons::OkCancel, TMsgIcon::Information) != TMsgResult::Ok)
        return;

    TUploadGuard guard(WindowState.UploadRunning, *ui);
    TProgressBarSink progress(ui->ProgressBar1);
    TListToUpload list(Sequences, *ui->ListPanel);
    TUploadSession(ActivePort, *view, &progress)
        .Run({.PortNumber = WindowState.PortNum,
              .Speed = WindowState.PortSpeed,
              .IPAddress = WindowState.IPAddress.toStdString()},
             list);
    view->OkBtn->show();
    view->CancelBtn->hide();
    while (view->Tag == 0) PumpEvents(10);
    // The window goes before the guard gives the controls back.
    view.reset();
}
