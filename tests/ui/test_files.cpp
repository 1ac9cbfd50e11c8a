// The file commands: New, Open and its imports, Save, Save as, the SD-card command.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>
#include <functional>
#include <stdexcept>
#include <utility>

#include "engine/Sdcard.h"
#include "tests/support/UserFiles.h"
#include "tests/ui/UiTest.h"
#include "ui/ListPanel.h"
#include "ui/StringGrid.h"

namespace {
qint64 SizeOf(const QString& path) { return QFileInfo(path).size(); }
// A path that cannot be created: its folder is a plain file.
QString Unwritable(const QString& home) {
    QFile f(home + "/plain-file");
    f.open(QIODevice::WriteOnly);
    return home + "/plain-file/x.sqz";
}
}  // namespace

class FileTest : public UiTest {
protected:
    std::unique_ptr<TMainFrm> StartWith(const QStringList& names) {
        for (const QString& n : names) Files << WriteSequenceFile(Path(n));
        WriteList(Files);
        return Start();
    }
    QStringList Files;
};

TEST_F(FileTest, OpeningAListedFileReloadsThatEntryAndAddsNone) {
    auto w = StartWith({"a.sqz", "b.sqz"});
    QDir().mkpath(Path("sub"));
    struct TCase {
        QString path;
        int entry;
    };
    for (const TCase& c : {TCase{Files[1], 1}, TCase{Path("sub/../a.sqz"), 0}}) {
        SCOPED_TRACE(c.path.toStdString());
        w->List()[std::size_t(c.entry)]->SetComment("unsaved change");
        w->OpenSequenceFile(c.path);
        EXPECT_EQ(w->List().Count(), 2);
        EXPECT_EQ(w->List().CurrentIndex(), c.entry);
        EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), c.entry);
        EXPECT_EQ(w->Current()->GetComment(), "");
    }
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(FileTest, OpeningNewOrRefusedFiles) {
    auto w = Start();
    const QString fresh = WriteSequenceFile(Path("fresh.sqz"));
    QFile(Path("notes.dat")).open(QIODevice::WriteOnly);
    QFile(Path("short.sqz")).open(QIODevice::WriteOnly);
    struct TCase {
        QString path;
        int entries;
        QString message;  // the start of the message shown; none when empty
    };
    const TCase cases[] = {
        {Path("notes.dat"), 1, Path("notes.dat") + "\r\nis not a sequence file"},
        {Path("missing.sqz"), 1, Path("missing.sqz") + "\r\nfile not found"},
        {Path("short.sqz"), 1, Path("short.sqz") + "\r\nis not a sequence file (wrong size)"},
        {Path("missing.txt"), 1, Path("missing.txt") + "\r\nfile not found"},
        {fresh, 2, QString()},             // added and current
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Seam.Messages.clear();
        w->OpenSequenceFile(c.path);
        EXPECT_EQ(w->List().Count(), c.entries);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
        } else {
            ASSERT_EQ(Seam.Messages.size(), 1);
            EXPECT_TRUE(Seam.Messages[0].startsWith(c.message)) << Seam.Messages[0].toStdString();
            // The file was never listed: nothing is said of leaving the list.
            EXPECT_FALSE(Seam.Messages[0].contains("excluded")) << Seam.Messages[0].toStdString();
        }
        EXPECT_EQ(w->State().SequenceFolder, Home.path() + '/');
    }
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), fresh);
}

TEST_F(FileTest, AFileOnTheCommandLineThatDoesNotOpenIsReportedAsItIs) {
    QFile(Path("notes.dat")).open(QIODevice::WriteOnly);
    for (const QString& name : {Path("missing.sqz"), Path("missing.sds"), Path("notes.dat")}) {
        SCOPED_TRACE(name.toStdString());
        Seam.Messages.clear();
        auto w = Start({name});
        EXPECT_EQ(w->List().Count(), 1);
        ASSERT_EQ(Seam.Messages.size(), 1);
        EXPECT_TRUE(Seam.Messages[0].startsWith(name + "\r\n"));
        EXPECT_FALSE(Seam.Messages[0].contains("excluded")) << Seam.Messages[0].toStdString();
    }
}

