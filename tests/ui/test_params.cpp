// Editing the acquisition parameters: numeric edits committed when left, array types,
// Rho / IP presets, voltages, remote electrodes, name, comment and multi-channel options.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <utility>

#include "engine/ArrayTypes.h"
#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui/UpDown.h"
#include "ui/StrapHint.h"

namespace {
// The user picks item i of a drop-down list.
void Choose(QComboBox* box, int i) {
    box->setCurrentIndex(i);
    emit box->activated(i);
}

bool RowIs(const std::uint16_t* timing, int timeIndex, int ipMode) {
    const std::uint16_t* row = IPTimingTableRow(timeIndex, ipMode);
    return row && std::equal(row, row + 23, timing);
}
}  // namespace

class ParamsTest : public UiTest {
protected:
    // A fresh window showing a computed dipole-dipole line sequence (60 quadripoles).
    std::unique_ptr<TMainFrm> Show(std::unique_ptr<TElectSequence> s = MakeSequence(60)) {
        WriteSequence(*s, Path("params.sqz"));
        WriteList({Path("params.sqz")});
        auto w = Start();
        Seam.Beeps = 0;
        return w;
    }
};

TEST_F(ParamsTest, NumericEditsAreClampedToTheirRangeWithABeepWhenLeft) {
    struct Case {
        const char* Edit;
        QString Text, Shown;
        bool Beep;
        std::function<double(const TElectSequence&)> Stored;
        double Expected;
    };
    auto stackMin = [](const TElectSequence& s) { return double(s.Device.StackMin); };
    auto stackMax = [](const TElectSequence& s) { return double(s.Device.StackMax); };
    auto vabMax = [](const TElectSequence& s) { return double(s.GetVabMax()); };
    auto qMax = [](const TElectSequence& s) { return double(s.Device.QMax); };
    auto optimization = [](const TElectSequence& s) { return double(s.ChannelOptions.OptimizationChannel); };
    const Case cases[] = {
        {"StackMinEdn", "abc", "1", true, stackMin, 1},
        {"StackMinEdn", "7", "7", false, stackMin, 7},
        {"StackMaxEdn", "0", "1", true, stackMax, 1},
        {"StackMaxEdn", "999", "999", false, stackMax, 999},
        {"VabMaxEdt", "5", "10", true, vabMax, 10},
        {"VabMaxEdt", "805", "800", true, vabMax, 800},
        {"VabMaxEdt", "250", "250", false, vabMax, 250},
        {"QMaxEdn", "ab", "0", true, qMax, 0},
        {"QMaxEdn", "-3", "0", true, qMax, 0},
        {"QMaxEdn", "5", "5", false, qMax, 5},
        {"OptimizationChannelEdn", "0", "1", true, optimization, 1},
    };
    auto w = Show();
    for (const Case& c : cases) {
        QLineEdit* edit = Find<QLineEdit>(w, c.Edit);
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.Text.toStdString() + "\"");
        Seam.Beeps = 0;
        edit->setText(c.Text);
        Leave(edit);
        EXPECT_EQ(edit->text(), c.Shown);
        EXPECT_EQ(Seam.Beeps, c.Beep ? 1 : 0);
        EXPECT_DOUBLE_EQ(c.Stored(*w->Current()), c.Expected);
    }
    // Parameters of the meter alone leave the computed quadripoles valid.
    EXPECT_EQ(w->Current()->NeedsRecompute, 0);
    EXPECT_EQ(w->Current()->Device.LastQuadripole, 59);
}

// A value the window writes into an edit is shown whole, so that entering and leaving the
// edit stores what it shows: the value itself, or its clamp with a beep.
TEST_F(ParamsTest, EditsShowWhatTheWindowWritesWhole) {
    struct Case {
        const char* Edit;
        QString Shown, Committed;
        bool Beep;
        std::function<double(const TElectSequence&)> Stored;
        double Expected;
    };
    auto s = MakeSequence(60);
    s->Device.QMax = 0.5f;  // the automatic creation's preset
    s->Device.StackMin = 1000;
    s->Device.StackMax = 1000;
    s->Device.VabMax10 = 255;
    const Case cases[] = {
        {"QMaxEdn", "0.5", "0.5", false, [](const TElectSequence& q) { return double(q.Device.QMax); }, 0.5},
        {"StackMinEdn", "1000", "999", true, [](const TElectSequence& q) { return double(q.Device.StackMin); }, 999},
        {"StackMaxEdn", "1000", "999", true, [](const TElectSequence& q) { return double(q.Device.StackMax); }, 999},
        {"VabMaxEdt", "2550", "800", true, [](const TElectSequence& q) { return double(q.GetVabMax()); }, 800},
    };
    auto w = Show(std::move(s));
    for (const Case& c : cases) {
        QLineEdit* edit = Find<QLineEdit>(w, c.Edit);
        SCOPED_TRACE(edit->objectName().toStdString());
        EXPECT_EQ(edit->text(), c.Shown);
        Seam.Beeps = 0;
        Leave(edit);
        EXPECT_EQ(edit->text(), c.Committed);
        EXPECT_EQ(Seam.Beeps, c.Beep ? 1 : 0);
        EXPECT_EQ(c.Stored(*w->Current()), c.Expected);
    }
    // Saved as shown.
    Seam.Answers = {TMsgResult::Ok};
    w->SaveClick();
    EXPECT_EQ(TElectSequence(Path("params.sqz").toStdString()).Device.QMax, 0.5f);
}

