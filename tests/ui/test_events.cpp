// The controls' events reach the handlers while the window is open, and never once it is
// closing or being destroyed; a prompt is entered only from outside it; only the user enters a
// control, and an edit passed through without a change writes nothing.
#include <QApplication>
#include <QListWidget>
#include <QTabBar>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <cstring>
#include <functional>
#include <memory>

#include "tests/ui/UiTest.h"
#include "ui/StringGrid.h"

class EventsTest : public UiTest {
protected:
    // A window showing a computed line sequence, active, so that the focus moves for real.
    std::unique_ptr<TMainFrm> Show() {
        auto s = MakeSequence(60);
        WriteSequence(*s, Path("events.sqz"));
        WriteList({Path("events.sqz")});
        auto w = Start();
        QApplication::setActiveWindow(w.get());
        Seam.Beeps = 0;
        return w;
    }
};

// Every edit below corrects what was typed with a beep when it is left, and the location grid
// refuses the number with a message when its cell editor closes: a beep or a message tells that
// a handler ran.
TEST_F(EventsTest, DestroyingTheWindowWhileAnEditIsBeingTypedInRunsNoHandler) {
    struct TCase {
        const char* name;
        std::function<QLineEdit*(TMainFrm&)> open;
        const char* typed;
    };
    const auto configuration = [](TMainFrm& w) {
        Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    };
    const TCase cases[] = {
        {"a parameter",
         [&](TMainFrm& w) {
             configuration(w);
             return Find<QLineEdit>(w, "StackMinEdn");
         },
         "abc"},
        {"a grid size", [](TMainFrm& w) { return Find<QLineEdit>(w, "LineGridXTxt"); }, "5000"},
        {"the depth prompt",
         [&](TMainFrm& w) {
             configuration(w);
             w.AutomaticCreationBtnClick();
             return Find<QLineEdit>(w, "InvestigationDepthEdt");
         },
         "abc"},
        {"the shift prompt",
         [&](TMainFrm& w) {
             configuration(w);
             w.MoveComputeBtnClick();
             return Find<QLineEdit>(w, "NodeToMoveXTxt");
         },
         "500"},
        {"a cell of the location grid",
         [](TMainFrm& w) {
             TStringGrid* g = Find<TStringGrid>(w, "ElectrodeLocationGd");
             Find<QRadioButton>(w, "ManualCreated")->setChecked(true);
             const QModelIndex cell = g->Strings()->index(0, 0);
             g->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
             w.ElectrodeLocationGdDblClick();
             return qobject_cast<QLineEdit*>(g->indexWidget(cell));
         },
         "1500"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto w = Show();
        QLineEdit* edit = c.open(*w);
        ASSERT_NE(edit, nullptr);
        QApplication::processEvents();
        edit->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(edit->hasFocus());
        edit->clear();
        QTest::keyClicks(edit, c.typed);
        w.reset();
        EXPECT_EQ(Seam.Beeps, 0);
        EXPECT_TRUE(Seam.Messages.isEmpty());
    }
}

TEST_F(EventsTest, OnceTheCloseWentThroughNoControlReachesAHandler) {
    auto w = Show();
    ASSERT_TRUE(w->close());
    ASSERT_EQ(w->Current(), nullptr);
    // Each of these handlers would beep or read the sequence that is gone.
    Find<QLineEdit>(w, "LineGridXTxt")->setText("5000");
    Leave(Find<QLineEdit>(w, "LineGridXTxt"));
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setText("abc");
    Leave(Find<QLineEdit>(w, "InvestigationDepthEdt"));
    Leave(Find<TStringGrid>(w, "SpacingLevelGd"));
    Find<QPushButton>(w, "ComputeBtn")->click();
    emit Find<QTabWidget>(w, "PageControl1")->currentChanged(1);
    EXPECT_EQ(Seam.Beeps, 0);
    EXPECT_TRUE(Seam.Messages.isEmpty());
    w.reset();
}

TEST_F(EventsTest, APromptIsEnteredWhenTheFocusComesInFromOutsideIt) {
    auto w = Show();
    Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    w->AutomaticCreationBtnClick();
    QApplication::processEvents();
    QPushButton* ok = Find<QPushButton>(w, "AutomaticCreationOkBtn");

    ok->setVisible(false);
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(ok->isHidden()) << "entered from outside";

    ok->setVisible(false);
    Find<QPushButton>(w, "AutomaticCreationCancelBtn")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(ok->isHidden()) << "a move within the prompt";

    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(Find<QPushButton>(w, "AutomaticCreationCancelBtn")->hasFocus());
    EXPECT_TRUE(ok->isHidden()) << "the window coming back";

    Find<TStringGrid>(w, "SpacingLevelGd")->setFocus(Qt::TabFocusReason);
    Find<QLineEdit>(w, "InvestigationDepthEdt")->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(ok->isHidden()) << "entered again";
}

namespace {
// The user's clicks, as the mouse makes them: on a widget, on a tab of the page control, on a
// row of the sequence list and on a cell of a sheet.
void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    QApplication::processEvents();
}
void ClickTab(TMainFrm& w, const char* page) {
    auto* pages = Find<QTabWidget>(w, "PageControl1");
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(pages->indexOf(Find<QWidget>(w, page))).center());
    QApplication::processEvents();
}
void ClickEntry(TMainFrm& w, int row) {
    auto* list = Find<QListWidget>(w, "SeqFileLb");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    QApplication::processEvents();
}
// Clicks into the edit and types text over what it shows.
void Type(QLineEdit* edit, const char* text) {
    Click(edit);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}