TEST_F(FileTest, TextAndSdCardFilesAreImportedAsSqzEntries) {
    auto source = MakeSequence(24);
    ASSERT_TRUE(source->ExportTextFile(Path("line.TXT").toStdString(), "\t"));
    ASSERT_TRUE(source->SaveToSdCard(Path("card.sqz").toStdString()));
    ASSERT_TRUE(QFileInfo::exists(Path("card.sds")));
    auto w = Start();
    w->OpenSequenceFile(Path("line.TXT"));
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(QString(w->Current()->FileName), Path("line.sqz"));
    EXPECT_EQ(w->Current()->QuadripoleCount(), 24);
    EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), "24");
    w->OpenSequenceFile(Path("card.sds"));
    ASSERT_EQ(w->List().Count(), 3);
    EXPECT_EQ(QString(w->Current()->FileName), Path("cardSdsToSqz.sqz"));
    EXPECT_EQ(w->Current()->QuadripoleCount(), 24);
    // Importing the text file again replaces its .sqz file once the user agrees, and selects
    // the entry of that file.
    Seam.Answers = {TMsgResult::Ok};
    w->OpenSequenceFile(Path("line.TXT"));
    ASSERT_EQ(Seam.Questions.size(), 1u);
    EXPECT_EQ(Seam.Questions[0].Text, "< " + Path("line.sqz") + " > already exists.\nThe import replaces it: import anyway?");
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
}

TEST_F(FileTest, OpenCommandUsesItsDialogAndCancelOpensNothing) {
    auto w = Start();
    const QString file = WriteSequenceFile(Path("picked.sqz"));
    Seam.Files = {QString(), file};
    w->Open1Click();
    EXPECT_EQ(w->List().Count(), 1);
    w->Open1Click();
    EXPECT_EQ(w->List().Count(), 2);
    ASSERT_EQ(Seam.Dialogs.size(), 2u);
    const TFileDialogSetup& d = Seam.Dialogs[0];
    EXPECT_FALSE(d.Save);
    EXPECT_EQ(d.Filter, "Planora pro  (*.sqz)|*.sqz|Texte   (*.txt)|*.txt|Planora Sd   (*.sds)|*.sds");
    EXPECT_EQ(d.DefaultExt, ".sqz");
    EXPECT_EQ(d.InitialDir, WorkFolder() + "Sequence/");
    EXPECT_TRUE(d.FileName.isEmpty());
}

TEST_F(FileTest, TheSaveQuestionGuardsChangedOrInvalidSequences) {
    struct TCase {
        int needsRecompute;
        bool computed;
        TMsgResult answer;
        bool asked, written;
    };
    const TCase cases[] = {
        {0, true, TMsgResult::Cancel, false, true},
        {1, true, TMsgResult::Cancel, true, false},
        {1, true, TMsgResult::Ok, true, true},
        {0, false, TMsgResult::Cancel, true, false},
    };
    auto w = StartWith({"s.sqz"});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.needsRecompute * 10 + c.computed);
        auto s = MakeSequence(c.computed ? 12 : 0);
        std::memcpy(static_cast<void*>(w->Current()), s.get(), sizeof(TElectSequence));
        w->Current()->SetFileName(Files[0].toStdString());
        w->Current()->NeedsRecompute = c.needsRecompute;
        QFile::remove(Files[0]);
        Seam.Questions.clear();
        Seam.Answers = {c.answer};
        w->SaveClick();
        ASSERT_EQ(Seam.Questions.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(Seam.Questions[0].Text, "Some changes have been done after the last computation, save anyway...");
            EXPECT_EQ(Seam.Questions[0].Caption, "Save");
            EXPECT_EQ(Seam.Questions[0].Buttons, TMsgButtons::OkCancel);
            EXPECT_EQ(Seam.Questions[0].Icon, TMsgIcon::Warning);
        }
        EXPECT_EQ(QFileInfo::exists(Files[0]), c.written);
    }
}

