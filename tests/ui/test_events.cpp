// The controls' events reach the handlers while the window is open, and never once it is
// closing or being destroyed; a prompt is entered only from outside it.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QWidget>
#include <functional>

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
