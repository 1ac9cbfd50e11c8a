// Editing the acquisition parameters: numeric edits committed when left, array types,
// Rho / IP presets, voltages, remote electrodes, name, comment and multi-channel options.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <utility>

#include "engine/ArrayTypes.h"
#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui/UpDown.h"
#include "ui_Main.h"

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
        QLineEdit* Ui::TMainFrm::*Edit;
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
        {&Ui::TMainFrm::StackMinEdn, "abc", "1", true, stackMin, 1},
        {&Ui::TMainFrm::StackMinEdn, "7", "7", false, stackMin, 7},
        {&Ui::TMainFrm::StackMaxEdn, "0", "1", true, stackMax, 1},
        {&Ui::TMainFrm::StackMaxEdn, "999", "999", false, stackMax, 999},
        {&Ui::TMainFrm::VabMaxEdt, "5", "10", true, vabMax, 10},
        {&Ui::TMainFrm::VabMaxEdt, "805", "800", true, vabMax, 800},
        {&Ui::TMainFrm::VabMaxEdt, "250", "250", false, vabMax, 250},
        {&Ui::TMainFrm::QMaxEdn, "ab", "0", true, qMax, 0},
        {&Ui::TMainFrm::QMaxEdn, "-3", "0", true, qMax, 0},
        {&Ui::TMainFrm::QMaxEdn, "5", "5", false, qMax, 5},
        {&Ui::TMainFrm::OptimizationChannelEdn, "0", "1", true, optimization, 1},
    };
    auto w = Show();
    for (const Case& c : cases) {
        QLineEdit* edit = (*w->ui).*c.Edit;
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.Text.toStdString() + "\"");
        Seam.Beeps = 0;
        edit->setText(c.Text);
        Leave(edit);
        EXPECT_EQ(edit->text(), c.Shown);
        EXPECT_EQ(Seam.Beeps, c.Beep ? 1 : 0);
        EXPECT_DOUBLE_EQ(c.Stored(*w->CurrentSequence), c.Expected);
    }
    // Parameters of the meter alone leave the computed quadripoles valid.
    EXPECT_EQ(w->CurrentSequence->NeedsRecompute, 0);
    EXPECT_EQ(w->CurrentSequence->Device.LastQuadripole, 59);
}