TEST_F(FileTest, SavingAnUnnamedSequenceAsksForANameAndWritesByExtension) {
    auto w = Start();
    auto s = MakeSequence(12);
    std::memcpy(static_cast<void*>(w->Current()), s.get(), sizeof(TElectSequence));
    // Cancel, then text, then SD card: the sequence stays unnamed; then the native file.
    Seam.Files = {QString(), Path("t.txt"), Path("card.sds"), Path("named")};
    for (int i = 0; i < 3; ++i) {
        w->SaveClick();
        EXPECT_EQ(TrimText(w->Current()->FileName), "");
        EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->item(0)->text(), QString());
    }
    EXPECT_TRUE(QFileInfo::exists(Path("t.txt")));
    EXPECT_EQ(SizeOf(Path("card.sds")), 144048);
    w->SaveClick();
    EXPECT_EQ(QString(w->Current()->FileName), Path("named.sqz"));
    EXPECT_EQ(SizeOf(Path("named.sqz")), qint64(kSequenceFileSize));
    EXPECT_FALSE(Find<QListWidget>(w, "SeqFileLb")->item(0)->text().isEmpty());
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->item(0)->text(),
              Find<TListPanel>(w, "ListPanel")->EntryText(*w->Current()));
    ASSERT_EQ(Seam.Dialogs.size(), 4u);
    const TFileDialogSetup& d = Seam.Dialogs[0];
    EXPECT_TRUE(d.Save);
    EXPECT_EQ(d.Filter, "Planora pro  (*.Sqz)|*.sqz|Text|*.txt|Sd card format (*.sds)|*.sds");
    EXPECT_EQ(d.InitialDir, WorkFolder() + "Sequence/");
    EXPECT_EQ(d.DefaultExt, ".sqz");
}

TEST_F(FileTest, AFailedSaveChangesNeitherTheNameNorTheEntry) {
    auto w = StartWith({"s.sqz"});
    w->Current()->SetFileName(Unwritable(Home.path()).toStdString());
    Find<TListPanel>(w, "ListPanel")->RemakeEntryText(0);
    const QString shown = Find<QListWidget>(w, "SeqFileLb")->item(0)->text();
    w->SaveClick();
    EXPECT_EQ(Seam.Messages.size(), 1);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->item(0)->text(), shown);

    // An unnamed sequence saved under a name that cannot be written stays unnamed.
    w->New1Click();
    std::memcpy(static_cast<void*>(w->Current()), MakeSequence(5).get(), sizeof(TElectSequence));
    Seam.Files = {Unwritable(Home.path())};
    // That name is the file of the first entry, changed above: its changes may go.
    Seam.Answers = {TMsgResult::Ok};
    w->SaveClick();
    EXPECT_EQ(Seam.Messages.size(), 2);
    EXPECT_EQ(TrimText(w->Current()->FileName), "");
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->item(1)->text(), QString());
}

TEST_F(FileTest, SaveAsANewNameAddsTheCopyAndKeepsTheOriginalEntry) {
    auto w = StartWith({"a.sqz"});
    TElectSequence* original = w->Current();
    original->SetComment("changed, not saved");
    Seam.Files = {Path("b.sqz")};
    w->Saveas1Click();
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), Path("b.sqz"));
    EXPECT_EQ(w->Current()->GetComment(), "changed, not saved");
    EXPECT_EQ(QString(original->FileName), Files[0]);
    EXPECT_EQ(original->GetComment(), "changed, not saved");
    const TFileDialogSetup& d = Seam.Dialogs[0];
    EXPECT_EQ(d.InitialDir, Home.path() + '/');
    EXPECT_EQ(d.FileName, "a");
}