void ClickCell(TMainFrm& w, const char* sheet, int row, int col) {
    auto* grid = Find<TStringGrid>(w, sheet);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, col)).center());
    QApplication::processEvents();
}

// A computed Rho-and-IP sequence at 1000 ms whose longest chain (6) is below the meter's channel
// count (10), with shown values that round what it holds: Q max and a remote electrode.
std::unique_ptr<TElectSequence> RoundedSequence() {
    auto s = MakeSequence(60);
    s->SetArrayType(3);  // pole-dipole forward: a remote electrode A
    s->Device.Channels = 10;
    s->ChannelOptions.OptimizationChannel = 10;
    s->MaxChannelUsed = 6;
    s->Device.QMax = 0.125f;
    s->RemoteElectrodes[0].X = -100.125f;
    s->SetRhoIP(true);
    s->SetTime(3);
    s->NeedsRecompute = 0;
    return s;
}

bool SameBytes(const TElectSequence& a, const TElectSequence& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

class PassingThroughTest : public UiTest {
protected:
    // A window listing a rounded sequence for each name, active, so that the focus moves for real.
    std::unique_ptr<TMainFrm> Show(const QStringList& names) {
        QStringList files;
        for (const QString& n : names) {
            WriteSequence(*RoundedSequence(), Path(n));
            files << Path(n);
        }
        WriteList(files);
        auto w = Start();
        QApplication::setActiveWindow(w.get());
        Seam.Beeps = 0;
        return w;
    }
};

// Clicking into an edit and out again, typing nothing, stores nothing: the rounding the edit
// shows is not written over what the sequence holds, and closing has nothing to ask. What the
// user types is stored as before, even a text equal to the one shown.
TEST_F(PassingThroughTest, AnEditThatIsPassedThroughWritesNothing) {
    for (const char* name : {"StdChannelEdn", "QMaxEdn", "XCaPmTxt", "StackMinEdn", "CommentEdt"}) {
        SCOPED_TRACE(name);
        auto w = Show({"rounded.sqz"});
        ClickTab(*w, "ConfigurationTbs");
        const auto before = std::make_unique<TElectSequence>(*w->Current());
        Click(Find<QWidget>(w, name));
        ASSERT_TRUE(Find<QWidget>(w, name)->hasFocus());
        Click(Find<QWidget>(w, "VabMaxEdt"));
        ClickEntry(*w, 0);
        EXPECT_TRUE(SameBytes(*w->Current(), *before));
        EXPECT_FALSE(w->List().Changed(0));
        EXPECT_EQ(Seam.Beeps, 0);
    }
    // Typed, the shown text itself included, is stored.
    auto w = Show({"rounded.sqz"});
    ClickTab(*w, "ConfigurationTbs");
    auto* qMax = Find<QLineEdit>(w, "QMaxEdn");
    ASSERT_EQ(qMax->text(), "0.13");
    Type(qMax, "0.13");
    Click(Find<QWidget>(w, "VabMaxEdt"));
    EXPECT_FLOAT_EQ(w->Current()->Device.QMax, 0.13f);
    Type(Find<QLineEdit>(w, "StackMinEdn"), "2");
    Click(Find<QWidget>(w, "VabMaxEdt"));
    EXPECT_EQ(w->Current()->Device.StackMin, 2);
    // Left by a click on another tab, whose page takes the focus.
    Type(Find<QLineEdit>(w, "StdChannelEdn"), "4");
    ClickTab(*w, "ViewSheetTbs");
    EXPECT_EQ(w->Current()->Device.Channels, 4);
    EXPECT_TRUE(w->List().Changed(0));
}

// The focus that a tab page gives back to its last control when it is shown again is not the
// user entering or leaving it: no preset, no commit, on whichever entry is shown by then. The
// user's own click still applies the preset.
TEST_F(PassingThroughTest, TheFocusATabGivesBackRunsNoHandler) {
    for (const char* last : {"RhoOnlyRdBtn", "StdChannelEdn"}) {
        SCOPED_TRACE(last);
        auto w = Show({"a.sqz", "b.sqz"});
        ClickEntry(*w, 0);
        ClickTab(*w, "ConfigurationTbs");
        Click(Find<QWidget>(w, last));
        ASSERT_TRUE(Find<QWidget>(w, last)->hasFocus());
        ClickEntry(*w, 1);
        ASSERT_EQ(w->List().CurrentIndex(), 1);
        const auto b = std::make_unique<TElectSequence>(*w->Current());
        ClickTab(*w, "ViewSheetTbs");
        ClickCell(*w, "QuadripoleGd", 1, 1);
        ClickTab(*w, "ConfigurationTbs");
        ASSERT_TRUE(Find<QWidget>(w, last)->hasFocus()) << "the tab gives the focus back";
        Click(Find<QWidget>(w, "VabMaxEdt"));
        EXPECT_TRUE(SameBytes(*w->Current(), *b));
        EXPECT_FALSE(w->List().Changed(1));
        EXPECT_TRUE(Find<QRadioButton>(w, "RhoIPRdBtn")->isChecked());
        EXPECT_EQ(w->Current()->Device.RhoMode(), 0u);
        EXPECT_EQ(w->Current()->Device.Channels, 10);
    }
    // Clicked by the user, the Rho button applies its preset to the entry shown.
    auto w = Show({"a.sqz"});
    ClickTab(*w, "ConfigurationTbs");
    Click(Find<QWidget>(w, "RhoOnlyRdBtn"));
    EXPECT_EQ(w->Current()->Device.RhoMode(), 1u);
    EXPECT_EQ(w->Current()->Device.TimeIndex(), 4u);
    // So do the arrow keys, which move the focus and the choice from one button to the other.
    QTest::keyClick(Find<QWidget>(w, "RhoOnlyRdBtn"), Qt::Key_Left);
    QApplication::processEvents();
    ASSERT_TRUE(Find<QWidget>(w, "RhoIPRdBtn")->hasFocus());
    EXPECT_EQ(w->Current()->Device.RhoMode(), 0u);
    EXPECT_EQ(w->Current()->Device.TimeIndex(), 2u);
}