// A value the window writes into an edit is shown whole, so that entering and leaving the
// edit stores what it shows: the value itself, or its clamp with a beep.
TEST_F(ParamsTest, EditsShowWhatTheWindowWritesWhole) {
    using U = Ui::TMainFrm;
    struct Case {
        QLineEdit* U::*Edit;
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
        {&U::QMaxEdn, "0.5", "0.5", false, [](const TElectSequence& q) { return double(q.Device.QMax); }, 0.5},
        {&U::StackMinEdn, "1000", "999", true, [](const TElectSequence& q) { return double(q.Device.StackMin); }, 999},
        {&U::StackMaxEdn, "1000", "999", true, [](const TElectSequence& q) { return double(q.Device.StackMax); }, 999},
        {&U::VabMaxEdt, "2550", "800", true, [](const TElectSequence& q) { return double(q.GetVabMax()); }, 800},
    };
    auto w = Show(std::move(s));
    Ui::TMainFrm& ui = *w->ui;
    for (const Case& c : cases) {
        QLineEdit* edit = ui.*c.Edit;
        SCOPED_TRACE(edit->objectName().toStdString());
        EXPECT_EQ(edit->text(), c.Shown);
        Seam.Beeps = 0;
        Leave(edit);
        EXPECT_EQ(edit->text(), c.Committed);
        EXPECT_EQ(Seam.Beeps, c.Beep ? 1 : 0);
        EXPECT_EQ(c.Stored(*w->CurrentSequence), c.Expected);
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
    Ui::TMainFrm& ui = *w->ui;
    w->SetActivePage(ui.PageControl1->indexOf(ui.ConfigurationTbs));
    QApplication::processEvents();
    EXPECT_EQ(ui.XCaPmTxt->text(), "-99999.99");
    EXPECT_EQ(ui.XCbPnTxt->text(), "99999.99");
    for (QLineEdit* e : {ui.XCaPmTxt, ui.YCaPmTxt, ui.XCbPnTxt, ui.YCbPnTxt}) {
        const QMargins m = e->textMargins();
        EXPECT_GE(e->contentsRect().width() - m.left() - m.right() - 4, e->fontMetrics().horizontalAdvance("-99999.99"))
            << e->objectName().toStdString();
    }
    // The general form written back after a text that is no number shows from its start.
    ui.XCbPnTxt->setText("x");
    Leave(ui.XCbPnTxt);
    EXPECT_EQ(ui.XCbPnTxt->text(), "99999.9921875");
    EXPECT_EQ(ui.XCbPnTxt->cursorPosition(), 0);
}

TEST_F(ParamsTest, LeavingTheWindowOrOpeningAMenuCommitsNothing) {
    auto w = Show();
    w->ui->StackMinEdn->setText("abc");
    Leave(w->ui->StackMinEdn, Qt::ActiveWindowFocusReason);
    Leave(w->ui->StackMinEdn, Qt::PopupFocusReason);
    EXPECT_EQ(w->ui->StackMinEdn->text(), "abc");
    EXPECT_EQ(w->CurrentSequence->Device.StackMin, 3);
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(ParamsTest, TooManyChannelsAreClampedToTheArrayLimit) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    ASSERT_EQ(ui.StdChannelEdnUpDown->maximum(), 20);
    ui.StdChannelEdn->setText("25");
    Leave(ui.StdChannelEdn);
    const TElectSequence& s = *w->CurrentSequence;
    EXPECT_EQ(Seam.Beeps, 1);
    EXPECT_EQ(ui.StdChannelEdn->text(), "20");
    EXPECT_EQ(s.Device.Channels, 20);
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 20);
    EXPECT_EQ(ui.OptimizationChannelEdn->text(), "20");
    EXPECT_EQ(ui.OptimizationChannelUpDown->maximum(), 20);

    Seam.Beeps = 0;
    ui.StdChannelEdn->setText("4");
    Leave(ui.StdChannelEdn);
    EXPECT_EQ(Seam.Beeps, 0);
    EXPECT_EQ(s.Device.Channels, 4);
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 4);
    EXPECT_EQ(ui.OptimizationChannelUpDown->maximum(), 4);
}