// The remote positions show whole, the placeholder of an unset one included, in a desktop
// font larger than the form's.
TEST_F(ParamsTest, RemoteElectrodeEditsAreWideEnoughForTheirPositions) {
    const QFont font = QApplication::font();
    QFont large = font;
    large.setPointSizeF(font.pointSizeF() * 1.5);
    QApplication::setFont(large);
    struct TRestore {
        QFont Font;
        ~TRestore() { QApplication::setFont(Font); }
    } restore{font};
    auto s = MakeSequence(60);
    s->SetArrayType(9);
    s->ResetRemoteElectrodes();
    s->RemoteElectrodes[0].X = -kNoElectrode;
    auto w = Show(std::move(s));
    w->SetActivePage(Find<QTabWidget>(w, "PageControl1")->indexOf(Find<QWidget>(w, "ConfigurationTbs")));
    QApplication::processEvents();
    EXPECT_EQ(Find<QLineEdit>(w, "XCaPmTxt")->text(), "-99999.99");
    EXPECT_EQ(Find<QLineEdit>(w, "XCbPnTxt")->text(), "99999.99");
    for (QLineEdit* e : {Find<QLineEdit>(w, "XCaPmTxt"), Find<QLineEdit>(w, "YCaPmTxt"), Find<QLineEdit>(w, "XCbPnTxt"),
                         Find<QLineEdit>(w, "YCbPnTxt")}) {
        const QMargins m = e->textMargins();
        EXPECT_GE(e->contentsRect().width() - m.left() - m.right() - 4, e->fontMetrics().horizontalAdvance("-99999.99"))
            << e->objectName().toStdString();
    }
    // The general form written back after a text that is no number shows from its start.
    Find<QLineEdit>(w, "XCbPnTxt")->setText("x");
    Leave(Find<QLineEdit>(w, "XCbPnTxt"));
    EXPECT_EQ(Find<QLineEdit>(w, "XCbPnTxt")->text(), "99999.9921875");
    EXPECT_EQ(Find<QLineEdit>(w, "XCbPnTxt")->cursorPosition(), 0);
}

TEST_F(ParamsTest, LeavingTheWindowOrOpeningAMenuCommitsNothing) {
    auto w = Show();
    Find<QLineEdit>(w, "StackMinEdn")->setText("abc");
    Leave(Find<QLineEdit>(w, "StackMinEdn"), Qt::ActiveWindowFocusReason);
    Leave(Find<QLineEdit>(w, "StackMinEdn"), Qt::PopupFocusReason);
    EXPECT_EQ(Find<QLineEdit>(w, "StackMinEdn")->text(), "abc");
    EXPECT_EQ(w->Current()->Device.StackMin, 3);
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(ParamsTest, TooManyChannelsAreClampedToTheArrayLimit) {
    auto w = Show();
    ASSERT_EQ(Find<TUpDown>(w, "StdChannelEdnUpDown")->maximum(), 20);
    Find<QLineEdit>(w, "StdChannelEdn")->setText("25");
    Leave(Find<QLineEdit>(w, "StdChannelEdn"));
    const TElectSequence& s = *w->Current();
    EXPECT_EQ(Seam.Beeps, 1);
    EXPECT_EQ(Find<QLineEdit>(w, "StdChannelEdn")->text(), "20");
    EXPECT_EQ(s.Device.Channels, 20);
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 20);
    EXPECT_EQ(Find<QLineEdit>(w, "OptimizationChannelEdn")->text(), "20");
    EXPECT_EQ(Find<TUpDown>(w, "OptimizationChannelUpDown")->maximum(), 20);

    Seam.Beeps = 0;
    Find<QLineEdit>(w, "StdChannelEdn")->setText("4");
    Leave(Find<QLineEdit>(w, "StdChannelEdn"));
    EXPECT_EQ(Seam.Beeps, 0);
    EXPECT_EQ(s.Device.Channels, 4);
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 4);
    EXPECT_EQ(Find<TUpDown>(w, "OptimizationChannelUpDown")->maximum(), 4);
}

