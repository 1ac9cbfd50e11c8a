// The controls' events reach the handlers while the window is open, and never once it is
// closing or being destroyed; a prompt is entered only from outside it.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>

#include "tests/ui/UiTest.h"
#include "ui/StringGrid.h"
#include "ui_Main.h"

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
    const auto configuration = [](TMainFrm& w) { w.ui->PageControl1->setCurrentWidget(w.ui->ConfigurationTbs); };
    const TCase cases[] = {
        {"a parameter", [&](TMainFrm& w) { configuration(w); return w.ui->StackMinEdn; }, "abc"},
        {"a grid size", [](TMainFrm& w) { return w.ui->LineGridXTxt; }, "5000"},
        {"the depth prompt",
         [&](TMainFrm& w) {
             configuration(w);
             w.AutomaticCreationBtnClick();
             return w.ui->InvestigationDepthEdt;
         },
         "abc"},
        {"the shift prompt",
         [&](TMainFrm& w) {
             configuration(w);
             w.MoveComputeBtnClick();
             return w.ui->NodeToMoveXTxt;
         },
         "500"},
        {"a cell of the location grid",
         [](TMainFrm& w) {
             TStringGrid* g = w.ui->ElectrodeLocationGd;
             w.ui->ManualCreated->setChecked(true);
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
    Ui::TMainFrm& ui = *w->ui;
    ASSERT_TRUE(w->close());
    ASSERT_EQ(w->CurrentSequence, nullptr);
    // Each of these handlers would beep or read the sequence that is gone.
    ui.LineGridXTxt->setText("5000");
    Leave(ui.LineGridXTxt);
    ui.InvestigationDepthEdt->setText("abc");
    Leave(ui.InvestigationDepthEdt);
    Leave(ui.SpacingLevelGd);
    ui.ComputeBtn->click();
    emit ui.PageControl1->currentChanged(1);
    EXPECT_EQ(Seam.Beeps, 0);
    EXPECT_TRUE(Seam.Messages.isEmpty());
    w.reset();
}

TEST_F(EventsTest, APromptIsEnteredWhenTheFocusComesInFromOutsideIt) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    ui.PageControl1->setCurrentWidget(ui.ConfigurationTbs);
    w->AutomaticCreationBtnClick();
    QApplication::processEvents();
    QPushButton* ok = ui.AutomaticCreationOkBtn;

    ok->setVisible(false);
    ui.InvestigationDepthEdt->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(ok->isHidden()) << "entered from outside";

    ok->setVisible(false);
    ui.AutomaticCreationCancelBtn->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(ok->isHidden()) << "a move within the prompt";

    QApplication::setActiveWindow(nullptr);
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(ui.AutomaticCreationCancelBtn->hasFocus());
    EXPECT_TRUE(ok->isHidden()) << "the window coming back";

    ui.SpacingLevelGd->setFocus(Qt::TabFocusReason);
    ui.InvestigationDepthEdt->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(ok->isHidden()) << "entered again";
}
