// The About box, the Help menu, the help window and the application's last-resort handler.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "ui/About.h"
#include "ui/Artwork.h"
#include "ui/Help.h"
#include "tests/ui/UiTest.h"
#include "ui_About.h"
#include "ui/StrapHint.h"

TEST(About, VersionTextHasTwoDigitsPerNumber) {
    EXPECT_EQ(VersionText(2, 9, 1), "V02.09.01");
    EXPECT_EQ(VersionText(1, 0, 0), "V01.00.00");
    EXPECT_EQ(VersionText(10, 11, 12), "V10.11.12");
}

TEST_F(UiTest, TheAboutBoxShowsTheBuildVersionAndTheProgramsIconAndLinksToItsHelp) {
    TAboutBoxFrm box;
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_EQ(box.ui->Version->text(), VersionText(PLANORA_VERSION_MAJOR, PLANORA_VERSION_MINOR, PLANORA_VERSION_PATCH));
    EXPECT_EQ(box.ui->ProductName->text(), "Planora Pro");
    EXPECT_FALSE(box.ui->Copyright->text().isEmpty());
    EXPECT_EQ(box.ui->Memo1->toPlainText(), PlanoraAbout::Comments().join('\n'));
    EXPECT_EQ(box.ui->Label2->text(), "Web :");
    const QImage icon = box.ui->Image1->pixmap().toImage();
    EXPECT_EQ(icon, ProgramIcon().pixmap(icon.size()).toImage());
    EXPECT_EQ(QApplication::windowIcon().pixmap(icon.size()).toImage(), icon);
    box.show();
    // No e-mail line: there is no address to write to.
    EXPECT_FALSE(box.ui->Label1->isVisible());
    EXPECT_FALSE(box.ui->Label3->isVisible());
    // The web link shows the program's help pages and closes the box, which would block them.
    QTest::mouseClick(box.ui->Label4, Qt::LeftButton);
    EXPECT_EQ(Seam.HelpIds, std::vector<int>{THelpFrm::HelpTopics});
    EXPECT_TRUE(Seam.Urls.isEmpty());
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(UiTest, TheHelpMenuOpensTheProgramsOwnHelpPages) {
    auto w = Start();
    Find<QAction>(w, "Rubriquedaide1")->trigger();
    Find<QAction>(w, "Homepage1")->trigger();
    Find<QAction>(w, "Productsupport1")->trigger();
    // No invented address: every entry leads to the help pages shipped with the program.
    EXPECT_EQ(Seam.HelpIds, (std::vector<int>{100, 100, 100}));
    EXPECT_TRUE(Seam.Urls.isEmpty());
    EXPECT_EQ(Find<QAction>(w, "Rubriquedaide1")->text(), "Help topics");
    EXPECT_EQ(Find<QAction>(w, "Apropos1")->text(), "About");
}

TEST_F(UiTest, TheHelpWindowShowsThePageOfEachContext) {
    struct TCase {
        int id;
        const char* title;
    };
    for (const TCase& c : {TCase{100, "The main window"}, TCase{1200, "The depth-level grid"}, TCase{1300, "Roll-along"},
                           TCase{7, "The main window"}}) {
        THelpFrm* help = THelpFrm::ShowContext(c.id);
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->Browser()->documentTitle(), c.title) << c.id;
        EXPECT_GT(help->Browser()->toPlainText().size(), 300) << c.id;
        EXPECT_EQ(THelpFrm::Current(), help);
    }
    // Closing the main window closes the help window.
    auto w = Start();
    Close(w);
    EXPECT_EQ(THelpFrm::Current(), nullptr);
}

namespace {
class TThrowing : public QObject {
protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Port err. the meter went away");
        return QObject::event(e);
    }
};
}  // namespace

TEST_F(UiTest, AnExceptionReachingTheEventLoopIsShownAndTheLoopGoesOn) {
    TThrowing target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QApplication::processEvents();
    EXPECT_EQ(Seam.Messages, (QStringList{"Port err. the meter went away", "Port err. the meter went away"}));
}

TEST_F(UiTest, TheAboutCommandShowsTheBoxModallyAndTheSplashIsGoneAfterStartUp) {
    auto w = Start();
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TAboutBoxFrm*>(top) && top->isVisible()) << "splash left on screen";
    QString shownVersion;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TAboutBoxFrm*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shownVersion = box->ui->Version->text();
        box->ui->BitBtn1->click();
    });
    Find<QAction>(w, "Apropos1")->trigger();
    EXPECT_EQ(shownVersion, VersionText(PLANORA_VERSION_MAJOR, PLANORA_VERSION_MINOR, PLANORA_VERSION_PATCH));
}

TEST_F(UiTest, TheStrapHintShowsOverItsButtonAndHidesOverTheMeterBox) {
    auto w = Start();
    EXPECT_TRUE(Find<TStrapHint>(w, "StrapPanel")->isHidden());
    QMouseEvent over(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Find<QPushButton>(w, "StrapForPopolBtn"), &over);
    EXPECT_FALSE(Find<TStrapHint>(w, "StrapPanel")->isHidden());
    QMouseEvent away(QEvent::MouseMove, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Find<QGroupBox>(w, "ReskonGB"), &away);
    EXPECT_TRUE(Find<TStrapHint>(w, "StrapPanel")->isHidden());
}

TEST_F(UiTest, TheStrapHintIsAPictureBelowItsButtonThatMakesWayForThePointer) {
    auto s = MakeSequence(60);
    WriteSequence(*s, Path("pole.sqz"));
    WriteList({Path("pole.sqz")});
    auto w = Start();
    Find<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    Find<QComboBox>(w, "ArrayTypeList")->setCurrentIndex(9);  // complete pole-pole
    emit Find<QComboBox>(w, "ArrayTypeList")->activated(9);
    QApplication::processEvents();
    ASSERT_TRUE(Find<TStrapHint>(w, "StrapPanel")->isVisible());
    EXPECT_FALSE(Find<QLabel>(w, "StrapPictureLbl")->pixmap().isNull());
    // Just below the button, whole inside the page, above the controls it covers.
    const QRect button(Find<QPushButton>(w, "StrapForPopolBtn")->mapTo(Find<QWidget>(w, "ConfigurationTbs"), QPoint()),
                       Find<QPushButton>(w, "StrapForPopolBtn")->size());
    const QRect hint = Find<TStrapHint>(w, "StrapPanel")->geometry();
    EXPECT_GE(hint.top(), button.bottom());
    EXPECT_LE(hint.top() - button.bottom(), 4);
    EXPECT_TRUE(Find<QWidget>(w, "ConfigurationTbs")->rect().contains(hint));
    EXPECT_EQ(Find<QWidget>(w, "ConfigurationTbs")->childAt(hint.center()), Find<QLabel>(w, "StrapPictureLbl"));
    // The pointer reaching it sends it away, so the comment below can be used.
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(Find<TStrapHint>(w, "StrapPanel"), &enter);
    EXPECT_FALSE(Find<TStrapHint>(w, "StrapPanel")->isVisible());
    EXPECT_TRUE(
        Find<QTextEdit>(w, "CommentEdt")->isAncestorOf(Find<QWidget>(w, "ConfigurationTbs")->childAt(hint.center())));
}