TEST_F(ParamsTest, TheArrowsStepTheirEditWithinItsRangeAndLeadToIt) {
    struct Case {
        const char* UpDown;
        const char* Edit;
        QString From;
        bool Up;
        QString To;
        std::function<double(const TElectSequence&)> Stored;
    };
    auto channels = [](const TElectSequence& s) { return double(s.Device.Channels); };
    auto qMax = [](const TElectSequence& s) { return double(s.Device.QMax); };
    auto vabMax = [](const TElectSequence& s) { return double(s.GetVabMax()); };
    auto stackMin = [](const TElectSequence& s) { return double(s.Device.StackMin); };
    auto stackMax = [](const TElectSequence& s) { return double(s.Device.StackMax); };
    const Case cases[] = {
        {"StdChannelEdnUpDown", "StdChannelEdn", "10", true, "11", channels},
        {"StdChannelEdnUpDown", "StdChannelEdn", "20", true, "20", channels},  // the array's limit
        {"StdChannelEdnUpDown", "StdChannelEdn", "1", false, "1", channels},
        {"QMaxEdnUpDown", "QMaxEdn", "0.5", true, "1.5", qMax},
        {"QMaxEdnUpDown", "QMaxEdn", "0.5", false, "0", qMax},
        {"QMaxEdnUpDown", "QMaxEdn", "98.5", true, "99", qMax},
        {"VabMaxEdtUpDown", "VabMaxEdt", "250", true, "260", vabMax},
        {"VabMaxEdtUpDown", "VabMaxEdt", "800", true, "800", vabMax},
        {"VabMaxEdtUpDown", "VabMaxEdt", "10", false, "10", vabMax},
        {"StackMinEdnUpDown", "StackMinEdn", "2", true, "3", stackMin},
        {"StackMaxEdnUpDown", "StackMaxEdn", "6", true, "7", stackMax},
    };
    auto w = Show();
    w->SetActivePage(Find<QTabWidget>(w, "PageControl1")->indexOf(Find<QWidget>(w, "ConfigurationTbs")));
    QApplication::processEvents();
    const TElectSequence& s = *w->Current();
    for (const Case& c : cases) {
        QLineEdit* edit = Find<QLineEdit>(w, c.Edit);
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.From.toStdString() + (c.Up ? "\" up" : "\" down"));
        edit->setText(c.From);
        const double stored = c.Stored(s);
        ClickArrow(Find<TUpDown>(w, c.UpDown), c.Up);
        EXPECT_EQ(edit->text(), c.To);
        EXPECT_EQ(w->focusWidget(), edit);
        // Stored when the edit is left.
        EXPECT_EQ(c.Stored(s), stored);
        Leave(edit);
        EXPECT_EQ(c.Stored(s), c.To.toDouble());
    }
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(ParamsTest, TheStackArrowsKeepStackMinAtOrBelowStackMax) {
    auto w = Show();
    w->SetActivePage(Find<QTabWidget>(w, "PageControl1")->indexOf(Find<QWidget>(w, "ConfigurationTbs")));
    QApplication::processEvents();
    TElectSequence& s = *w->Current();
    s.Device.StackMin = 2;
    s.Device.StackMax = 6;

    Find<QLineEdit>(w, "StackMinEdn")->setText("5");
    ClickArrow(Find<TUpDown>(w, "StackMinEdnUpDown"), true);
    ClickArrow(Find<TUpDown>(w, "StackMinEdnUpDown"), true);
    EXPECT_EQ(Find<QLineEdit>(w, "StackMinEdn")->text(), "6");
    EXPECT_EQ(Find<TUpDown>(w, "StackMinEdnUpDown")->maximum(), 6);
    EXPECT_EQ(w->focusWidget(), Find<QLineEdit>(w, "StackMinEdn"));
    Leave(Find<QLineEdit>(w, "StackMinEdn"));
    EXPECT_EQ(s.Device.StackMin, 6);
    // A typed value beyond stack max is clamped when the edit is left.
    Find<QLineEdit>(w, "StackMinEdn")->setText("9");
    Leave(Find<QLineEdit>(w, "StackMinEdn"));
    EXPECT_EQ(s.Device.StackMin, 6);
    EXPECT_EQ(Find<QLineEdit>(w, "StackMinEdn")->text(), "6");
    EXPECT_EQ(Seam.Beeps, 1);

    Find<QLineEdit>(w, "StackMaxEdn")->setText("7");
    ClickArrow(Find<TUpDown>(w, "StackMaxEdnUpDown"), false);
    ClickArrow(Find<TUpDown>(w, "StackMaxEdnUpDown"), false);
    EXPECT_EQ(Find<QLineEdit>(w, "StackMaxEdn")->text(), "6");
    EXPECT_EQ(Find<TUpDown>(w, "StackMaxEdnUpDown")->minimum(), 6);
    EXPECT_EQ(w->focusWidget(), Find<QLineEdit>(w, "StackMaxEdn"));
    Find<QLineEdit>(w, "StackMaxEdn")->setText("3");
    Leave(Find<QLineEdit>(w, "StackMaxEdn"));
    EXPECT_EQ(s.Device.StackMax, 6);
}

