// Start-up, settings, the list file and closing.
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <sys/wait.h>
#include <unistd.h>

#include "link/Ports.h"
#include "tests/support/UserFiles.h"
#include "tests/ui/UiTest.h"
#include "ui/ListPanel.h"

namespace {
QStringList Entries(TMainFrm& w) {
    QStringList out;
    for (int i = 0; i < Find<QListWidget>(w, "SeqFileLb")->count(); ++i)
        out << Find<QListWidget>(w, "SeqFileLb")->item(i)->text();
    return out;
}
}  // namespace

TEST_F(UiTest, FirstStartHasOneNewSequenceOnTheCreationTab) {
    auto w = Start();
    EXPECT_EQ(w->windowTitle(), "Planora Pro");
    EXPECT_EQ(w->State().PortNum, kUSBPortNumber);
    EXPECT_EQ(w->State().PortSpeed, kHighSpeed);
    EXPECT_TRUE(Find<QAction>(w, "USB")->isChecked());
    EXPECT_TRUE(Find<QAction>(w, "HighSpeed")->isChecked());
    EXPECT_TRUE(w->State().IPAddress.isEmpty());
    ASSERT_EQ(w->List().Count(), 1);
    EXPECT_EQ(Entries(*w), QStringList{QString()});
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), 0);
    EXPECT_EQ(w->Current()->GetSeqName(), "NewSeq");
    EXPECT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "CreationTbs"));
    EXPECT_TRUE(QFileInfo(WorkFolder() + "Sequence").isDir());
    EXPECT_EQ(w->State().SequenceFolder, WorkFolder() + "Sequence/");
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(UiTest, StoredPortAndSpeedCheckTheirMenuItems) {
    struct TCase {
        QVariant portNum, portSpeed;
        const char* portItem;
        int speed;
        const char* speedItem;
    };
    const TCase cases[] = {
        {1, kLowSpeed, "Com11", kLowSpeed, "LowSpeed"},
        {6, kHighSpeed, "Com61", kHighSpeed, "HighSpeed"},
        {kUSBPortNumber, 0, "USB", kHighSpeed, "HighSpeed"},
        {kIPPortNumber, 115200, "Netvane1", kHighSpeed, "HighSpeed"},
        {7, kLowSpeed, "BT", kLowSpeed, "LowSpeed"},
        {0, QVariant(), "BT", kHighSpeed, "HighSpeed"},
        {50, 38400, "BT", kHighSpeed, "HighSpeed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.portItem);
        {
            QSettings s = Settings();
            s.clear();
            s.setValue("Initialisation/PlanoraPro/PortNum", c.portNum);
            if (c.portSpeed.isValid()) s.setValue("Initialisation/PlanoraPro/PortSpeed", c.portSpeed);
            s.setValue("Initialisation/PlanoraPro/IPAddress", "192.168.4.2");
        }
        auto w = Start();
        EXPECT_EQ(w->State().PortNum, c.portNum.toInt());
        EXPECT_EQ(w->State().PortSpeed, c.speed);
        EXPECT_EQ(w->State().IPAddress, "192.168.4.2");
        EXPECT_TRUE(w->findChild<QAction*>(c.portItem)->isChecked());
        EXPECT_TRUE(w->findChild<QAction*>(c.speedItem)->isChecked());
    }
}

TEST_F(UiTest, SettingsOfTheWrongTypeFallBackToTheDefaults) {
    {
        QSettings s = Settings();
        s.setValue("Initialisation/PlanoraPro/PortNum", "abc");
        s.setValue("Initialisation/PlanoraPro/PortSpeed", "fast");
        s.setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", "first");
        s.setValue("Initialisation/PlanoraPro/IPAddress", QStringList{"10.0.0.1", "10.0.0.2"});
    }
    auto w = Start();
    EXPECT_EQ(w->State().PortNum, kUSBPortNumber);
    EXPECT_EQ(w->State().PortSpeed, kHighSpeed);
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_TRUE(w->State().IPAddress.isEmpty());
    EXPECT_TRUE(Find<QAction>(w, "USB")->isChecked());
}

TEST_F(UiTest, ListFileLinesThatDoNotOpenAreReportedAndDropped) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    const QString old = WriteSequenceFile(Path("old.sqz"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(2048);
        f.write("\x01\x00\x03\x29", 4);
    }
    WriteList({a, Path("missing.sqz"), old, b});
    auto w = Start();
    // Both in one message.
    ASSERT_EQ(Seam.Messages.size(), 1);
    EXPECT_TRUE(Seam.Messages[0].contains(Path("missing.sqz") + ": file not found"));
    EXPECT_TRUE(Seam.Messages[0].contains(old + ": Unknown file version"));
    EXPECT_EQ(ReadList(), (QStringList{a, b}));
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(QString(w->List()[1]->FileName), b);
}

TEST_F(UiTest, ListFileOfTheProgramFolderIsCopiedToTheWorkingFolder) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    {
        QFile f(Seam.Program + "/SeqFilePath.lst");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((Path("gone.sqz") + "\r\n" + a + "\r\n").toLocal8Bit());
    }
    auto w = Start();
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(ReadList(), QStringList{a});
    QFile original(Seam.Program + "/SeqFilePath.lst");
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(original.readAll()), Path("gone.sqz") + "\r\n" + a + "\r\n");
}

