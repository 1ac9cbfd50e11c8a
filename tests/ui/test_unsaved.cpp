// Work that is never lost: the window knows which sequences were changed since they were
// last opened or saved, and asks before closing or opening a file again would drop them.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <functional>

#include "tests/ui/UiTest.h"

class UnsavedTest : public UiTest {
protected:
    // Two computed sequences a.sqz and b.sqz, a current.
    std::unique_ptr<TMainFrm> StartWithTwo() {
        A = WriteSequenceFile(Path("a.sqz"), 30);
        B = WriteSequenceFile(Path("b.sqz"), 40);
        WriteList({A, B});
        Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", 0);
        return Start();
    }
    // Types a comment for b and goes back to a.
    static void CommentOnB(TMainFrm& w, const QString& text) {
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
        Find<QTextEdit>(w, "CommentEdt")->setPlainText(text);
        Leave(Find<QTextEdit>(w, "CommentEdt"));
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);
    }
    static TElectSequence OnDisk(const QString& path) { return TElectSequence(path.toStdString()); }
    // Closes as the user would; true when the window accepted.
    static bool CloseWindow(TMainFrm& w) { return w.close(); }
    QStringList SaveQuestions() const {
        QStringList out;
        for (const auto& q : Seam.Questions)
            if (q.Buttons == TMsgButtons::SaveDiscardCancel) out << q.Text;
        return out;
    }
    QString A, B;
};

TEST_F(UnsavedTest, ShowingBrowsingAndSavingAskNothingAtClose) {
    // Wenner takes one channel: showing it clips the ten stored, which is no change of the user's.
    auto wenner = MakeSequence(20);
    wenner->SetArrayType(5);
    wenner->Device.Channels = 10;
    WriteSequence(*wenner, Path("wenner.sqz"));
    A = WriteSequenceFile(Path("a.sqz"), 30);
    WriteList({A, Path("wenner.sqz")});
    auto w = Start();
    // A change that is saved is no longer one.
    Find<QTextEdit>(w, "CommentEdt")->setPlainText("saved remark");
    Leave(Find<QTextEdit>(w, "CommentEdt"));
    w->SaveClick();
    for (int row : {1, 0, 1}) {
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(row);
        for (QWidget* page : {Find<QWidget>(w, "ConfigurationTbs"), Find<QWidget>(w, "ViewGraphTbs"),
                              Find<QWidget>(w, "ViewSheetTbs"), Find<QWidget>(w, "CreationTbs")})
            Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(page);
    }
    // Leaving an edit as it is changes nothing either.
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    for (QWidget* edit :
         {static_cast<QWidget*>(Find<QLineEdit>(w, "StackMinEdn")),
          static_cast<QWidget*>(Find<QLineEdit>(w, "QMaxEdn")), static_cast<QWidget*>(Find<QTextEdit>(w, "CommentEdt")),
          static_cast<QWidget*>(Find<QLineEdit>(w, "XCaPmTxt"))})
        Leave(edit);
    EXPECT_TRUE(CloseWindow(*w));
    EXPECT_TRUE(SaveQuestions().isEmpty()) << SaveQuestions().join('|').toStdString();
    EXPECT_EQ(OnDisk(A).GetComment(), "saved remark");
}