TEST_F(ParamsTest, ChoosingAnArrayResetsChannelsQuadripolesAndRemoteElectrodes) {
    struct Case {
        int Index, MaxChannel;
        QString Shown;
        bool GridShown;
    };
    const Case cases[] = {
        {5, 1, "1", true},    // Wenner: one channel
        {1, 20, "10", true},  // back to dipole-dipole: ten again, not the single one
        {0, 20, "10", false}, // mixed array: no depth-level grid
    };
    auto w = Show();
    TElectSequence& s = *w->Current();
    s.RemoteElectrodes[0] = TElectrodeXYZ{-40.0f, 2.0f, 0.0f};
    Find<QLineEdit>(w, "XCaPmTxt")->setText("-40");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Index);
        s.NeedsRecompute = 0;
        Choose(Find<QComboBox>(w, "ArrayTypeList"), c.Index);
        EXPECT_EQ(s.Grid.ArrayType, c.Index);
        EXPECT_EQ(Find<TUpDown>(w, "StdChannelEdnUpDown")->maximum(), c.MaxChannel);
        EXPECT_EQ(Find<QLineEdit>(w, "StdChannelEdn")->text(), c.Shown);
        EXPECT_EQ(s.Device.Channels, c.Shown.toInt());
        EXPECT_EQ(s.ChannelOptions.OptimizationChannel, c.Shown.toInt());
        EXPECT_EQ(s.Device.LastQuadripole, -1);
        EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), "0");
        EXPECT_EQ(s.RemoteElectrodes[0].X, kNoElectrode);
        // The edits show the positions just reset, not those of the array left.
        EXPECT_EQ(Find<QLineEdit>(w, "XCaPmTxt")->text(), "99999.99");
        EXPECT_EQ(!Find<TStringGrid>(w, "SpacingLevelGd")->isHidden(), c.GridShown);
        EXPECT_EQ(Find<QPushButton>(w, "MoveComputeBtn")->isEnabled(),
                  c.Index != 0 && Find<QPushButton>(w, "ComputeBtn")->isEnabled());
        EXPECT_EQ(Find<QPushButton>(w, "CreateNewSeqBtn")->isEnabled(),
                  Find<QPushButton>(w, "MoveComputeBtn")->isEnabled());
        EXPECT_EQ(s.NeedsRecompute, 1);
    }
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(ParamsTest, TheArrayListsShowTheTableInTheOrderOfTheArrayTypes) {
    auto w = Show();
    const std::pair<QComboBox*, std::span<const TArrayTypeInfo>> lists[] = {
        {Find<QComboBox>(w, "ArrayTypeList"), SurfaceArrayTypes()},
        {Find<QComboBox>(w, "BoreholeArrayTypeList"), BoreholeArrayTypes()}};
    for (const auto& [list, types] : lists) {
        SCOPED_TRACE(list->objectName().toStdString());
        ASSERT_EQ(list->count(), static_cast<int>(types.size()));
        for (const TArrayTypeInfo& t : types) EXPECT_EQ(list->itemText(t.Type), t.Label);
    }
    EXPECT_EQ(Find<QComboBox>(w, "ArrayTypeList")->itemText(atGradient), "gradient");
    EXPECT_EQ(Find<QComboBox>(w, "BoreholeArrayTypeList")->itemText(batDipoleDipoleDiagonal), "dipole-dipole diagonal");
}

TEST_F(ParamsTest, PolePoleArraysSwitchToAFixedVabAndShowTheStrapping) {
    auto w = Show();
    TElectSequence& s = *w->Current();
    ASSERT_TRUE(Find<QRadioButton>(w, "VpRdBtn")->isChecked());
    Choose(Find<QComboBox>(w, "ArrayTypeList"), 9);
    EXPECT_TRUE(Find<QRadioButton>(w, "VabRdBtn")->isChecked());
    EXPECT_EQ(s.Device.VmnChoice(), 0u);
    EXPECT_EQ(s.Device.VabChoice(), 1u);  // "12 V"
    EXPECT_FALSE(Find<QComboBox>(w, "VabCB")->isHidden());
    EXPECT_TRUE(Find<QComboBox>(w, "VmnCB")->isHidden());
    EXPECT_TRUE(Find<QLineEdit>(w, "VabMaxEdt")->isHidden());
    EXPECT_EQ(Find<QLabel>(w, "XCbPnLbl")->text(), "X Pn (m):");
    EXPECT_EQ(Find<QLabel>(w, "YCbPnLbl")->text(), "Y Pn (m):");
    EXPECT_FALSE(Find<QPushButton>(w, "StrapForPopolBtn")->isHidden());
    EXPECT_FALSE(Find<TStrapHint>(w, "StrapPanel")->isHidden());
}