TEST_F(FileTest, SaveAsOntoAnotherEntrysFileLeavesOneEntryPerFile) {
    auto w = StartWith({"a.sqz", "b.sqz"});
    w->Current()->SetComment("from a");
    Seam.Files = {Files[1]};
    w->Saveas1Click();
    EXPECT_EQ(w->List().Count(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(w->Current()->GetComment(), "from a");
    EXPECT_EQ(QString(w->List()[0]->FileName), Files[0]);
    EXPECT_EQ(QString(w->List()[1]->FileName), Files[1]);
    // The unnamed Save onto a listed file goes the same way.
    w->New1Click();
    std::memcpy(static_cast<void*>(w->Current()), MakeSequence(7).get(), sizeof(TElectSequence));
    Seam.Files = {Files[0]};
    // The first entry keeps the comment typed into it before the save as: it may go.
    Seam.Answers = {TMsgResult::Ok};
    w->SaveClick();
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_EQ(w->Current()->QuadripoleCount(), 7);
    EXPECT_EQ(TrimText(w->List()[2]->FileName), "");
    Close(w);
    EXPECT_EQ(ReadList(), Files);
}

TEST_F(FileTest, AFailedSaveAsChangesNothing) {
    auto w = StartWith({"a.sqz", "b.sqz"});
    TElectSequence* current = w->Current();
    current->SetComment("kept in memory");
    // Entry 1 names a file that cannot be replaced: a folder stands in its place.
    QDir().mkpath(Path("folder.sqz"));
    w->List()[1]->SetFileName(Path("folder.sqz").toStdString());
    for (const QString& target : {Unwritable(Home.path()), Path("folder.sqz")}) {
        Seam.Files = {target};
        // Entry 1, renamed above, has changes that the copy into its file may replace.
        Seam.Answers = {TMsgResult::Ok};
        w->Saveas1Click();
    }
    EXPECT_EQ(Seam.Messages.size(), 2);
    EXPECT_EQ(w->List().Count(), 2);
    EXPECT_EQ(w->Current(), current);
    EXPECT_EQ(w->List().CurrentIndex(), 0);
    EXPECT_EQ(current->GetComment(), "kept in memory");
    EXPECT_EQ(QString(current->FileName), Files[0]);
}

TEST_F(FileTest, SaveAsTextOrSdCardWritesThoseFormatsAndKeepsTheList) {
    auto w = StartWith({"a.sqz"});
    Seam.Files = {Path("a-export.txt"), Path("a-card.sds")};
    w->Saveas1Click();
    w->Saveas1Click();
    EXPECT_EQ(w->List().Count(), 1);
    EXPECT_EQ(QString(w->Current()->FileName), Files[0]);
    EXPECT_TRUE(QFileInfo::exists(Path("a-export.txt")));
    EXPECT_EQ(SizeOf(Path("a-card.sds")), 144048);
}

TEST_F(FileTest, TheSdCardCommandWritesOnlySdsAndLeavesItsFilterForTheNextDialog) {
    auto w = StartWith({"a.sqz"});
    Seam.Files = {Path("other.txt"), Path("card"), QString()};
    w->SavetoSDcardformat1Click();
    EXPECT_FALSE(QFileInfo::exists(Path("other.txt")));
    w->SavetoSDcardformat1Click();
    EXPECT_EQ(SizeOf(Path("card.sds")), 144048);
    w->Saveas1Click();
    ASSERT_EQ(Seam.Dialogs.size(), 3u);
    EXPECT_EQ(Seam.Dialogs[0].DefaultExt, ".sds");
    EXPECT_EQ(Seam.Dialogs[0].FilterIndex, 3);
    EXPECT_EQ(Seam.Dialogs[0].FileName, "a");
    EXPECT_EQ(Seam.Dialogs[2].FilterIndex, 3);
    EXPECT_EQ(Seam.Dialogs[2].DefaultExt, ".sqz");
    EXPECT_EQ(w->List().Count(), 1);
}

TEST_F(FileTest, SaveAsNewSequenceCopiesTheCurrentOneUnderTheName) {
    auto w = StartWith({"a.sqz", "b.sqz"});
    TElectSequence* first = w->Current();
    first->SetComment("roll");
    EXPECT_TRUE(w->SaveAsNewSequence(Path("a~.sqz")));
    ASSERT_EQ(w->List().Count(), 3);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), 3);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 2);
    EXPECT_EQ(w->Current()->GetComment(), "roll");
    EXPECT_EQ(QString(first->FileName), Files[0]);
    // Onto a listed file: that entry takes the copy and becomes current.
    Find<TListPanel>(w, "ListPanel")->SelectEntry(0);
    w->SeqFileLbClick();
    EXPECT_TRUE(w->SaveAsNewSequence(Files[1]));
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), 1);
    EXPECT_EQ(w->Current()->GetComment(), "roll");
    EXPECT_EQ(QString(w->Current()->FileName), Files[1]);
    EXPECT_EQ(QString(first->FileName), Files[0]);
    // A file that cannot be written: said, and the entry shown stays.
    EXPECT_FALSE(w->SaveAsNewSequence(Unwritable(Home.path())));
    EXPECT_EQ(Seam.Messages.size(), 1);
    EXPECT_EQ(w->List().Count(), 3);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
}