TEST_F(UnsavedTest, ClosingAsksAboutEachChangedSequence) {
    struct TCase {
        const char* name;
        TMsgResult answer;
        bool closed;
        bool written;
    };
    const TCase cases[] = {
        {"save", TMsgResult::Save, true, true},
        {"don't save", TMsgResult::Discard, true, false},
        {"cancel", TMsgResult::Cancel, false, false},
    };
    // What the user may have done to the second sequence.
    const std::vector<std::pair<const char*, std::function<void(TMainFrm&)>>> changes = {
        {"comment",
         [](TMainFrm& w) {
             Find<QTextEdit>(w, "CommentEdt")->setPlainText("to keep");
             Leave(Find<QTextEdit>(w, "CommentEdt"));
         }},
        {"layout",
         [](TMainFrm& w) {
             Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "CreationTbs"));
             Find<QLineEdit>(w, "XGridSpacingLblx")->setText("2.5");
             Find<QLineEdit>(w, "XGridSpacingLblx")->setModified(true);
             Find<QPushButton>(w, "Next2Btn")->click();
         }},
        {"stack",
         [](TMainFrm& w) {
             Find<QLineEdit>(w, "StackMaxEdn")->setText("12");
             Leave(Find<QLineEdit>(w, "StackMaxEdn"));
         }},
    };
    for (const auto& [what, change] : changes) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(std::string(what) + ", " + c.name);
            Seam.Questions.clear();
            Seam.Messages.clear();
            auto w = StartWithTwo();
            Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
            change(*w);
            const TElectSequence changed = *w->Current();
            Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);
            QFile::remove(ListFile());

            // A changed layout leaves the quadripoles to compute again: saved anyway.
            Seam.Answers = {c.answer, TMsgResult::Ok};
            EXPECT_EQ(CloseWindow(*w), c.closed);
            ASSERT_EQ(SaveQuestions(), QStringList{"< " + B + " > was changed since it was last saved.\nSave the changes?"});
            EXPECT_EQ(Seam.Questions.back().Caption, "Save");
            // The sequence asked about is the one shown.
            EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->currentRow(), c.closed ? 0 : 1);
            const TElectSequence disk = OnDisk(B);
            EXPECT_EQ(std::memcmp(&disk.Device, &changed.Device, sizeof(TReskonPro)) == 0 &&
                          disk.GetComment() == changed.GetComment() && disk.Grid.DX == changed.Grid.DX,
                      c.written);
            // The list file is written only by a close that goes through.
            EXPECT_EQ(QFileInfo::exists(ListFile()), c.closed);
            EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
            if (c.closed) {
                EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/SeqFileLbItemIndex").toInt(), 0);
            }
        }
    }
}

TEST_F(UnsavedTest, AnEditBeingTypedInIsCommittedBeforeTheQuestion) {
    auto w = StartWithTwo();
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    QApplication::processEvents();
    Find<QLineEdit>(w, "StackMinEdn")->setFocus();
    Find<QLineEdit>(w, "StackMinEdn")->setText("5");
    Seam.Answers = {TMsgResult::Save};
    EXPECT_TRUE(CloseWindow(*w));
    EXPECT_EQ(SaveQuestions().size(), 1);
    EXPECT_EQ(OnDisk(A).Device.StackMin, 5);
}

TEST_F(UnsavedTest, ASaveThatDoesNotHappenKeepsTheWindowOpen) {
    struct TCase {
        const char* name;
        std::function<void(const QString& file, TMainFrm&)> prepare;
        std::deque<TMsgResult> answers;
        QString message;
    };
    const TCase cases[] = {
        // Changed since its computation, and the user does not save it anyway.
        {"save refused",
         [](const QString&, TMainFrm& w) { Find<QCheckBox>(w, "AllowDummyQuadripolesCb")->click(); },
         {TMsgResult::Save, TMsgResult::Cancel},
         QString()},
        // Its file cannot be written (last: it spoils the file for good).
        {"write fails",
         [](const QString& file, TMainFrm&) { ASSERT_TRUE(QFile::remove(file) && QDir().mkpath(file)); },
         {TMsgResult::Save},
         "Can't save sequence with < "},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Seam.Messages.clear();
        Seam.Questions.clear();
        auto w = StartWithTwo();
        Find<QTextEdit>(w, "CommentEdt")->setPlainText("remark");
        Leave(Find<QTextEdit>(w, "CommentEdt"));
        c.prepare(A, *w);
        Seam.Answers = c.answers;
        EXPECT_FALSE(CloseWindow(*w));
        EXPECT_TRUE(w->isVisible());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(Seam.Messages.isEmpty());
        } else {
            ASSERT_EQ(Seam.Messages.size(), 1);
            EXPECT_TRUE(Seam.Messages[0].startsWith(c.message));
        }
        // Asked again at the next close.
        Seam.Answers = {TMsgResult::Discard};
        EXPECT_TRUE(CloseWindow(*w));
        EXPECT_EQ(SaveQuestions().size(), 2);
    }
}