TEST_F(ParamsTest, TheRemoteElectrodePanelFollowsTheArrayType) {
    struct Case {
        int Type;
        bool Panel, SecondRow;
        const char *X, *Y;
        bool Strap;
    };
    const Case cases[] = {
        {3, true, false, nullptr, nullptr, false},  {13, true, false, nullptr, nullptr, false},
        {8, true, true, "X Cb (m):", "Y Cb (m):", false}, {10, true, true, "X Pn (m):", "Y Pn (m):", true},
        {1, false, true, nullptr, nullptr, false},  {6, false, true, nullptr, nullptr, false},
    };
    auto w = Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type);
        Choose(Find<QComboBox>(w, "ArrayTypeList"), c.Type);
        EXPECT_EQ(!Find<QFrame>(w, "CaPmCbPnPanel")->isHidden(), c.Panel);
        for (QWidget* second :
             {static_cast<QWidget*>(Find<QLabel>(w, "XCbPnLbl")), static_cast<QWidget*>(Find<QLineEdit>(w, "XCbPnTxt")),
              static_cast<QWidget*>(Find<QLabel>(w, "YCbPnLbl")),
              static_cast<QWidget*>(Find<QLineEdit>(w, "YCbPnTxt"))})
            EXPECT_EQ(!second->isHidden(), c.SecondRow) << second->objectName().toStdString();
        if (c.X) {
            EXPECT_EQ(Find<QLabel>(w, "XCbPnLbl")->text(), c.X);
        }
        if (c.Y) {
            EXPECT_EQ(Find<QLabel>(w, "YCbPnLbl")->text(), c.Y);
        }
        EXPECT_EQ(!Find<QPushButton>(w, "StrapForPopolBtn")->isHidden(), c.Strap);
        EXPECT_EQ(!Find<TStrapHint>(w, "StrapPanel")->isHidden(), c.Strap);
    }
}

