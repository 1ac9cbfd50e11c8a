// The upload command: the checked sequences and the current one go to the meter in one
// exchange, logged in the upload window.
#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "link/Eventpump.h"
#include "ui/Main.h"
#include "link/Portvirt.h"
#include "ui/Viewupload.h"
#include "ui_Main.h"

namespace {
const char* const kPortRefused =
    "Interrupted by user, or another software is using the communication port, close it and try again";

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

// The meter did not answer the synchronisation as it should: the exchange stops there.
struct TSyncFailed {};

// While the exchange runs, the port menu and every command that changes, computes, saves or
// excludes a sequence, and the modal About box, are out of reach: a modal window opened from
// one of them would hold the exchange's waits until the meter gives up. Each control gets back
// the state it had.
class TUploadGuard {
public:
    TUploadGuard(bool& running, Ui::TMainFrm& ui) : Running(running), Exclude(ui.ExcludeSeqBtn) {
        Running = true;
        for (QWidget* w : {static_cast<QWidget*>(ui.Communicationport1), ui.CreationTbs, ui.ConfigurationTbs,
                           static_cast<QWidget*>(ui.GraphToolbar), static_cast<QWidget*>(ui.ToolBar2)}) {
            Widgets.push_back({w, !w->testAttribute(Qt::WA_ForceDisabled)});
            w->setEnabled(false);
        }
        for (QAction* a : {ui.New1, ui.Open1, ui.Save, ui.Saveas1, ui.SavetoSDcardformat1, ui.ExporttoSQTformatSolvy1,
                           ui.ExcludeSeqBtn, ui.Apropos1}) {
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
    connect(ui->Upload1, &QAction::triggered, this, [this] { Upload1Click(); });
}

void TMainFrm::Upload1Click() {
    // One exchange at a time: the command can be reached again from inside its own waits.
    if (UploadRunning) return;
    ui->SeqFileLb->setFocus();
    if (!ActivePort) ShowPortImage(true);

    auto* view = new TViewUploadFrm(this);
    view->OkBtn->hide();
    view->show();
    if (Seam().Question("Select RESKON/DUNEL menu to upload sequence and press < OK >", "Upload process",
                        TMsgButtons::OkCancel, TMsgIcon::Information) != TMsgResult::Ok) {
        delete view;
        return;
    }

    TUploadGuard guard(UploadRunning, *ui);
    TProgressBarSink progress(ui->ProgressBar1);
    QString status;
    // Nothing goes to a meter the link could not synchronise with, the closing command included.
    bool synchronised = false;
    try {
        const std::string address = PortNum == 100 ? IPAddress.toStdString() : std::string();
        if (!ActivePort || ActivePort->Open(PortNum, PortSpeed, 0, std::string(), false, address) <= 0) {
            Seam().Message(kPortRefused);
        } else {
            view->ViewUploadNameLbl->setText("Synchronize...");
            ActivePort->SetLatency(10);
            std::string name(40, 'Z'), speed(40, 'Z');
            if (!ActivePort->Synchronize(name, speed)) throw TSyncFailed();
            synchronised = true;
            std::uint8_t v[4];
            ActivePort->GetBuffer(v, 4);
            const std::int32_t version = std::int32_t(std::uint32_t(v[0]) | std::uint32_t(v[1]) << 8 |
                                                      std::uint32_t(v[2]) << 16 | std::uint32_t(v[3]) << 24);
            view->ViewUploadNameLbl->setText("Connected to " + QString::fromStdString(name) + " at : " +
                                             QString::fromStdString(speed) + " bps");
            view->ClearLog();

            // The list is read afresh at every entry: commands run inside the waits.
            for (int i = 0; i < SequenceCount && i < ui->SeqFileLb->count(); ++i) {
                view->AddLine(QString());
                const QListWidgetItem* item = ui->SeqFileLb->item(i);
                if (item->checkState() != Qt::Checked && i != ui->SeqFileLb->currentRow()) continue;
                TElectSequence& s = *Sequences[std::size_t(i)];
                view->SetLogColor(QColor(0, 0, 128));
                view->AddLine("Upload file " + QString::number(i + 1) + " : ");
                view->AddLine("   " + QString::fromStdString(TrimText(s.FileName)));
                view->AddLine(QString());
                view->SetLogBold();
                view->AddLine("   Sequence name : " + QString::fromStdString(s.GetSeqName()) +
                              "  E:" + QString::number(s.Device.ElectrodeCount) +
                              "  Q:" + QString::number(s.Device.LastQuadripole + 1));
                const std::int32_t r = s.Upload(*ActivePort, version, &progress);
                bool stop = false;
                switch (r) {
                    case -4: status = "Please compute sequence before uploading it"; break;
                    case -3:
                        status = "The software version of Reskon or Dunel is too old, Contact Olvane Zerarezizuz for new version.";
                        stop = true;
                        break;
                    case -2: status = "An error occured during upload"; stop = true; break;
                    case -1: status = "Memory full can't store sequence"; stop = true; break;
                    default:
                        view->SetLogBold();
                        view->AddLine("   Stored on memory # " + QString::number(r));
                        break;
                }
                view->AddLine(QString());
                if (!status.isEmpty()) {
                    view->SetLogBold();
                    view->SetLogColor(QColor(255, 0, 0));
                    view->AddLine(status);
                }
                status.clear();
                if (stop) break;
            }
        }
    } catch (...) {
        status = "Communication stopped";
    }

    // The closing command; a Cancel may still come while it is awaited.
    try {
        if (synchronised && ActivePort && ActivePort->GetState() > 0)
            ActivePort->SendCmd(0, ActivePort->Timing.CommandTimeoutMs);
    } catch (...) {
        if (status.isEmpty()) status = "Communication stopped";
    }
    view->SetLogBold();
    view->AddLine(status);
    view->OkBtn->show();
    view->CancelBtn->hide();
    ui->ProgressBar1->setValue(0);
    while (view->Tag == 0) PumpEvents(10);
    delete view;
}