TEST_F(ParamsTest, TheArrowsStepTheirEditWithinItsRangeAndLeadToIt) {
    using U = Ui::TMainFrm;
    struct Case {
        TUpDown* U::*UpDown;
        QLineEdit* U::*Edit;
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
        {&U::StdChannelEdnUpDown, &U::StdChannelEdn, "10", true, "11", channels},
        {&U::StdChannelEdnUpDown, &U::StdChannelEdn, "20", true, "20", channels},  // the array's limit
        {&U::StdChannelEdnUpDown, &U::StdChannelEdn, "1", false, "1", channels},
        {&U::QMaxEdnUpDown, &U::QMaxEdn, "0.5", true, "1.5", qMax},
        {&U::QMaxEdnUpDown, &U::QMaxEdn, "0.5", false, "0", qMax},
        {&U::QMaxEdnUpDown, &U::QMaxEdn, "98.5", true, "99", qMax},
        {&U::VabMaxEdtUpDown, &U::VabMaxEdt, "250", true, "260", vabMax},
        {&U::VabMaxEdtUpDown, &U::VabMaxEdt, "800", true, "800", vabMax},
        {&U::VabMaxEdtUpDown, &U::VabMaxEdt, "10", false, "10", vabMax},
        {&U::StackMinEdnUpDown, &U::StackMinEdn, "2", true, "3", stackMin},
        {&U::StackMaxEdnUpDown, &U::StackMaxEdn, "6", true, "7", stackMax},
    };
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    w->SetActivePage(ui.PageControl1->indexOf(ui.ConfigurationTbs));
    QApplication::processEvents();
    const TElectSequence& s = *w->CurrentSequence;
    for (const Case& c : cases) {
        QLineEdit* edit = ui.*c.Edit;
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.From.toStdString() + (c.Up ? "\" up" : "\" down"));
        edit->setText(c.From);
        const double stored = c.Stored(s);
        ClickArrow(ui.*c.UpDown, c.Up);
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
    Ui::TMainFrm& ui = *w->ui;
    w->SetActivePage(ui.PageControl1->indexOf(ui.ConfigurationTbs));
    QApplication::processEvents();
    TElectSequence& s = *w->CurrentSequence;
    s.Device.StackMin = 2;
    s.Device.StackMax = 6;

    ui.StackMinEdn->setText("5");
    ClickArrow(ui.StackMinEdnUpDown, true);
    ClickArrow(ui.StackMinEdnUpDown, true);
    EXPECT_EQ(ui.StackMinEdn->text(), "6");
    EXPECT_EQ(ui.StackMinEdnUpDown->maximum(), 6);
    EXPECT_EQ(w->focusWidget(), ui.StackMinEdn);
    Leave(ui.StackMinEdn);
    EXPECT_EQ(s.Device.StackMin, 6);
    // A typed value beyond stack max is clamped when the edit is left.
    ui.StackMinEdn->setText("9");
    Leave(ui.StackMinEdn);
    EXPECT_EQ(s.Device.StackMin, 6);
    EXPECT_EQ(ui.StackMinEdn->text(), "6");
    EXPECT_EQ(Seam.Beeps, 1);

    ui.StackMaxEdn->setText("7");
    ClickArrow(ui.StackMaxEdnUpDown, false);
    ClickArrow(ui.StackMaxEdnUpDown, false);
    EXPECT_EQ(ui.StackMaxEdn->text(), "6");
    EXPECT_EQ(ui.StackMaxEdnUpDown->minimum(), 6);
    EXPECT_EQ(w->focusWidget(), ui.StackMaxEdn);
    ui.StackMaxEdn->setText("3");
    Leave(ui.StackMaxEdn);
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
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    s.RemoteElectrodes[0] = TElectrodeXYZ{-40.0f, 2.0f, 0.0f};
    ui.XCaPmTxt->setText("-40");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Index);
        s.NeedsRecompute = 0;
        Choose(ui.ArrayTypeList, c.Index);
        EXPECT_EQ(s.Grid.ArrayType, c.Index);
        EXPECT_EQ(ui.StdChannelEdnUpDown->maximum(), c.MaxChannel);
        EXPECT_EQ(ui.StdChannelEdn->text(), c.Shown);
        EXPECT_EQ(s.Device.Channels, c.Shown.toInt());
        EXPECT_EQ(s.ChannelOptions.OptimizationChannel, c.Shown.toInt());
        EXPECT_EQ(s.Device.LastQuadripole, -1);
        EXPECT_EQ(ui.QuadripolesTxt->text(), "0");
        EXPECT_EQ(s.RemoteElectrodes[0].X, kNoElectrode);
        // The edits show the positions just reset, not those of the array left.
        EXPECT_EQ(ui.XCaPmTxt->text(), "99999.99");
        EXPECT_EQ(!ui.SpacingLevelGd->isHidden(), c.GridShown);
        EXPECT_EQ(ui.MoveComputeBtn->isEnabled(), c.Index != 0 && ui.ComputeBtn->isEnabled());
        EXPECT_EQ(ui.CreateNewSeqBtn->isEnabled(), ui.MoveComputeBtn->isEnabled());
        EXPECT_EQ(s.NeedsRecompute, 1);
    }
    EXPECT_EQ(Seam.Beeps, 0);
}