TEST_F(ParamsTest, RemoteElectrodeEditsStoreTheirPositionOrAPlaceholder) {
    struct Case {
        int Type;
        const char* Edit;
        QString Text, Shown;
        // Fields expected afterwards: index into RemoteElectrodes, X (true) or Y.
        std::vector<std::pair<int, bool>> Fields;
        float Expected;
    };
    const Case cases[] = {
        {3, "XCaPmTxt", "-12.5", "-12.5", {{0, true}}, -12.5f},
        {3, "XCaPmTxt", "abc", "99999.9921875", {{0, true}}, kNoElectrode},
        {3, "YCaPmTxt", "4", "4", {{0, false}}, 4.0f},
        {3, "YCaPmTxt", "?", "0", {{0, false}}, 0.0f},
        {8, "XCbPnTxt", "150", "150", {{1, true}}, 150.0f},
        {8, "YCbPnTxt", "", "99999.9921875", {{1, false}}, kNoElectrode},
        {9, "XCbPnTxt", "-75", "-75", {{3, true}, {2, true}}, -75.0f},
        {9, "YCbPnTxt", "x1", "99999.9921875", {{3, false}, {2, false}}, kNoElectrode},
        // An infinity would poison every distance: it counts as no number.
        {9, "XCbPnTxt", "inf", "99999.9921875", {{3, true}, {2, true}}, kNoElectrode},
        {3, "XCaPmTxt", "1e39", "99999.9921875", {{0, true}}, kNoElectrode},
    };
    auto w = Show();
    const TElectSequence& s = *w->Current();
    for (const Case& c : cases) {
        QLineEdit* edit = Find<QLineEdit>(w, c.Edit);
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.Text.toStdString() + "\" type " +
                     std::to_string(c.Type));
        Choose(Find<QComboBox>(w, "ArrayTypeList"), c.Type);
        edit->setText(c.Text);
        Leave(edit);
        EXPECT_EQ(edit->text(), c.Shown);
        for (const auto& [remote, isX] : c.Fields)
            EXPECT_EQ(isX ? s.RemoteElectrodes[remote].X : s.RemoteElectrodes[remote].Y, c.Expected) << remote;
    }
    EXPECT_EQ(Seam.Beeps, 0);
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(ParamsTest, EnteringARhoButtonAppliesItsPresetEvenWhenAlreadyChecked) {
    struct Case {
        const char* Button;
        int StackMin, StackMax;
        unsigned Vmn, Time, RhoMode;
    };
    const Case cases[] = {
        {"RhoOnlyRdBtn", 3, 6, 2, 4, 1},
        {"RhoIPRdBtn", 4, 8, 5, 2, 0},
    };
    auto w = Show();
    TElectSequence& s = *w->Current();
    ASSERT_TRUE(Find<QRadioButton>(w, "RhoOnlyRdBtn")->isChecked());
    for (const Case& c : cases) {
        QRadioButton* button = Find<QRadioButton>(w, c.Button);
        SCOPED_TRACE(button->objectName().toStdString());
        TReskonPro& d = s.Device;
        d.Channels = 4;
        d.StackMin = 9;
        d.StackMax = 12;
        d.QMax = 7.0f;
        s.SetVab(3);
        d.VabMax10 = 5;
        s.SetTime(0);
        s.SetIPMode(3);
        d.SetAuxMode(0);
        d.DeviceArrayCode = 1;
        Find<QRadioButton>(w, "VabRdBtn")->setChecked(true);

        // Coming back to the window is no entry of the user's.
        Enter(button, Qt::ActiveWindowFocusReason);
        EXPECT_EQ(d.StackMin, 9);

        Enter(button);
        EXPECT_EQ(d.Channels, 10);
        EXPECT_EQ(d.StackMin, c.StackMin);
        EXPECT_EQ(d.StackMax, c.StackMax);
        EXPECT_EQ(d.QMax, 1.0f);
        EXPECT_EQ(d.VmnChoice(), c.Vmn);
        EXPECT_EQ(d.VabChoice(), 0u);
        EXPECT_EQ(d.VabMax10, 80);
        EXPECT_EQ(d.TimeIndex(), c.Time);
        EXPECT_EQ(d.RhoMode(), c.RhoMode);
        EXPECT_EQ(d.AuxMode(), 1u);
        EXPECT_EQ(d.IPMode(), 0u);
        EXPECT_TRUE(RowIs(d.IPTiming, int(c.Time), 0));
        EXPECT_EQ(d.DeviceArrayCode, 1);
        EXPECT_EQ(Find<QLineEdit>(w, "StackMinEdn")->text(), QString::number(c.StackMin));
        EXPECT_EQ(Find<QLineEdit>(w, "StackMaxEdn")->text(), QString::number(c.StackMax));
        EXPECT_EQ(Find<QLineEdit>(w, "QMaxEdn")->text(), "1");
        EXPECT_TRUE(Find<QRadioButton>(w, "VpRdBtn")->isChecked());
        EXPECT_EQ(Find<QComboBox>(w, "VmnCB")->currentIndex(), int(c.Vmn) - 1);
        EXPECT_FALSE(Find<QComboBox>(w, "VmnCB")->isHidden());
        EXPECT_TRUE(Find<QComboBox>(w, "VabCB")->isHidden());
        EXPECT_EQ(Find<QLineEdit>(w, "VabMaxEdt")->text(), "800");
    }
}

TEST_F(ParamsTest, ThePresetKeepsTheChannelCountWithinASingleChannelArray) {
    auto w = Show();
    Choose(Find<QComboBox>(w, "ArrayTypeList"), 5);  // Wenner
    Enter(Find<QRadioButton>(w, "RhoIPRdBtn"));
    EXPECT_EQ(w->Current()->Device.Channels, 1);
    EXPECT_EQ(w->Current()->ChannelOptions.OptimizationChannel, 1);
}