TEST_F(FileTest, NewAddsAnEmptyEntryOnTheCreationTab) {
    auto w = StartWith({"a.sqz"});
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewSheetTbs"));
    ASSERT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "ViewSheetTbs"));
    w->New1Click();
    EXPECT_EQ(w->List().Count(), 2);
    EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), 2);
    EXPECT_EQ(w->List().CurrentIndex(), 1);
    EXPECT_EQ(w->Current()->GetSeqName(), "NewSeq");
    EXPECT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "CreationTbs"));
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->RowCount(), 1);
}

namespace {
// A host that fails as no command expects, whatever it is asked: a device gone from under the
// program, an allocation refused.
class TFailingHost : public THost {
public:
    static constexpr const char* kWhat = "The device holding the file went away.";
    TFailingHost() : Before(Host()) { SetHost(this); }
    ~TFailingHost() override { SetHost(&Before); }
    TFailingHost(const TFailingHost&) = delete;
    TFailingHost& operator=(const TFailingHost&) = delete;

    void ShowMessage(const std::string&) override { Fail(); }
    bool Ask(const std::string&, const std::string&) override { Fail(); }
    void ProcessMessages() override { Fail(); }
    void SetWaitCursor(bool) override { Fail(); }

private:
    [[noreturn]] static void Fail() { throw std::runtime_error(kWhat); }
    THost& Before;
};

// Runs command as the event loop runs a handler, so that what it throws goes where a user's
// click would send it.
class TDelivered : public QObject {
public:
    explicit TDelivered(std::function<void()> command) : Command(std::move(command)) {}
    void Deliver() {
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(this, &e);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        Command();
        return true;
    }

private:
    std::function<void()> Command;
};
}  // namespace