TEST_F(ParamsTest, TheArrayListsShowTheTableInTheOrderOfTheArrayTypes) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    const std::pair<QComboBox*, std::span<const TArrayTypeInfo>> lists[] = {
        {ui.ArrayTypeList, SurfaceArrayTypes()}, {ui.BoreholeArrayTypeList, BoreholeArrayTypes()}};
    for (const auto& [list, types] : lists) {
        SCOPED_TRACE(list->objectName().toStdString());
        ASSERT_EQ(list->count(), static_cast<int>(types.size()));
        for (const TArrayTypeInfo& t : types) EXPECT_EQ(list->itemText(t.Type), t.Label);
    }
    EXPECT_EQ(ui.ArrayTypeList->itemText(atGradient), "gradient");
    EXPECT_EQ(ui.BoreholeArrayTypeList->itemText(batDipoleDipoleDiagonal), "dipole-dipole diagonal");
}

TEST_F(ParamsTest, PolePoleArraysSwitchToAFixedVabAndShowTheStrapping) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    ASSERT_TRUE(ui.VpRdBtn->isChecked());
    Choose(ui.ArrayTypeList, 9);
    EXPECT_TRUE(ui.VabRdBtn->isChecked());
    EXPECT_EQ(s.Device.VmnChoice(), 0u);
    EXPECT_EQ(s.Device.VabChoice(), 1u);  // "12 V"
    EXPECT_FALSE(ui.VabCB->isHidden());
    EXPECT_TRUE(ui.VmnCB->isHidden());
    EXPECT_TRUE(ui.VabMaxEdt->isHidden());
    EXPECT_EQ(ui.XCbPnLbl->text(), "X Pn (m):");
    EXPECT_EQ(ui.YCbPnLbl->text(), "Y Pn (m):");
    EXPECT_FALSE(ui.StrapForPopolBtn->isHidden());
    EXPECT_FALSE(ui.StrapPanel->isHidden());
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
    Ui::TMainFrm& ui = *w->ui;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type);
        Choose(ui.ArrayTypeList, c.Type);
        EXPECT_EQ(!ui.CaPmCbPnPanel->isHidden(), c.Panel);
        for (QWidget* second : {static_cast<QWidget*>(ui.XCbPnLbl), static_cast<QWidget*>(ui.XCbPnTxt),
                                static_cast<QWidget*>(ui.YCbPnLbl), static_cast<QWidget*>(ui.YCbPnTxt)})
            EXPECT_EQ(!second->isHidden(), c.SecondRow) << second->objectName().toStdString();
        if (c.X) {
            EXPECT_EQ(ui.XCbPnLbl->text(), c.X);
        }
        if (c.Y) {
            EXPECT_EQ(ui.YCbPnLbl->text(), c.Y);
        }
        EXPECT_EQ(!ui.StrapForPopolBtn->isHidden(), c.Strap);
        EXPECT_EQ(!ui.StrapPanel->isHidden(), c.Strap);
    }
}