TEST_F(ParamsTest, RhoButtonsShowTheIPModeOnlyForRhoAndIP) {
    auto w = Show();
    TElectSequence& s = *w->Current();
    s.SetTime(1);
    s.SetIPMode(3);

    Find<QRadioButton>(w, "RhoIPRdBtn")->click();
    EXPECT_TRUE(s.IsRhoIP());
    for (QWidget* c :
         {static_cast<QWidget*>(Find<QComboBox>(w, "IPModeCB")), static_cast<QWidget*>(Find<QLabel>(w, "IPModeLbl")),
          static_cast<QWidget*>(Find<QToolButton>(w, "IPModeProgBtn"))})
        EXPECT_FALSE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_EQ(Find<QComboBox>(w, "IPModeCB")->currentIndex(), 3);
    EXPECT_EQ(Find<QComboBox>(w, "TimeCB")->currentIndex(), 1);

    Find<QRadioButton>(w, "RhoOnlyRdBtn")->click();
    EXPECT_FALSE(s.IsRhoIP());
    for (QWidget* c :
         {static_cast<QWidget*>(Find<QComboBox>(w, "IPModeCB")), static_cast<QWidget*>(Find<QLabel>(w, "IPModeLbl")),
          static_cast<QWidget*>(Find<QToolButton>(w, "IPModeProgBtn"))})
        EXPECT_TRUE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_EQ(Find<QComboBox>(w, "TimeCB")->currentIndex(), 1);
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, VoltageButtonsAndListsKeepVmnAndVabExclusive) {
    auto w = Show();
    TElectSequence& s = *w->Current();

    Find<QRadioButton>(w, "VabRdBtn")->click();
    EXPECT_EQ(s.Device.VmnChoice(), 0u);
    EXPECT_EQ(s.Device.VabChoice(), 1u);  // none chosen yet: "12 V"
    EXPECT_EQ(Find<QComboBox>(w, "VabCB")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(w, "VmnCB")->currentIndex(), -1);
    Choose(Find<QComboBox>(w, "VabCB"), 4);  // "200 V"
    EXPECT_EQ(s.Device.VabChoice(), 5u);
    Find<QRadioButton>(w, "VabRdBtn")->click();
    EXPECT_EQ(s.Device.VabChoice(), 5u);  // a choice made is kept

    Find<QRadioButton>(w, "VpRdBtn")->click();
    EXPECT_EQ(s.Device.VabChoice(), 0u);
    EXPECT_EQ(s.Device.VmnChoice(), 1u);  // "Save energy"
    EXPECT_EQ(Find<QComboBox>(w, "VmnCB")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(w, "VabCB")->currentIndex(), -1);
    for (QWidget* c :
         {static_cast<QWidget*>(Find<QComboBox>(w, "VmnCB")), static_cast<QWidget*>(Find<QLineEdit>(w, "VabMaxEdt")),
          static_cast<QWidget*>(Find<QLabel>(w, "VabMaxLbl")),
          static_cast<QWidget*>(Find<TUpDown>(w, "VabMaxEdtUpDown"))})
        EXPECT_FALSE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_TRUE(Find<QComboBox>(w, "VabCB")->isHidden());
    EXPECT_EQ(Find<QLineEdit>(w, "VabMaxEdt")->text(), QString::number(s.GetVabMax()));
    Choose(Find<QComboBox>(w, "VmnCB"), 3);  // "800 mV"
    EXPECT_EQ(s.Device.VmnChoice(), 4u);
    EXPECT_EQ(s.Device.VabChoice(), 0u);
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, TimeAndIPModeListsLoadTheTimingRow) {
    auto w = Show();
    TElectSequence& s = *w->Current();
    Choose(Find<QComboBox>(w, "TimeCB"), 3);
    EXPECT_EQ(s.Device.TimeIndex(), 3u);
    EXPECT_TRUE(RowIs(s.Device.IPTiming, 3, int(s.Device.IPMode())));
    Choose(Find<QComboBox>(w, "IPModeCB"), 2);
    EXPECT_EQ(s.Device.IPMode(), 2u);
    EXPECT_TRUE(RowIs(s.Device.IPTiming, 3, 2));
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, NameAndCommentAreStoredWhenLeft) {
    auto w = Show();
    TElectSequence& s = *w->Current();
    Find<QLineEdit>(w, "PlanoraNameTxt")->setText("North 12");
    Leave(Find<QLineEdit>(w, "PlanoraNameTxt"));
    EXPECT_EQ(s.GetSeqName(), "North 12");
    // Ten characters may need more than the ten bytes of the field: whole characters only.
    Find<QLineEdit>(w, "PlanoraNameTxt")->setText(QString::fromUtf8("Zoné-ééééé"));
    Leave(Find<QLineEdit>(w, "PlanoraNameTxt"));
    EXPECT_EQ(s.GetSeqName(), "Zon\xC3\xA9-\xC3\xA9\xC3\xA9");

    Find<QTextEdit>(w, "CommentEdt")->setPlainText("line 1\nline 2");
    Leave(Find<QTextEdit>(w, "CommentEdt"));
    EXPECT_EQ(s.GetComment(), "line 1\nline 2");
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, TheCommentRefusesTypingBeyondAThousandCharacters) {
    auto w = Show();
    QTextEdit* edit = Find<QTextEdit>(w, "CommentEdt");
    edit->setPlainText(QString(995, 'a') + "END");
    QTextCursor c = edit->textCursor();
    c.setPosition(10);
    edit->setTextCursor(c);
    edit->insertPlainText("0123456789");
    const QString text = edit->toPlainText();
    EXPECT_EQ(text.size(), 1000);
    EXPECT_TRUE(text.endsWith("END"));  // the tail is kept, the surplus typed is dropped
    EXPECT_EQ(text.mid(10, 2), "01");
}

