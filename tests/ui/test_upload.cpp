// The upload command against the simulated meter on 127.0.0.1, through the window's own
// TCP/IP port object.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <functional>

#include "tests/support/MeterLinks.h"
#include "tests/ui/PortTest.h"
#include "link/Portip.h"
#include "ui/Viewupload.h"
#include "ui/StringGrid.h"

namespace {
const QString kRefused =
    "Interrupted by user, or another software is using the communication port, close it and try again";

struct TLogLine {
    QString Text;
    QColor Color;
    bool Bold;
};

void ExpectImageOf(const TElectSequence& s, const TMeterSim::TImage& image, bool remotes = true) {
    ASSERT_TRUE(image.Complete);
    ASSERT_EQ(image.Header.size(), std::size_t(kDeviceHeaderSize));
    EXPECT_EQ(std::memcmp(image.Header.data(), &s.Device, kDeviceHeaderSize), 0);
    ASSERT_EQ(image.Electrodes.size(), std::size_t(s.Device.LastElectrode + 1));
    for (std::size_t e = 0; e < image.Electrodes.size(); ++e) {
        EXPECT_EQ(image.Electrodes[e].X, s.Device.Electrodes[e].X) << e;
        EXPECT_EQ(image.Electrodes[e].Y, s.Device.Electrodes[e].Y) << e;
        EXPECT_EQ(image.Electrodes[e].Z, s.Device.Electrodes[e].Z) << e;
    }
    ASSERT_EQ(image.Remotes.size(), remotes ? 4u : 0u);
    for (std::size_t r = 0; r < image.Remotes.size(); ++r) EXPECT_EQ(image.Remotes[r].X, s.RemoteElectrodes[r].X);
    ASSERT_EQ(image.Quads.size(), std::size_t(s.Device.LastQuadripole + 1));
    for (std::size_t q = 0; q < image.Quads.size(); ++q) {
        const TQuadripole& want = s.Device.Quadripoles[q];
        const TMeterSim::TQuad& got = image.Quads[q];
        EXPECT_EQ(got.A, want.A) << q;
        EXPECT_EQ(got.B, want.B) << q;
        EXPECT_EQ(got.M, want.M) << q;
        EXPECT_EQ(got.N, want.N) << q;
        EXPECT_FALSE(got.GapFiller) << q;
    }
}

class UploadTest : public PortTest {
protected:
    void SetUp() override {
        PortTest::SetUp();
        AttachMeter(Link, Meter);
        // The "user" may act on what the meter has just received, as a click arriving during a wait.
        Link.OnBytes = [this, meter = Link.OnBytes](const std::uint8_t* d, std::size_t n) {
            meter(d, n);
            auto* view = W ? W->findChild<TViewUploadFrm*>() : nullptr;
            if (!view) return;
            Hook(*view);
            if (OnMeter) OnMeter(*view);
        };
        StoreSettings(kIPPortNumber, "127.0.0.1");
        W = Start();
        auto* ip = dynamic_cast<TPortIP*>(ActivePort);
        ASSERT_NE(ip, nullptr);
        ip->TcpPort = Link.Port();
        // Short, yet with room for a loaded machine.
        ip->Timing = TLinkTiming().Scaled(0.1);
        // The first entry ("NewSeq") stays out of the upload unless a test takes it.
        Find<QListWidget>(W, "SeqFileLb")->item(0)->setCheckState(Qt::Unchecked);
    }
    void TearDown() override {
        if (W) Close(W);
        PortTest::TearDown();
    }

    // A computed sequence saved under name and added to the list; its entry is checked when asked.
    TElectSequence* Add(const QString& name, int count, bool checked, bool computed = true) {
        auto s = MakeSequence(count, 2.0f, 24 + count % 7);
        s->SetSeqName(name.toStdString());
        if (!computed) s->Device.LastQuadripole = -1;
        WriteSequence(*s, Path(name + ".sqz"));
        TElectSequence* p = s.get();
        EXPECT_TRUE(W->AppendSequence(std::move(s)));
        Find<QListWidget>(W, "SeqFileLb")
            ->item(W->List().Count() - 1)
            ->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        return p;
    }
    void MakeCurrent(int i) { Find<QListWidget>(W, "SeqFileLb")->setCurrentRow(i); }