TEST_F(UiTest, ListFileLinesMayEndInCrOrLfAndTheSelectedIndexMayBeOutOfRange) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    const QString c = WriteSequenceFile(Path("c.sqz"));
    QDir().mkpath(WorkFolder());
    {
        QFile f(ListFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((a + "\r" + b + "\n" + c).toLocal8Bit());
    }
    Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 5);
    auto w = Start();
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), 0);
}

TEST_F(UiTest, AnUnreadableListFileStillReachesTheWindow) {
    // A folder where the list file should be: it exists but cannot be read as a file.
    QDir().mkpath(ListFile());
    auto w = Start();
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(w->Current()->GetSeqName(), "NewSeq");
    ASSERT_EQ(Seam.Messages.size(), 1);
    EXPECT_TRUE(Seam.Messages[0].contains("SeqFilePath.lst"));
    // Closing is still possible; the list file cannot be written there either.
    Close(w);
    EXPECT_EQ(Seam.Messages.size(), 2);
}

TEST_F(UiTest, ClosingWritesTheSettingsAndTheSortedListAndTheSelectionSurvives) {
    const QString b = WriteSequenceFile(Path("b.sqz"));
    const QString a = WriteSequenceFile(Path("A.sqz"));
    WriteList({b, a});
    auto w = Start();
    w->New1Click();  // an unnamed entry, not written to the list file
    ASSERT_EQ(w->List().Count(), 3);
    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
    ASSERT_EQ(w->List().CurrentIndex(), 1);
    ASSERT_EQ(QString(w->Current()->FileName), a);
    w->State().PortNum = 4;
    w->State().IPAddress = "10.1.2.3";
    Close(w);

    EXPECT_EQ(ReadList(), (QStringList{a, b}));
    QSettings s = Settings();
    EXPECT_EQ(s.value("Initialisation/PlanoraPro/PortNum").toInt(), 4);
    EXPECT_EQ(s.value("Initialisation/PlanoraPro/PortSpeed").toInt(), kHighSpeed);
    EXPECT_EQ(s.value("Initialisation/PlanoraPro/IPAddress").toString(), "10.1.2.3");

    auto again = Start();
    EXPECT_EQ(again->List().Count(), 2);
    EXPECT_EQ(QString(again->Current()->FileName), a);
    EXPECT_EQ(Find<QListWidget>(again, "SeqFileLb")->currentRow(), again->List().CurrentIndex());
    EXPECT_TRUE(Find<QAction>(again, "Com41")->isChecked());
}

TEST_F(UiTest, TheSelectionSurvivesALineThatNoLongerOpens) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    const QString c = WriteSequenceFile(Path("c.sqz"));
    WriteList({a, b, c});
    auto w = Start();
    Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(2);
    Close(w);
    QFile::remove(a);
    auto again = Start();
    EXPECT_EQ(Seam.Messages.size(), 1);
    EXPECT_EQ(QString(again->Current()->FileName), c);
}

TEST_F(UiTest, CommandLineFileSplitAtItsBlanksIsRejoinedAndOpened) {
    QDir().mkpath(Path("my survey"));
    const QString file = WriteSequenceFile(Path("my survey/line 1.sqz"));
    const QString folder = Path("my");
    auto w = Start({folder, "survey/line", "1.sqz"});
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), file);
    EXPECT_EQ(w->State().SequenceFolder, Path("my survey/"));
}