TEST_F(ParamsTest, MultiChannelBoxesStoreTheirStateAndFlagTheComputation) {
    auto w = Show();
    TElectSequence& s = *w->Current();

    Find<QCheckBox>(w, "AllowDummyQuadripolesCb")->click();
    EXPECT_EQ(s.ChannelOptions.AllowDummyQuadripoles, 0);
    EXPECT_EQ(s.NeedsRecompute, 1);

    Find<QCheckBox>(w, "DelPolarEffectCb")->setChecked(false);
    s.NeedsRecompute = 0;
    Find<QCheckBox>(w, "DelPolarEffectCb")->click();
    EXPECT_EQ(s.ChannelOptions.DelPolarEffect, 1);
    EXPECT_FALSE(Find<QLabel>(w, "OptimizationDecreasedLbl")->isHidden());
    EXPECT_EQ(s.NeedsRecompute, 1);
    Find<QCheckBox>(w, "DelPolarEffectCb")->click();
    EXPECT_EQ(s.ChannelOptions.DelPolarEffect, 0);
    EXPECT_TRUE(Find<QLabel>(w, "OptimizationDecreasedLbl")->isHidden());

    s.NeedsRecompute = 0;
    Find<QCheckBox>(w, "MultiChannelOptimizationCb")->setChecked(true);
    Find<QCheckBox>(w, "MultiChannelOptimizationCb")->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 0);
    EXPECT_FALSE(Find<QCheckBox>(w, "AllowDummyQuadripolesCb")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(w, "DelPolarEffectCb")->isEnabled());
    EXPECT_EQ(s.NeedsRecompute, 0);
    // The swap box re-applies the optimisation box as it stands.
    s.ChannelOptions.MultiChannelOptimization = 1;
    Find<QCheckBox>(w, "SwapABMNCb")->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 0);
    Find<QCheckBox>(w, "MultiChannelOptimizationCb")->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 1);
    EXPECT_TRUE(Find<QCheckBox>(w, "AllowDummyQuadripolesCb")->isEnabled());
}

TEST_F(ParamsTest, ShowingASequenceLeavesItUnflaggedThoughTheBoxesFollowIt) {
    auto s = MakeSequence(20);
    s->ChannelOptions.AllowDummyQuadripoles = 0;
    s->ChannelOptions.DelPolarEffect = 0;
    auto w = Show(std::move(s));
    EXPECT_EQ(w->Current()->NeedsRecompute, 0);
    EXPECT_EQ(w->Current()->ChannelOptions.AllowDummyQuadripoles, 0);
    EXPECT_FALSE(Find<QCheckBox>(w, "DelPolarEffectCb")->isChecked());
    EXPECT_TRUE(Find<QLabel>(w, "OptimizationDecreasedLbl")->isHidden());
}

TEST_F(ParamsTest, ChoosingABoreholeArrayClearsTheComputation) {
    auto seq = MakeSequence(30);
    seq->Grid.GridType = gtBorehole;
    seq->SetArrayType(1);
    seq->Device.Channels = 8;
    seq->ChannelOptions.OptimizationChannel = 3;
    auto w = Show(std::move(seq));
    TElectSequence& s = *w->Current();
    Find<QPushButton>(w, "AutomaticCreationBtn")->setVisible(true);

    Choose(Find<QComboBox>(w, "BoreholeArrayTypeList"), 2);
    EXPECT_EQ(s.Grid.ArrayType, 2);
    EXPECT_EQ(s.Device.DeviceArrayCode, 7);
    EXPECT_EQ(Find<TUpDown>(w, "StdChannelEdnUpDown")->maximum(), 20);
    EXPECT_EQ(Find<QLineEdit>(w, "StdChannelEdn")->text(), "8");
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 8);
    EXPECT_EQ(Find<QLineEdit>(w, "OptimizationChannelEdn")->text(), "8");
    EXPECT_EQ(s.Device.LastQuadripole, -1);
    EXPECT_TRUE(Find<QPushButton>(w, "AutomaticCreationBtn")->isHidden());
    EXPECT_FALSE(Find<QPushButton>(w, "MoveComputeBtn")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isEnabled());
    EXPECT_FALSE(Find<TStringGrid>(w, "SpacingLevelGd")->isHidden());
    EXPECT_EQ(s.NeedsRecompute, 1);

    Choose(Find<QComboBox>(w, "BoreholeArrayTypeList"), 0);
    EXPECT_TRUE(Find<TStringGrid>(w, "SpacingLevelGd")->isHidden());
}