    // Runs the command; the "user" presses OK once it is shown.
    void Upload() {
        Log.clear();
        OkPressed = false;
        Label.clear();
        QTimer tick;
        Hooked = nullptr;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            auto* view = W->findChild<TViewUploadFrm*>();
            if (!view) return;
            Hook(*view);
            Label = view->ViewUploadNameLbl->text();
            if (!view->OkBtn->isHidden() && view->Tag == 0) {
                EXPECT_TRUE(view->CancelBtn->isHidden());
                OkPressed = true;
                Log = Lines(*view);
                view->OkBtn->click();
            }
        });
        // Not 0: a zero timer waits for an idle event loop, and the link keeps it busy.
        tick.start(1);
        W->Upload1Click();
        EXPECT_EQ(W->findChild<TViewUploadFrm*>(), nullptr);
        EXPECT_EQ(Find<QProgressBar>(W, "ProgressBar1")->value(), 0);
        EXPECT_FALSE(W->State().UploadRunning);
        EXPECT_TRUE(Find<QMenu>(W, "Communicationport1")->isEnabled());
    }

    // Follows the log of the window from now on.
    void Hook(TViewUploadFrm& view) {
        if (&view == Hooked) return;
        Hooked = &view;
        TViewUploadFrm* v = &view;
        QObject::connect(view.UploadListTxt->document(), &QTextDocument::contentsChanged, v,
                         [this, v] { Log = Lines(*v); });
    }
    static std::vector<TLogLine> Lines(const TViewUploadFrm& view) {
        std::vector<TLogLine> out;
        if (view.LogLines().isEmpty()) return out;
        for (QTextBlock b = view.UploadListTxt->document()->begin(); b.isValid(); b = b.next())
            out.push_back({b.text(), b.charFormat().foreground().color(), b.charFormat().fontWeight() == QFont::Bold});
        return out;
    }
    QStringList LogTexts() const {
        QStringList t;
        for (const TLogLine& l : Log) t << l.Text;
        return t;
    }
    const TLogLine* Line(const QString& text) const {
        for (const TLogLine& l : Log)
            if (l.Text == text) return &l;
        return nullptr;
    }
    // A confirmed upload to a fresh meter set by knobs.
    void UploadTo(const std::function<void(TMeterSim::TKnobs&)>& knobs) {
        Meter = TMeterSim();
        knobs(Meter.Knobs);
        Confirm();
        Upload();
    }
    // The answers of the confirmation box and of the Wi-Fi prompt.
    void Confirm() { Input.Answers = {TMsgResult::Ok, TMsgResult::Ok}; }

    TMeterSim Meter;
    TMeterTcpHost Link;
    std::unique_ptr<TMainFrm> W;
    std::function<void(TViewUploadFrm&)> OnMeter;
    std::vector<TLogLine> Log;
    QString Label;
    bool OkPressed = false;
    TViewUploadFrm* Hooked = nullptr;
};

QStringList EntryLines(int entry, const TElectSequence& s, const QString& result) {
    QStringList l = {"", "Upload file " + QString::number(entry) + " : ",
                     "   " + QString::fromStdString(TrimText(s.FileName)), "",
                     "   Sequence name : " + QString::fromStdString(s.GetSeqName()) + "  E:" +
                         QString::number(s.Device.ElectrodeCount) + "  Q:" + QString::number(s.Device.LastQuadripole + 1)};
    if (!result.isEmpty() && !result.startsWith("   Stored")) return l << "" << result;
    if (!result.isEmpty()) l << result;
    return l << "";
}
}  // namespace

TEST_F(UploadTest, TheCheckedEntriesAndTheCurrentOneReachTheMeterInListOrder) {
    TElectSequence* first = Add("first", 30, true);
    TElectSequence* current = Add("current", 45, false);
    Add("skipped", 12, false);
    MakeCurrent(2);
    Confirm();
    Upload();

    ASSERT_EQ(Meter.Images.size(), 2u);
    ExpectImageOf(*first, Meter.Images[0]);
    ExpectImageOf(*current, Meter.Images[1]);
    EXPECT_EQ(Meter.Images[0].Command, 0xBB);
    EXPECT_EQ(Meter.Commands, (std::vector<std::uint8_t>{0xBB, 0xBB, 0x00}));

    QStringList want = {""};
    want << EntryLines(2, *first, "   Stored on memory # 0") << EntryLines(3, *current, "   Stored on memory # 1");
    want << "" << "";
    EXPECT_EQ(LogTexts(), want);
    const TLogLine* title = Line("Upload file 2 : ");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Color, QColor(0, 0, 128));
    ASSERT_NE(Line("   Stored on memory # 1"), nullptr);
    EXPECT_TRUE(Line("   Stored on memory # 1")->Bold);
    EXPECT_TRUE(Log.back().Bold);
    EXPECT_EQ(Label, "Connected to RESKON at : 127.0.0.1 bps");
    EXPECT_TRUE(OkPressed);

    ASSERT_GE(Input.Questions.size(), 2u);
    EXPECT_EQ(Input.Questions[0].Text, "Select RESKON/DUNEL menu to upload sequence and press < OK >");
    EXPECT_EQ(Input.Questions[0].Caption, "Upload process");
    EXPECT_EQ(Input.Questions[0].Buttons, TMsgButtons::OkCancel);
    EXPECT_EQ(Input.Questions[0].Icon, TMsgIcon::Information);
    EXPECT_EQ(Input.Questions[1].Caption, "connect to 127.0.0.1");
    EXPECT_TRUE(Input.Messages.isEmpty()) << Input.Messages.join('\n').toStdString();
    // The port stays open after an exchange that was not cancelled.
    EXPECT_EQ(ActivePort->GetState(), kIPPortNumber);
}