TEST_F(ParamsTest, RemoteElectrodeEditsStoreTheirPositionOrAPlaceholder) {
    struct Case {
        int Type;
        QLineEdit* Ui::TMainFrm::*Edit;
        QString Text, Shown;
        // Fields expected afterwards: index into RemoteElectrodes, X (true) or Y.
        std::vector<std::pair<int, bool>> Fields;
        float Expected;
    };
    const Case cases[] = {
        {3, &Ui::TMainFrm::XCaPmTxt, "-12.5", "-12.5", {{0, true}}, -12.5f},
        {3, &Ui::TMainFrm::XCaPmTxt, "abc", "99999.9921875", {{0, true}}, kNoElectrode},
        {3, &Ui::TMainFrm::YCaPmTxt, "4", "4", {{0, false}}, 4.0f},
        {3, &Ui::TMainFrm::YCaPmTxt, "?", "0", {{0, false}}, 0.0f},
        {8, &Ui::TMainFrm::XCbPnTxt, "150", "150", {{1, true}}, 150.0f},
        {8, &Ui::TMainFrm::YCbPnTxt, "", "99999.9921875", {{1, false}}, kNoElectrode},
        {9, &Ui::TMainFrm::XCbPnTxt, "-75", "-75", {{3, true}, {2, true}}, -75.0f},
        {9, &Ui::TMainFrm::YCbPnTxt, "x1", "99999.9921875", {{3, false}, {2, false}}, kNoElectrode},
        // An infinity would poison every distance: it counts as no number.
        {9, &Ui::TMainFrm::XCbPnTxt, "inf", "99999.9921875", {{3, true}, {2, true}}, kNoElectrode},
        {3, &Ui::TMainFrm::XCaPmTxt, "1e39", "99999.9921875", {{0, true}}, kNoElectrode},
    };
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    const TElectSequence& s = *w->CurrentSequence;
    for (const Case& c : cases) {
        QLineEdit* edit = ui.*c.Edit;
        SCOPED_TRACE(edit->objectName().toStdString() + " \"" + c.Text.toStdString() + "\" type " +
                     std::to_string(c.Type));
        Choose(ui.ArrayTypeList, c.Type);
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
        QRadioButton* Ui::TMainFrm::*Button;
        int StackMin, StackMax;
        unsigned Vmn, Time, RhoMode;
    };
    const Case cases[] = {
        {&Ui::TMainFrm::RhoOnlyRdBtn, 3, 6, 2, 4, 1},
        {&Ui::TMainFrm::RhoIPRdBtn, 4, 8, 5, 2, 0},
    };
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    ASSERT_TRUE(ui.RhoOnlyRdBtn->isChecked());
    for (const Case& c : cases) {
        QRadioButton* button = ui.*c.Button;
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
        ui.VabRdBtn->setChecked(true);

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
        EXPECT_EQ(ui.StackMinEdn->text(), QString::number(c.StackMin));
        EXPECT_EQ(ui.StackMaxEdn->text(), QString::number(c.StackMax));
        EXPECT_EQ(ui.QMaxEdn->text(), "1");
        EXPECT_TRUE(ui.VpRdBtn->isChecked());
        EXPECT_EQ(ui.VmnCB->currentIndex(), int(c.Vmn) - 1);
        EXPECT_FALSE(ui.VmnCB->isHidden());
        EXPECT_TRUE(ui.VabCB->isHidden());
        EXPECT_EQ(ui.VabMaxEdt->text(), "800");
    }
}

TEST_F(ParamsTest, ThePresetKeepsTheChannelCountWithinASingleChannelArray) {
    auto w = Show();
    Choose(w->ui->ArrayTypeList, 5);  // Wenner
    Enter(w->ui->RhoIPRdBtn);
    EXPECT_EQ(w->CurrentSequence->Device.Channels, 1);
    EXPECT_EQ(w->CurrentSequence->ChannelOptions.OptimizationChannel, 1);
}