TEST_F(UnsavedTest, ANewSequenceLaidOutAndComputedButNeverNamedIsAskedAbout) {
    {
        // Untouched, a new sequence is not worth a question: the one made at start, nor one
        // made with File > New.
        auto blank = Start();
        blank->New1Click();
        EXPECT_TRUE(CloseWindow(*blank));
        EXPECT_TRUE(SaveQuestions().isEmpty()) << SaveQuestions().join('|').toStdString();
    }
    QFile::remove(ListFile());
    auto w = Start();
    ASSERT_EQ(w->List().Count(), 1);
    Find<QRadioButton>(w, "LineRb")->click();
    Find<QPushButton>(w, "Next1Btn")->click();
    Find<QLineEdit>(w, "LineGridXTxt")->setText("24");
    Find<QRadioButton>(w, "AutomaticCreated")->setChecked(true);
    Find<QPushButton>(w, "Next2Btn")->click();
    ASSERT_EQ(w->Current()->Grid.ElectrodeCount, 24);
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    {
        // The computation ends in a save, whose name dialog is cancelled.
        TModalCloser closer;
        Seam.Files = {QString()};
        Find<QPushButton>(w, "AutoGridDepthLevelBtn")->click();
    }
    const int computed = w->Current()->QuadripoleCount();
    ASSERT_GT(computed, 0);

    Seam.Answers = {TMsgResult::Save};
    Seam.Files = {QString()};  // no name given this time either
    EXPECT_FALSE(CloseWindow(*w));
    ASSERT_EQ(SaveQuestions(), QStringList{"The new sequence < NewSeq > has never been saved.\nSave the changes?"});

    Seam.Answers = {TMsgResult::Save};
    Seam.Files = {Path("named.sqz")};
    EXPECT_TRUE(CloseWindow(*w));
    EXPECT_EQ(OnDisk(Path("named.sqz")).QuadripoleCount(), computed);
    EXPECT_EQ(ReadList(), QStringList{Path("named.sqz")});
}

TEST_F(UnsavedTest, OpeningAChangedEntryAgainAsksFirst) {
    struct TCase {
        const char* name;
        TMsgResult answer;
        QString shown;   // the comment shown afterwards
        QString onDisk;  // the comment of the file afterwards
    };
    const TCase cases[] = {
        {"save", TMsgResult::Save, "mine", "mine"},
        {"don't save", TMsgResult::Discard, "", ""},
        {"cancel", TMsgResult::Cancel, "mine", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Seam.Questions.clear();
        auto w = StartWithTwo();
        CommentOnB(*w, "mine");
        Seam.Answers = {c.answer};
        Seam.Files = {B};
        w->Open1Click();
        ASSERT_EQ(SaveQuestions(), QStringList{"< " + B + " > was changed since it was last saved.\n"
                                               "Save the changes before the file is opened again?"});
        EXPECT_EQ(w->List().Count(), 2);
        EXPECT_EQ(w->List().CurrentIndex(), 1);
        EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText(), c.shown);
        EXPECT_EQ(QString::fromStdString(OnDisk(B).GetComment()), c.onDisk);
        // Opened again as the file holds it: no question.
        if (c.answer != TMsgResult::Cancel) {
            Seam.Files = {B};
            w->Open1Click();
            EXPECT_EQ(SaveQuestions().size(), 1);
        }
        Close(w);
    }
}