TEST_F(UploadTest, ANotComputedEntryIsLoggedAndTheNextOneStillGoes) {
    TElectSequence* raw = Add("raw", 10, true, false);
    TElectSequence* done = Add("done", 20, true);
    MakeCurrent(2);
    Confirm();
    Upload();
    ASSERT_EQ(Meter.Images.size(), 1u);
    ExpectImageOf(*done, Meter.Images[0]);
    QStringList want = {""};
    want << EntryLines(2, *raw, "Please compute sequence before uploading it")
         << EntryLines(3, *done, "   Stored on memory # 0") << "";
    EXPECT_EQ(LogTexts(), want);
    const TLogLine* status = Line("Please compute sequence before uploading it");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->Color, QColor(255, 0, 0));
    EXPECT_TRUE(status->Bold);
    EXPECT_EQ(Meter.Commands, (std::vector<std::uint8_t>{0xBB, 0x00}));
}

TEST_F(UploadTest, FailuresOfTheMeterEndTheLoop) {
    struct TCase {
        const char* name;
        std::function<void(TMeterSim::TKnobs&)> knobs;
        QString status;
        std::vector<std::uint8_t> commands;
    };
    const TCase cases[] = {
        {"memory full", [](TMeterSim::TKnobs& k) { k.MemoryFull = true; }, "Memory full can't store sequence",
         {0xBB, 0x00}},
        {"old firmware", [](TMeterSim::TKnobs& k) { k.Version = 0x20000001; },
         "The software version of Reskon or Dunel is too old, Contact Olvane Zerarezizuz for new version.", {0x00}},
    };
    TElectSequence* a = Add("a", 10, true);
    Add("b", 12, true);
    MakeCurrent(1);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        UploadTo(c.knobs);
        EXPECT_TRUE(Meter.Images.empty());
        EXPECT_EQ(Meter.Commands, c.commands);
        QStringList want = {""};
        want << EntryLines(2, *a, c.status) << "";
        EXPECT_EQ(LogTexts(), want);
        ASSERT_NE(Line(c.status), nullptr);
        EXPECT_EQ(Line(c.status)->Color, QColor(255, 0, 0));
        EXPECT_TRUE(OkPressed);
        ActivePort->Close();
    }
}

TEST_F(UploadTest, FirmwareThatOnlyTakesTheOldCommandIsWarnedAndServed) {
    TElectSequence* a = Add("a", 10, true);
    MakeCurrent(1);
    Meter.Knobs.Version = 0x20000002;
    Confirm();
    Upload();
    ASSERT_EQ(Meter.Images.size(), 1u);
    EXPECT_EQ(Meter.Images[0].Command, 0xAA);
    ExpectImageOf(*a, Meter.Images[0], false);
    ASSERT_EQ(Input.Messages.size(), 1);
    EXPECT_TRUE(Input.Messages[0].startsWith("The software version of Reskon or Dunel is too old, All fonctionnalities"));
    EXPECT_NE(Line("   Stored on memory # 0"), nullptr);
}

TEST_F(UploadTest, CancelDuringATransferLogsTheErrorAndClosesAtOnce) {
    Add("a", 400, true);
    Add("b", 20, true);
    MakeCurrent(1);
    OnMeter = [this](TViewUploadFrm& view) {
        // In the second block transfer of the first sequence.
        if (Meter.Transfers.size() >= 2 && Meter.Commands.size() == 1 && !view.CancelBtn->isHidden()) view.CancelBtn->click();
    };
    Confirm();
    Upload();
    EXPECT_FALSE(OkPressed);
    EXPECT_TRUE(std::none_of(Meter.Images.begin(), Meter.Images.end(), [](const auto& i) { return i.Complete; }));
    EXPECT_EQ(Meter.Commands, std::vector<std::uint8_t>{0xBB});
    const TLogLine* status = Line("An error occured during upload");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->Color, QColor(255, 0, 0));
    EXPECT_EQ(Line("Upload file 3 : "), nullptr);
    EXPECT_EQ(ActivePort->GetState(), 0);
}