// Two copies would share the list file, and whichever closed last would overwrite the
// other's list.
TEST_F(UiTest, ASecondCopySaysSoAndLeavesTheListAndThePortAlone) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    WriteList({a});
    auto first = Start();
    first->OpenSequenceFile(b);
    TPortVirt* port = ActivePort;
    ASSERT_NE(port, nullptr);
    // However long the first copy has been running.
    {
        QFile lock(WorkFolder() + "PlanoraPro.lock");
        ASSERT_TRUE(lock.open(QIODevice::ReadWrite));
        ASSERT_TRUE(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    }

    auto second = std::make_unique<TMainFrm>();
    EXPECT_TRUE(second->State().AnotherCopyRunning);
    ASSERT_EQ(Seam.Messages.size(), 1);
    EXPECT_TRUE(Seam.Messages[0].startsWith("Planora Pro is already running.")) << Seam.Messages[0].toStdString();
    EXPECT_EQ(second->List().Count(), 1);  // the list is not read
    bool canClose = true;
    second->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    second.reset();
    EXPECT_EQ(ReadList(), QStringList{a});
    EXPECT_EQ(ActivePort, port);

    Close(first);
    EXPECT_EQ(ReadList(), (QStringList{a, b}));
    // Once the first copy has closed, the next one starts as usual.
    auto again = Start();
    EXPECT_FALSE(again->State().AnotherCopyRunning);
    EXPECT_EQ(again->List().Count(), 2);
    EXPECT_EQ(Seam.Messages.size(), 1);
}

TEST_F(UiTest, TheLockOfACopyThatCrashedDoesNotStopTheNextStart) {
    // The lock a copy leaves when it dies: its own, naming a process that is gone.
    const QString lockFile = WorkFolder() + "PlanoraPro.lock";
    QDir().mkpath(WorkFolder());
    QByteArray contents;
    {
        QLockFile own(lockFile);
        ASSERT_TRUE(own.tryLock(0));
        QFile f(lockFile);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        contents = f.readAll();
    }
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    contents = QByteArray::number(qint64(gone)) + contents.mid(contents.indexOf('\n'));
    {
        QFile f(lockFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }

    const QString a = WriteSequenceFile(Path("a.sqz"));
    WriteList({a});
    auto w = Start();
    EXPECT_FALSE(w->State().AnotherCopyRunning);
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), a);
}

TEST_F(UiTest, ResizingSetsTheListPanelAndLayoutBoxWidths) {
    auto w = Start();
    struct TCase {
        int window, list, box;
    };
    for (const TCase c : {TCase{1300, 300, 680}, TCase{1148, 206, 680}, TCase{1147, 180, 611}, TCase{1200, 258, 680}}) {
        w->resize(c.window, 700);
        QApplication::processEvents();
        ASSERT_EQ(w->width(), c.window);
        EXPECT_EQ(Find<TListPanel>(w, "ListPanel")->width(), c.list) << c.window;
        EXPECT_EQ(Find<QGroupBox>(w, "ElectrodeLocationGb")->width(), c.box) << c.window;
    }
}

TEST_F(UiTest, EnableControlsSetsTheDirectChildrenAndLeavesTheBoxEnabled) {
    auto w = Start();
    QGroupBox* box = Find<QGroupBox>(w, "ReskonGB");
    TMainFrm::EnableControls(box, false);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(w, "StackMinEdn")->isEnabled());
    // A grandchild keeps its own flag: it is greyed only through its parent.
    EXPECT_FALSE(Find<QRadioButton>(w, "VpRdBtn")->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_TRUE(Find<QGroupBox>(w, "VoltageGb")->testAttribute(Qt::WA_ForceDisabled));
    TMainFrm::EnableControls(box, true);
    EXPECT_TRUE(Find<QLineEdit>(w, "StackMinEdn")->isEnabled());
    EXPECT_TRUE(Find<QRadioButton>(w, "VpRdBtn")->isEnabled());
}

TEST_F(UiTest, ClosingWhileTheAnimationRunsOnlyStopsIt) {
    auto w = Start();
    Find<QToolButton>(w, "AnimGraph")->setChecked(true);
    w->State().AnimationRunning = true;
    EXPECT_FALSE(w->close());
    EXPECT_FALSE(Find<QToolButton>(w, "AnimGraph")->isChecked());
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_FALSE(QFileInfo::exists(ListFile()));
    w->State().AnimationRunning = false;
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(QFileInfo::exists(ListFile()));
}