TEST_F(ParamsTest, RhoButtonsShowTheIPModeOnlyForRhoAndIP) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    s.SetTime(1);
    s.SetIPMode(3);

    ui.RhoIPRdBtn->click();
    EXPECT_TRUE(s.IsRhoIP());
    for (QWidget* c : {static_cast<QWidget*>(ui.IPModeCB), static_cast<QWidget*>(ui.IPModeLbl),
                       static_cast<QWidget*>(ui.IPModeProgBtn)})
        EXPECT_FALSE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_EQ(ui.IPModeCB->currentIndex(), 3);
    EXPECT_EQ(ui.TimeCB->currentIndex(), 1);

    ui.RhoOnlyRdBtn->click();
    EXPECT_FALSE(s.IsRhoIP());
    for (QWidget* c : {static_cast<QWidget*>(ui.IPModeCB), static_cast<QWidget*>(ui.IPModeLbl),
                       static_cast<QWidget*>(ui.IPModeProgBtn)})
        EXPECT_TRUE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_EQ(ui.TimeCB->currentIndex(), 1);
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, VoltageButtonsAndListsKeepVmnAndVabExclusive) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;

    ui.VabRdBtn->click();
    EXPECT_EQ(s.Device.VmnChoice(), 0u);
    EXPECT_EQ(s.Device.VabChoice(), 1u);  // none chosen yet: "12 V"
    EXPECT_EQ(ui.VabCB->currentIndex(), 0);
    EXPECT_EQ(ui.VmnCB->currentIndex(), -1);
    Choose(ui.VabCB, 4);  // "200 V"
    EXPECT_EQ(s.Device.VabChoice(), 5u);
    ui.VabRdBtn->click();
    EXPECT_EQ(s.Device.VabChoice(), 5u);  // a choice made is kept

    ui.VpRdBtn->click();
    EXPECT_EQ(s.Device.VabChoice(), 0u);
    EXPECT_EQ(s.Device.VmnChoice(), 1u);  // "Save energy"
    EXPECT_EQ(ui.VmnCB->currentIndex(), 0);
    EXPECT_EQ(ui.VabCB->currentIndex(), -1);
    for (QWidget* c : {static_cast<QWidget*>(ui.VmnCB), static_cast<QWidget*>(ui.VabMaxEdt),
                       static_cast<QWidget*>(ui.VabMaxLbl), static_cast<QWidget*>(ui.VabMaxEdtUpDown)})
        EXPECT_FALSE(c->isHidden()) << c->objectName().toStdString();
    EXPECT_TRUE(ui.VabCB->isHidden());
    EXPECT_EQ(ui.VabMaxEdt->text(), QString::number(s.GetVabMax()));
    Choose(ui.VmnCB, 3);  // "800 mV"
    EXPECT_EQ(s.Device.VmnChoice(), 4u);
    EXPECT_EQ(s.Device.VabChoice(), 0u);
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, TimeAndIPModeListsLoadTheTimingRow) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    Choose(ui.TimeCB, 3);
    EXPECT_EQ(s.Device.TimeIndex(), 3u);
    EXPECT_TRUE(RowIs(s.Device.IPTiming, 3, int(s.Device.IPMode())));
    Choose(ui.IPModeCB, 2);
    EXPECT_EQ(s.Device.IPMode(), 2u);
    EXPECT_TRUE(RowIs(s.Device.IPTiming, 3, 2));
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, NameAndCommentAreStoredWhenLeft) {
    auto w = Show();
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    ui.PlanoraNameTxt->setText("North 12");
    Leave(ui.PlanoraNameTxt);
    EXPECT_EQ(s.GetSeqName(), "North 12");
    // Ten characters may need more than the ten bytes of the field: whole characters only.
    ui.PlanoraNameTxt->setText(QString::fromUtf8("Zoné-ééééé"));
    Leave(ui.PlanoraNameTxt);
    EXPECT_EQ(s.GetSeqName(), "Zon\xC3\xA9-\xC3\xA9\xC3\xA9");

    ui.CommentEdt->setPlainText("line 1\nline 2");
    Leave(ui.CommentEdt);
    EXPECT_EQ(s.GetComment(), "line 1\nline 2");
    EXPECT_EQ(s.NeedsRecompute, 0);
}