TEST_F(UploadTest, CancelBeforeTheVersionCameStopsTheCommunication) {
    Add("a", 10, true);
    MakeCurrent(1);
    Meter.Knobs.SyncEchoAt = 0;  // the meter never answers the probes
    OnMeter = [this](TViewUploadFrm& view) {
        if (std::count(Meter.Received.begin(), Meter.Received.end(), 0x40) >= 3 && !view.CancelBtn->isHidden()) view.CancelBtn->click();
    };
    Confirm();
    Upload();
    EXPECT_FALSE(OkPressed);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back().Text, "Communication stopped");
    EXPECT_TRUE(Log.back().Bold);
    EXPECT_TRUE(Meter.Commands.empty());
    EXPECT_EQ(Label, "Synchronize...");
    EXPECT_EQ(ActivePort->GetState(), 0);
}

// A 0xFF byte ends a line on the TCP/IP link: the meter's speed or name never arrives whole,
// so the link is not synchronised and nothing is sent, not even the closing command.
TEST_F(UploadTest, AFailedSynchronisationStopsTheCommunicationAndSendsNothing) {
    struct TCase {
        const char* name;
        std::function<void(TMeterSim::TKnobs&)> knobs;
    };
    const TCase cases[] = {
        {"speed line", [](TMeterSim::TKnobs& k) { k.SpeedLine = "273\xFF" "000"; }},
        {"name line", [](TMeterSim::TKnobs& k) { k.NameLine = "RES\xFFKON"; }},
    };
    Add("a", 10, true);
    MakeCurrent(1);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        UploadTo(c.knobs);
        EXPECT_TRUE(OkPressed);
        EXPECT_TRUE(Meter.Commands.empty());
        EXPECT_TRUE(Meter.Images.empty());
        ASSERT_FALSE(Log.empty());
        EXPECT_EQ(Log.back().Text, "Communication stopped");
        EXPECT_TRUE(Log.back().Bold);
        EXPECT_EQ(Label, "Synchronize...");
        EXPECT_EQ(Line("Upload file 2 : "), nullptr);
        ActivePort->Close();
    }
}

// A Cancel while the closing command is being confirmed throws out of its handshake: the
// command still ends normally and logs the stop.
TEST_F(UploadTest, CancelDuringTheClosingCommandStopsTheCommunication) {
    Add("a", 10, true);
    MakeCurrent(1);
    OnMeter = [this](TViewUploadFrm& view) {
        if (Meter.Images.size() == 1 && Meter.Images[0].Complete && Meter.Phase() == TMeterSim::TPhase::Complement &&
            !view.CancelBtn->isHidden())
            view.CancelBtn->click();
    };
    Confirm();
    Upload();
    EXPECT_FALSE(OkPressed);
    EXPECT_NE(Line("   Stored on memory # 0"), nullptr);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.back().Text, "Communication stopped");
    EXPECT_EQ(Meter.Commands, std::vector<std::uint8_t>{0xBB});
    EXPECT_EQ(ActivePort->GetState(), 0);
}

TEST_F(UploadTest, APortThatDoesNotOpenIsReported) {
    Add("a", 10, true);
    Input.Answers = {TMsgResult::Ok, TMsgResult::Cancel};  // the Wi-Fi prompt refused
    Upload();
    EXPECT_EQ(Input.Messages, QStringList{kRefused});
    EXPECT_TRUE(OkPressed);
    EXPECT_EQ(LogTexts(), QStringList{""});
    EXPECT_EQ(Link.Connections(), 0);
}

TEST_F(UploadTest, RefusingTheConfirmationTouchesNothing) {
    Add("a", 10, true);
    Input.Answers = {TMsgResult::Cancel};
    Upload();
    EXPECT_EQ(Input.Questions.size(), 1u);
    EXPECT_FALSE(OkPressed);
    EXPECT_EQ(Link.Connections(), 0);
    EXPECT_EQ(ActivePort->GetState(), 0);
}

TEST_F(UploadTest, TheCurrentEntryGoesEvenWhenNothingIsChecked) {
    TElectSequence* only = Add("only", 16, false);
    MakeCurrent(1);
    Confirm();
    Upload();
    ASSERT_EQ(Meter.Images.size(), 1u);
    ExpectImageOf(*only, Meter.Images[0]);
}