// Importing a .txt writes its .sqz at once: when that file is listed with unsaved changes, the
// user is asked before they are replaced, and nothing is asked twice.
TEST_F(UnsavedTest, AnImportOverAChangedEntryAsksBeforeReplacingIt) {
    struct TCase {
        const char* name;
        TMsgResult answer;
        bool replaced;  // b.sqz holds the import and is shown, "mine" is gone
    };
    const TCase cases[] = {
        {"import", TMsgResult::Ok, true},
        {"cancel", TMsgResult::Cancel, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Seam.Questions.clear();
        auto w = StartWithTwo();
        const QString text = Path("b.txt");
        ASSERT_TRUE(OnDisk(B).ExportTextFile(text.toStdString(), "\t"));
        CommentOnB(*w, "mine");
        Seam.Answers = {c.answer};
        w->OpenSequenceFile(text);
        ASSERT_EQ(Seam.Questions.size(), 1u);
        EXPECT_EQ(Seam.Questions[0].Text, "< " + B + " > was changed since it was last saved.\n"
                                          "The import replaces it: import anyway?");
        EXPECT_EQ(w->List().Count(), 2);
        EXPECT_EQ(w->List().CurrentIndex(), 1);
        EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText() != "mine", c.replaced);
        EXPECT_EQ(OnDisk(B).Grid.ArrayType == 0, c.replaced);
        Close(w);
    }
}

// The edit being typed in belongs to the sequence shown when Open is chosen, not to the one
// opened.
TEST_F(UnsavedTest, OpeningCommitsTheEditBeingTypedInToTheSequenceItBelongsTo) {
    auto w = StartWithTwo();
    CommentOnB(*w, "b changed");
    const int stackOfB = w->List()[1]->Device.StackMin;
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    QApplication::processEvents();
    Find<QLineEdit>(w, "StackMinEdn")->setFocus();
    Find<QLineEdit>(w, "StackMinEdn")->setText("5");
    Seam.Answers = {TMsgResult::Save};
    w->OpenSequenceFile(B);
    EXPECT_EQ(w->List()[0]->Device.StackMin, 5);
    EXPECT_EQ(w->List()[1]->Device.StackMin, stackOfB);
    EXPECT_EQ(OnDisk(B).Device.StackMin, stackOfB);
    EXPECT_EQ(OnDisk(B).GetComment(), "b changed");
}

// Typing a comment and pressing Exclude: the change is asked about as closing asks, before the
// entry leaves the list.
TEST_F(UnsavedTest, ExcludingAnEntryWithAChangeBeingTypedAsksToSaveIt) {
    struct TCase {
        const char* name;
        TMsgResult answer;
        bool excluded;
        QString onDisk;  // b's comment in its file afterwards
    };
    const TCase cases[] = {
        {"cancel", TMsgResult::Cancel, false, ""},
        {"don't save", TMsgResult::Discard, true, ""},
        {"save", TMsgResult::Save, true, "typed, not left"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Seam.Questions.clear();
        auto w = StartWithTwo();
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
        QApplication::processEvents();
        Find<QTextEdit>(w, "CommentEdt")->setFocus();
        QTest::keyClicks(Find<QTextEdit>(w, "CommentEdt"), "typed, not left");
        Seam.Answers = {c.answer};
        auto* button = qobject_cast<QToolButton*>(
            Find<QToolBar>(w, "ToolBar1")->widgetForAction(Find<QAction>(w, "ExcludeSeqBtn")));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_EQ(SaveQuestions(), QStringList{"< " + B + " > was changed since it was last saved.\n"
                                               "Save the changes before it is excluded from the sequence list?"});
        EXPECT_EQ(Seam.Questions.size(), 1u);  // no Yes/No besides
        EXPECT_EQ(w->List().Count(), c.excluded ? 1 : 2);
        EXPECT_EQ(Find<QListWidget>(w, "SeqFileLb")->count(), w->List().Count());
        EXPECT_EQ(QString(w->Current()->FileName), c.excluded ? A : B);
        EXPECT_EQ(QString::fromStdString(OnDisk(B).GetComment()), c.onDisk);
        if (!c.excluded) {
            EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText(), "typed, not left");
        }
        Close(w);
    }
}