TEST_F(UiTest, TheMenusAndTheListToolBarHoldTheCommandsInOrder) {
    auto w = Start();
    auto texts = [](const QList<QAction*>& actions) {
        QStringList out;
        for (QAction* a : actions) out << (a->isSeparator() ? QString("-") : a->text());
        return out;
    };
    EXPECT_EQ(
        texts(Find<QMenu>(w, "File1")->actions()),
        (QStringList{"New", "Open...", "Save", "Save as...", "Save to SD card format...",
                     "Export to .SQT format (Solvy)...", "-", "Upload", "Communication speed", "Communication port"}));
    EXPECT_EQ(texts(Find<QMenu>(w, "Help1")->actions()),
              (QStringList{"Help topics", "Olvane Zerarezizuz on the web", "-", "About"}));
    EXPECT_EQ(texts(Find<QToolBar>(w, "ToolBar1")->actions()),
              (QStringList{"New", "Open...", "Save", "Save to SD card format...", "Export to .SQT format (Solvy)...",
                           "Upload", "Exclude"}));
    EXPECT_EQ(Find<QAction>(w, "ExcludeSeqBtn")->toolTip(), "Exclude from list");
    EXPECT_EQ(Find<QAction>(w, "Open1")->toolTip(), "Open, Import a sequence");
    // Every tool is on screen in the narrowest list panel.
    w->resize(1100, 660);
    QApplication::processEvents();
    for (QAction* a : Find<QToolBar>(w, "ToolBar1")->actions()) {
        QWidget* b = Find<QToolBar>(w, "ToolBar1")->widgetForAction(a);
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->isVisible()) << a->text().toStdString();
    }
}

TEST_F(UiTest, AFileNamedTwiceInTheListFileOrWithBlanksOpensOnce) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    ASSERT_TRUE(QFile::link(a, Path("link.sqz")));
    WriteList({" " + a + "\t", Path("link.sqz"), b + "  ", a});
    Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 2);
    auto w = Start();
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(QString(w->List()[0]->FileName), a);
    EXPECT_EQ(QString(w->List()[1]->FileName), b);
    EXPECT_EQ(QString(w->Current()->FileName), b);
    EXPECT_EQ(ReadList(), (QStringList{a, b}));
    // A save of one entry can no longer write over another's changes to the same file.
    w->Current()->SetComment("b's");
    w->SaveClick();
    Close(w);
    EXPECT_EQ(TElectSequence(b.toStdString()).GetComment(), "b's");
    EXPECT_EQ(ReadList(), (QStringList{a, b}));
}

TEST_F(UiTest, ManyLinesThatDoNotOpenAreToldInOneMessageBeforeTheWindowShows) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    QStringList lines;
    for (int i = 0; i < 16000; ++i) lines << Path(QString("gone-%1.sqz").arg(i));
    lines << a;
    WriteList(lines);
    auto w = Start();
    ASSERT_EQ(Seam.Messages.size(), 1);
    EXPECT_TRUE(Seam.Messages[0].startsWith("16000 lines of the Sequence list name files that can't be opened"));
    EXPECT_TRUE(Seam.Messages[0].endsWith("... and 15990 more"));
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(ReadList(), QStringList{a});
}

// Neither a list file that is a pipe nor a line naming one holds the start.
TEST_F(UiTest, APipeInPlaceOfTheListFileOrNamedByItIsRefusedAtOnce) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    {
        TPipeFile line(Path("pipe.sqz").toStdString());
        ASSERT_TRUE(line.Made());
        WriteList({Path("pipe.sqz"), a});
        auto w = Start();
        EXPECT_EQ(Seam.Messages,
                  QStringList{Path("pipe.sqz") + "\r\ncan't be read\r\nthis file will be excluded from the Sequence list"});
        EXPECT_EQ(w->List().Count(), 1);
        EXPECT_EQ(QString(w->Current()->FileName), a);
    }
    QFile::remove(ListFile());
    TPipeFile list(ListFile().toStdString());
    ASSERT_TRUE(list.Made());
    Seam.Messages.clear();
    auto w = Start();
    EXPECT_EQ(Seam.Messages, QStringList{"Can't read the sequence list < " + ListFile() + " >"});
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(w->Current()->GetSeqName(), "NewSeq");
}

// Whoever runs the tests, root too.
TEST_F(UiTest, AWriteProtectedListFileIsLeftAsItIsAtClose) {
    const QString a = WriteSequenceFile(Path("a.sqz"));
    const QString b = WriteSequenceFile(Path("b.sqz"));
    WriteList({a});
    ASSERT_TRUE(QFile::setPermissions(ListFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    auto w = Start();
    w->OpenSequenceFile(b);
    Close(w);
    EXPECT_EQ(Seam.Messages,
              QStringList{"Can't save the sequence list < " + ListFile() + " >\r\nThe file is write-protected"});
    EXPECT_EQ(ReadList(), QStringList{a});
}