// The window stays usable during the waits: a port change or a second upload from there
// must not pull the port object from under the exchange.
TEST_F(UploadTest, CommandsInsideTheWaitsLeaveThePortAlone) {
    Add("a", 200, true);
    MakeCurrent(1);
    TPortVirt* port = ActivePort;
    bool tried = false;
    OnMeter = [&](TViewUploadFrm&) {
        if (tried || Meter.Transfers.size() < 2) return;
        tried = true;
        EXPECT_FALSE(Find<QMenu>(W, "Communicationport1")->isEnabled());
        Find<QAction>(W, "USB")->trigger();
        Find<QAction>(W, "Upload1")->trigger();
    };
    Confirm();
    Upload();
    EXPECT_TRUE(tried);
    EXPECT_EQ(ActivePort, port);
    EXPECT_EQ(W->State().PortNum, kIPPortNumber);
    EXPECT_EQ(Input.Questions.size(), 2u);
    EXPECT_EQ(Meter.Images.size(), 1u);
    EXPECT_EQ(Meter.Commands, (std::vector<std::uint8_t>{0xBB, 0x00}));
}

TEST_F(UploadTest, NeitherCloseNorExcludeFreesWhatTheUploadIsSending) {
    Add("a", 200, true);
    MakeCurrent(1);
    const int count = W->List().Count();
    bool tried = false;
    OnMeter = [&](TViewUploadFrm&) {
        if (tried || Meter.Transfers.size() < 2) return;
        tried = true;
        bool canClose = true;
        W->FormCloseQuery(canClose);
        EXPECT_FALSE(canClose);
        W->ExcludeSeqBtnClick();
        // Said where it does not stop the exchange: no message box.
        EXPECT_EQ(Find<QStatusBar>(W, "StatusBar1")->currentMessage(),
                  "A sequence cannot be excluded while an upload is running.");
    };
    Confirm();
    Upload();
    EXPECT_TRUE(tried);
    EXPECT_EQ(W->List().Count(), count);
    EXPECT_EQ(Meter.Images.size(), 1u);
    EXPECT_EQ(Input.Questions.size(), 2u);
    EXPECT_TRUE(Input.Messages.isEmpty());
}

// A computation (with its modal results window), a save, an edit or the modal About box during
// the exchange would hold its waits or change what is being sent: out of reach until it ends.
TEST_F(UploadTest, CommandsThatChangeOrSaveASequenceWaitForTheUploadToEnd) {
    Add("a", 200, true);
    MakeCurrent(1);
    W->SetActivePage(Find<QTabWidget>(W, "PageControl1")->indexOf(Find<QWidget>(W, "ConfigurationTbs")));
    ASSERT_TRUE(Find<QPushButton>(W, "ComputeBtn")->isEnabled());
    const QList<QAction*> actions = {Find<QAction>(W, "New1"),
                                     Find<QAction>(W, "Open1"),
                                     Find<QAction>(W, "Save"),
                                     Find<QAction>(W, "Saveas1"),
                                     Find<QAction>(W, "SavetoSDcardformat1"),
                                     Find<QAction>(W, "ExporttoSQTformatSolvy1"),
                                     Find<QAction>(W, "ExcludeSeqBtn"),
                                     Find<QAction>(W, "Apropos1")};
    const QList<QWidget*> controls = {Find<QPushButton>(W, "ComputeBtn"),  Find<QLineEdit>(W, "StackMinEdn"),
                                      Find<QComboBox>(W, "ArrayTypeList"), Find<TStringGrid>(W, "SpacingLevelGd"),
                                      Find<QWidget>(W, "CreationTbs"),     Find<QToolButton>(W, "AnimGraph"),
                                      Find<QToolButton>(W, "PrintBtn"),    Find<QToolButton>(W, "ExportElectrode")};
    bool tried = false;
    OnMeter = [&](TViewUploadFrm&) {
        if (tried || Meter.Transfers.size() < 2) return;
        tried = true;
        for (QAction* a : actions) EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
        for (QWidget* c : controls) EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
        EXPECT_EQ(Find<QAction>(W, "ExcludeSeqBtn")->toolTip(), "Exclude from list (not while an upload is running)");
        Find<QAction>(W, "Save")->trigger();
        Find<QPushButton>(W, "ComputeBtn")->click();
        // The list and the upload window stay live.
        EXPECT_TRUE(Find<QListWidget>(W, "SeqFileLb")->isEnabled());
    };
    Confirm();
    Upload();
    EXPECT_TRUE(tried);
    EXPECT_EQ(Meter.Images.size(), 1u);
    EXPECT_TRUE(Input.Dialogs.empty());
    for (QAction* a : actions) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QWidget* c : controls) EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();
    EXPECT_EQ(Find<QAction>(W, "ExcludeSeqBtn")->toolTip(), "Exclude from list");
}
