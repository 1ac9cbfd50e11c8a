// The window on screens of a given size (the platform's configuration file sets it): on a
// 1024 x 600 screen it fits with every control whole and reachable; on a wide screen the main
// window and the About box open in its centre.
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

#include "ui/About.h"
#include "tests/ui/UiTest.h"
#include "ui_About.h"

namespace {
const QSize kSmallScreen(1024, 600);
// Room for the title bar that a window manager puts above the window.
constexpr int kTitleBar = 32;

QSize ScreenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

// Inside what a scroll area scrolls: placed by the scroll area, not by a layout.
bool Scrolled(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
        const auto* area = qobject_cast<const QAbstractScrollArea*>(p->parentWidget());
        if (area && area->viewport() == p) return true;
    }
    return false;
}

// The least size a layout grants a widget: its minimum size hint (its size hint when it may
// not shrink), bounded by its maximum size, overridden by an explicit minimum size.
QSize LayoutMinimum(const QWidget* w) {
    const QSizePolicy p = w->sizePolicy();
    auto least = [](QSizePolicy::Policy policy, int hint, int minHint) {
        if (policy == QSizePolicy::Ignored) return 0;
        return (policy & QSizePolicy::ShrinkFlag) ? minHint : std::max(hint, minHint);
    };
    QSize s(least(p.horizontalPolicy(), w->sizeHint().width(), w->minimumSizeHint().width()),
            least(p.verticalPolicy(), w->sizeHint().height(), w->minimumSizeHint().height()));
    s = s.boundedTo(w->maximumSize());
    if (w->minimumWidth() > 0) s.setWidth(w->minimumWidth());
    if (w->minimumHeight() > 0) s.setHeight(w->minimumHeight());
    return s;
}

bool InLayout(const QWidget* w) {
    const QWidget* p = w->parentWidget();
    return p && p->layout() && p->layout()->indexOf(const_cast<QWidget*>(w)) >= 0;
}

// Every visible control of the window that is cut by its parent's edge or squeezed below the
// size its layout owes it, each with what is wrong.
QStringList Misfits(QWidget* window) {
    QStringList out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisible() || Scrolled(w)) continue;
        const QString name = w->objectName().isEmpty() ? QString(w->metaObject()->className()) +
                                                              " in " + w->parentWidget()->objectName()
                                                        : w->objectName();
        if (!w->parentWidget()->rect().contains(w->geometry()))
            out << name + " cut by its parent's edge";
        const QSize least = LayoutMinimum(w);
        if (InLayout(w) && (w->width() < least.width() || w->height() < least.height()))
            out << name + QString(" squeezed to %1 x %2 (needs %3 x %4)")
                              .arg(w->width()).arg(w->height()).arg(least.width()).arg(least.height());
    }
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        for (QAction* a : bar->actions())
            if (a->isVisible() && !a->isSeparator() && !bar->widgetForAction(a)->isVisible())
                out << a->text() + " not on its tool bar";
    return out;
}

void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}
}  // namespace

class SmallScreenTest : public UiTest {
protected:
    void SetUp() override {
        if (ScreenSize() != kSmallScreen) GTEST_SKIP() << "needs a 1024 x 600 screen";
        UiTest::SetUp();
    }

    // Every optional control of every tab at once: the largest the window must hold.
    static void ShowEverything(TMainFrm& w) {
        for (const char* name : {"YZPanel", "ErrorLblx", "CaPmCbPnPanel", "XCbPnLbl", "XCbPnTxt", "YCbPnLbl", "YCbPnTxt",
                                 "StrapForPopolBtn", "StrapPanel", "IPModeLbl", "IPModeCB", "IPModeProgBtn",
                                 "OptimizationDecreasedLbl", "AutomaticCreationPanel", "MovePanel", "NodeMoveYPanel",
                                 "MoveComputeBtn", "CreateNewSeqBtn", "SpacingLevelGd", "MaxQuadriploleLbl", "VabCB"})
            Find<QWidget>(w, name)->setVisible(true);
    }

    // Each tab in turn at the window's present size: what does not fit.
    QStringList MisfitsOnEveryTab(TMainFrm& w) {
        QStringList out;
        auto* pages = Find<QTabWidget>(w, "PageControl1");
        for (int tab = 0; tab < pages->count(); ++tab) {
            pages->setCurrentIndex(tab);
            Settle();
            for (const QString& m : Misfits(&w)) out << pages->tabText(tab) + ": " + m;
        }
        return out;
    }
};

TEST_F(SmallScreenTest, TheWindowFitsTheScreenWithEveryControlWhole) {
    QStringList files;
    for (const char* name : {"wenner-north.sqz", "dipole-dipole-48.sqz"}) files << WriteSequenceFile(Path(name), 620);
    WriteList(files);
    auto w = Start();
    Settle();
    // Activation has fitted the window to the screen.
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(QRect(QPoint(), kSmallScreen).contains(frame))
        << frame.x() << ", " << frame.y() << ", " << frame.width() << " x " << frame.height();
    QStringList misfits = MisfitsOnEveryTab(*w);
    EXPECT_TRUE(misfits.isEmpty()) << misfits.join('\n').toStdString();

    ShowEverything(*w);
    Settle();
    const QSize least = w->minimumSizeHint().expandedTo(w->minimumSize());
    EXPECT_LE(least.width(), kSmallScreen.width());
    EXPECT_LE(least.height(), kSmallScreen.height() - kTitleBar);
    for (const QSize size : {w->size(), kSmallScreen, least}) {
        w->resize(size);
        Settle();
        EXPECT_EQ(w->size(), size);
        misfits = MisfitsOnEveryTab(*w);
        EXPECT_TRUE(misfits.isEmpty()) << size.width() << " x " << size.height() << ":\n"
                                       << misfits.join('\n').toStdString();
    }
}

class WideScreenTest : public UiTest {
protected:
    void SetUp() override {
        if (ScreenSize().width() < 1600) GTEST_SKIP() << "needs a screen wider than the window";
        UiTest::SetUp();
    }
    // The window frame's centre, as far from the screen's centre as the frame is uneven.
    static void ExpectCentred(const QWidget* window) {
        const QPoint off = window->frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(off.manhattanLength(), kFrameSlack) << window->objectName().toStdString() << ": " << off.x() << ", " << off.y();
    }
    static constexpr int kFrameSlack = 4;
};

TEST_F(WideScreenTest, TheMainWindowAndTheAboutBoxOpenInTheMiddleOfTheScreen) {
    auto w = Start();
    Settle();
    ExpectCentred(w.get());
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<TAboutBoxFrm*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        ExpectCentred(box);
        box->ui->BitBtn1->click();
    });
    Find<QAction>(w, "Apropos1")->trigger();
    EXPECT_TRUE(seen);
}