TEST_F(ParamsTest, TheCommentRefusesTypingBeyondAThousandCharacters) {
    auto w = Show();
    QTextEdit* edit = w->ui->CommentEdt;
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
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;

    ui.AllowDummyQuadripolesCb->click();
    EXPECT_EQ(s.ChannelOptions.AllowDummyQuadripoles, 0);
    EXPECT_EQ(s.NeedsRecompute, 1);

    ui.DelPolarEffectCb->setChecked(false);
    s.NeedsRecompute = 0;
    ui.DelPolarEffectCb->click();
    EXPECT_EQ(s.ChannelOptions.DelPolarEffect, 1);
    EXPECT_FALSE(ui.OptimizationDecreasedLbl->isHidden());
    EXPECT_EQ(s.NeedsRecompute, 1);
    ui.DelPolarEffectCb->click();
    EXPECT_EQ(s.ChannelOptions.DelPolarEffect, 0);
    EXPECT_TRUE(ui.OptimizationDecreasedLbl->isHidden());

    s.NeedsRecompute = 0;
    ui.MultiChannelOptimizationCb->setChecked(true);
    ui.MultiChannelOptimizationCb->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 0);
    EXPECT_FALSE(ui.AllowDummyQuadripolesCb->isEnabled());
    EXPECT_FALSE(ui.DelPolarEffectCb->isEnabled());
    EXPECT_EQ(s.NeedsRecompute, 0);
    // The swap box re-applies the optimisation box as it stands.
    s.ChannelOptions.MultiChannelOptimization = 1;
    ui.SwapABMNCb->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 0);
    ui.MultiChannelOptimizationCb->click();
    EXPECT_EQ(s.ChannelOptions.MultiChannelOptimization, 1);
    EXPECT_TRUE(ui.AllowDummyQuadripolesCb->isEnabled());
}

TEST_F(ParamsTest, ShowingASequenceLeavesItUnflaggedThoughTheBoxesFollowIt) {
    auto s = MakeSequence(20);
    s->ChannelOptions.AllowDummyQuadripoles = 0;
    s->ChannelOptions.DelPolarEffect = 0;
    auto w = Show(std::move(s));
    EXPECT_EQ(w->CurrentSequence->NeedsRecompute, 0);
    EXPECT_EQ(w->CurrentSequence->ChannelOptions.AllowDummyQuadripoles, 0);
    EXPECT_FALSE(w->ui->DelPolarEffectCb->isChecked());
    EXPECT_TRUE(w->ui->OptimizationDecreasedLbl->isHidden());
}

TEST_F(ParamsTest, ChoosingABoreholeArrayClearsTheComputation) {
    auto seq = MakeSequence(30);
    seq->Grid.GridType = gtBorehole;
    seq->SetArrayType(1);
    seq->Device.Channels = 8;
    seq->ChannelOptions.OptimizationChannel = 3;
    auto w = Show(std::move(seq));
    Ui::TMainFrm& ui = *w->ui;
    TElectSequence& s = *w->CurrentSequence;
    ui.AutomaticCreationBtn->setVisible(true);

    Choose(ui.BoreholeArrayTypeList, 2);
    EXPECT_EQ(s.Grid.ArrayType, 2);
    EXPECT_EQ(s.Device.DeviceArrayCode, 7);
    EXPECT_EQ(ui.StdChannelEdnUpDown->maximum(), 20);
    EXPECT_EQ(ui.StdChannelEdn->text(), "8");
    EXPECT_EQ(s.ChannelOptions.OptimizationChannel, 8);
    EXPECT_EQ(ui.OptimizationChannelEdn->text(), "8");
    EXPECT_EQ(s.Device.LastQuadripole, -1);
    EXPECT_TRUE(ui.AutomaticCreationBtn->isHidden());
    EXPECT_FALSE(ui.MoveComputeBtn->isEnabled());
    EXPECT_FALSE(ui.CreateNewSeqBtn->isEnabled());
    EXPECT_FALSE(ui.SpacingLevelGd->isHidden());
    EXPECT_EQ(s.NeedsRecompute, 1);

    Choose(ui.BoreholeArrayTypeList, 0);
    EXPECT_TRUE(ui.SpacingLevelGd->isHidden());
}