// A failure no command expects is not swallowed: the application's error dialog tells it.
TEST_F(FileTest, AnUnexpectedFailureOfACommandReachesTheErrorDialog) {
    auto w = StartWith({"a.sqz"});
    const QString fresh = WriteSequenceFile(Path("fresh.sqz"));
    auto s = MakeSequence(0);
    s->SetArrayType(atDipoleDipole);
    WriteSequence(*s, Path("grid.sqz"));
    w->OpenSequenceFile(Path("grid.sqz"));
    const QByteArray grid = [&] {
        QFile f(Path("grid.sqz"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    struct TCase {
        const char* command;
        std::function<void()> run;
    };
    const TCase cases[] = {
        {"open", [&] { w->OpenSequenceFile(fresh); }},
        {"automatic grid filling", [&] { w->AutoGridDepthLevelBtnClick(); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.command);
        Seam.Messages.clear();
        {
            TFailingHost failing;
            TDelivered(c.run).Deliver();
        }
        EXPECT_EQ(Seam.Messages, QStringList{TFailingHost::kWhat});
        EXPECT_EQ(w->List().Count(), 2);
    }
    QFile f(Path("grid.sqz"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), grid);
}

TEST(FileDialogFilters, ShowTheirPatternsAsQtMatchesThem) {
    EXPECT_EQ(QtFilters("Planora pro  (*.Sqz)|*.sqz|Text|*.txt|Sd card format (*.sds)|*.sds"),
              (QStringList{"Planora pro  (*.sqz)", "Text (*.txt)", "Sd card format (*.sds)"}));
    EXPECT_EQ(QtFilters("Texte   (*.txt)|*.txt"), QStringList{"Texte   (*.txt)"});
    EXPECT_EQ(WithDefaultExt("/a/b", ".sqz"), "/a/b.sqz");
    EXPECT_EQ(WithDefaultExt("/a/b.sds", ".sqz"), "/a/b.sds");
    EXPECT_EQ(WithDefaultExt("", ".sqz"), "");
}

TEST_F(FileTest, SavingASequenceNamedSdsWritesTheSdCardImage) {
    auto w = StartWith({"a.sqz"});
    w->Current()->SetFileName(Path("meter.sds").toStdString());
    w->SaveClick();
    EXPECT_EQ(SizeOf(Path("meter.sds")), 144048);
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

namespace {
QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void MakeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
const QFileDevice::Permissions kReadOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
}  // namespace

// Whoever runs the tests, root too: a file whose permissions deny writing is not written by any
// command, which says so in its own words and changes nothing.
TEST_F(FileTest, NoCommandWritesAWriteProtectedFile) {
    struct TCase {
        const char* name;
        QString target;  // protected before the command
        const char* command;
        int filter;      // the file type the user picks, 0 for the one shown
    };
    const TCase cases[] = {
        {"save", Path("a.sqz"), "Save", 0},
        {"save as, an existing .sqz", Path("other.sqz"), "Saveas1", 0},
        {"save as text", Path("other.txt"), "Saveas1", 2},
        {"save as SD card", Path("other.sds"), "Saveas1", 3},
        {"SD card command", Path("other.sds"), "SavetoSDcardformat1", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Files.clear();
        Seam.Messages.clear();
        auto w = StartWith({"a.sqz"});
        Find<QTextEdit>(w, "CommentEdt")->setPlainText("changed");
        Leave(Find<QTextEdit>(w, "CommentEdt"));
        if (!QFileInfo::exists(c.target)) MakeFile(c.target, "the user's file");
        const QByteArray before = Bytes(c.target);
        ASSERT_TRUE(QFile::setPermissions(c.target, kReadOnly));
        Seam.Files = {c.target};
        Seam.FilterChosen = c.filter;
        Find<QAction>(w, c.command)->trigger();
        EXPECT_EQ(Seam.Messages,
                  QStringList{"Can't save sequence with < " + c.target + " > filename\r\nThe file is write-protected"});
        EXPECT_EQ(Bytes(c.target), before);
        EXPECT_EQ(ModeOf(QFile::encodeName(c.target).toStdString()), mode_t(0444));
        EXPECT_EQ(w->List().Count(), 1);
        EXPECT_EQ(QString(w->Current()->FileName), Files[0]);
        EXPECT_TRUE(w->List().Changed(0));
        QFile::setPermissions(c.target, kReadOnly | QFileDevice::WriteOwner);
        Close(w);
    }
}

TEST_F(FileTest, SavingThroughALinkWritesTheFileItNames) {
    auto w = StartWith({"a.sqz"});
    QDir().mkpath(Path("real"));
    ASSERT_TRUE(QFile::link(Path("real/copy.sqz"), Path("copy.sqz")));
    Find<QTextEdit>(w, "CommentEdt")->setPlainText("through the link");
    Leave(Find<QTextEdit>(w, "CommentEdt"));
    Seam.Files = {Path("copy.sqz")};
    Find<QAction>(w, "Saveas1")->trigger();
    EXPECT_TRUE(QFileInfo(Path("copy.sqz")).isSymLink());
    EXPECT_EQ(TElectSequence(Path("real/copy.sqz").toStdString()).GetComment(), "through the link");
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
}

TEST_F(FileTest, AnImportAsksBeforeReplacingASqzFileThatIsNotListed) {
    auto source = MakeSequence(24);
    ASSERT_TRUE(source->ExportTextFile(Path("line.txt").toStdString(), "\t"));
    for (const TMsgResult answer : {TMsgResult::Cancel, TMsgResult::Ok}) {
        SCOPED_TRACE(int(answer));
        Files.clear();
        Seam.Questions.clear();
        const QString mine = WriteSequenceFile(Path("line.sqz"), 5);
        const QByteArray before = Bytes(mine);
        auto w = Start();
        Seam.Answers = {answer};
        Seam.Files = {Path("line.txt")};
        Find<QAction>(w, "Open1")->trigger();
        ASSERT_EQ(Seam.Questions.size(), 1u);
        EXPECT_EQ(Seam.Questions[0].Text, "< " + mine + " > already exists.\nThe import replaces it: import anyway?");
        EXPECT_EQ(Seam.Questions[0].Caption, "Import");
        EXPECT_EQ(Seam.Questions[0].Buttons, TMsgButtons::OkCancel);
        if (answer == TMsgResult::Cancel) {
            EXPECT_EQ(w->List().Count(), 1);
            EXPECT_EQ(Bytes(mine), before);
        } else {
            ASSERT_EQ(w->List().Count(), 2);
            EXPECT_EQ(w->Current()->QuadripoleCount(), 24);
            EXPECT_EQ(QString(w->Current()->FileName), mine);
        }
        Close(w);
    }
}

// The type chosen in the list of the save dialog decides the extension added to a name typed
// without one, and so the format written; a typed extension counts as it is.
TEST_F(FileTest, TheFileTypeChosenDecidesWhatANameWithoutExtensionBecomes) {
    auto w = StartWith({"a.sqz"});
    const QString same = WriteSequenceFile(Path("plain.sqz"), 3);
    const QByteArray before = Bytes(same);
    Seam.Files = {Path("plain")};
    Seam.FilterChosen = 2;
    Find<QAction>(w, "Saveas1")->trigger();
    EXPECT_TRUE(Bytes(Path("plain.txt")).startsWith("#\tX\tY\tZ\r\n"));
    EXPECT_EQ(Bytes(same), before);
    EXPECT_EQ(w->List().Count(), 1);

    // The SD-card command leaves its type for the next Save as, which then writes that type.
    Seam.FilterChosen = 0;
    Seam.Files = {Path("card"), Path("again")};
    Find<QAction>(w, "SavetoSDcardformat1")->trigger();
    Find<QAction>(w, "Saveas1")->trigger();
    EXPECT_EQ(Seam.Dialogs.back().FilterIndex, 3);
    EXPECT_EQ(SizeOf(Path("again.sds")), 144048);
    EXPECT_FALSE(QFileInfo::exists(Path("again.sqz")));
    EXPECT_EQ(w->List().Count(), 1);

    Seam.FilterChosen = 2;
    Seam.Files = {Path("typed.sqz")};
    Find<QAction>(w, "Saveas1")->trigger();
    ASSERT_EQ(w->List().Count(), 2);
    EXPECT_EQ(QString(w->Current()->FileName), Path("typed.sqz"));
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
}

TEST(FileDialogTypes, TheChosenTypeGivesTheExtensionAdded) {
    TFileDialogSetup d;
    d.Filter = "Planora pro  (*.Sqz)|*.sqz|Text|*.txt|Sd card format (*.sds)|*.sds|Any|*.*|Images|*.jpg *.jpeg";
    d.DefaultExt = ".sqz";
    const std::pair<int, QString> cases[] = {{1, ".sqz"}, {2, ".txt"}, {3, ".sds"}, {4, ".sqz"}, {5, ".sqz"}, {9, ".sqz"}};
    for (const auto& [index, ext] : cases) {
        d.FilterIndex = index;
        EXPECT_EQ(AddedExt(d), ext) << index;
    }
    d.FilterIndex = 2;
    d.FileName = "/a/b";
    EXPECT_EQ(ChosenFileName(d), "/a/b.txt");
    d.FileName = "/a/b.sds";
    EXPECT_EQ(ChosenFileName(d), "/a/b.sds");
    // A dialog that adds no extension adds none whatever the type.
    d.DefaultExt.clear();
    d.FileName = "/a/b";
    EXPECT_EQ(ChosenFileName(d), "/a/b");
}

// A pipe (or anything not a plain file) never holds the program: each way of opening a file
// refuses it at once with the message of a file that cannot be read.
TEST_F(FileTest, APipeIsRefusedAtOnceByEveryWayOfOpening) {
    TPipeFile sqz(Path("pipe.sqz").toStdString()), text(Path("text.txt").toStdString()),
        card(Path("card.sds").toStdString());
    ASSERT_TRUE(sqz.Made() && text.Made() && card.Made());
    {
        auto w = Start({Path("pipe.sqz")});
        EXPECT_EQ(Seam.Messages, QStringList{Path("pipe.sqz") + "\r\ncan't be read"});
        Seam.Messages.clear();
        Seam.Files = {Path("text.txt"), Path("card.sds")};
        Find<QAction>(w, "Open1")->trigger();
        Find<QAction>(w, "Open1")->trigger();
        EXPECT_EQ(Seam.Messages, (QStringList{"Coordinate file error\r\n" + Path("text.txt") + "\r\nthe file can't be read",
                                              Path("card.sds") + "\r\ncan't be read"}));
        EXPECT_EQ(w->List().Count(), 1);
    }
    EXPECT_TRUE(QFileInfo(Path("pipe.sqz")).exists());
}

// A name is the file, or nothing: with blanks at its ends it would be read back as another one,
// so it is refused before anything is opened or written, from the open dialog, the command
// line and every save dialog; the listed file that trimming gives is left as it is.
TEST_F(FileTest, ANameWithBlanksAtItsEndsOpensAndWritesNothing) {
    auto w = StartWith({"a.sqz", "b.sqz"});
    w->List()[1]->SetComment("unsaved change");
    const QString padded = "  " + Files[1] + " \t";
    w->OpenSequenceFile(padded);
    EXPECT_EQ(Seam.Messages, QStringList{padded + "\r\nthe name begins or ends with a blank: remove it, or choose "
                                                  "another name"});
    EXPECT_EQ(w->List().Count(), 2);
    EXPECT_EQ(w->List()[1]->GetComment(), "unsaved change");

    struct TCase {
        const char* command;
        int filter;  // the file type the user picks, 0 for the one shown
        QString chosen;
    };
    const TCase cases[] = {
        {"Saveas1", 0, Files[1] + " "},
        {"Saveas1", 2, Path("b.txt ")},
        {"SavetoSDcardformat1", 0, Path("b.sds ")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        Seam.Messages.clear();
        const QByteArray before = Bytes(Files[1]);
        Seam.Files = {c.chosen};
        Seam.FilterChosen = c.filter;
        Find<QAction>(w, c.command)->trigger();
        EXPECT_EQ(Seam.Messages, QStringList{"Can't save sequence with < " + c.chosen +
                                             " > filename\r\nThe name begins or ends with a blank: remove it, or "
                                             "choose another name"});
        EXPECT_EQ(Bytes(Files[1]), before);
        EXPECT_FALSE(QFileInfo::exists(c.chosen));
        EXPECT_EQ(w->List().Count(), 2);
    }
}

// The SD-card dialog's choice in capitals, beside an unrelated file in small letters: the one
// chosen is written, as the dialog's question to replace it was about that one.
TEST_F(FileTest, TheSdCardFileChosenIsTheOneWritten) {
    auto w = StartWith({"a.sqz"});
    MakeFile(Path("card.sds"), "unrelated");
    MakeFile(Path("card.SDS"), "to be replaced");
    Seam.Files = {Path("card.SDS")};
    Find<QAction>(w, "SavetoSDcardformat1")->trigger();
    EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
    EXPECT_EQ(Bytes(Path("card.sds")), "unrelated");
    EXPECT_EQ(SizeOf(Path("card.SDS")), qint64(kSdCardFileSize));
}
