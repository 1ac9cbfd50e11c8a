// The IP timing dialog: shown from the configuration tab, editable in the programmable IP
// mode only, its timing checked against the injection time before it is stored.
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <map>

#include "ui/Iptime.h"
#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"
#include "ui_Iptime.h"

namespace {
constexpr int kProgrammable = 4, kArithmetic = 0, kColeCole = 3;

// The 20 window texts: fill everywhere but where given.
QStringList Windows(const QString& fill, const std::map<int, QString>& given = {}) {
    QStringList w;
    for (int i = 0; i < TIPTimeFrm::kWindows; ++i) w << (given.count(i) ? given.at(i) : fill);
    return w;
}

std::vector<std::uint16_t> Words(const TElectSequence& s) {
    return std::vector<std::uint16_t>(s.Device.IPTiming, s.Device.IPTiming + 23);
}

std::vector<std::uint16_t> Row(int timeIndex, int ipMode) {
    const std::uint16_t* row = IPTimingTableRow(timeIndex, ipMode);
    return std::vector<std::uint16_t>(row, row + 23);
}
}  // namespace

class IPTimeTest : public UiTest {
protected:
    // A window showing a Rho-and-IP sequence with the given injection time and IP mode.
    std::unique_ptr<TMainFrm> Show(int timeIndex, int ipMode) {
        auto s = MakeSequence(10);
        s->SetRhoIP(true);
        s->SetTime(timeIndex);
        s->SetIPMode(ipMode);
        WriteSequence(*s, Path("ip.sqz"));
        WriteList({Path("ip.sqz")});
        auto w = Start();
        Seam.Beeps = 0;
        return w;
    }

    struct TShown {
        QString MDelay;
        QStringList Windows, Titles;
        bool TitlesWhole;  // every title fits its column and every column the grid
        bool Editable, Row1Hidden;
        QColor Text;
    };

    // Presses the button; each time the dialog shows, records it, lets edit k act on it and
    // clicks OK (stored values alone once the edits are used up).
    std::vector<TShown> Run(TMainFrm& w, const std::vector<std::function<void(TIPTimeFrm&)>>& edits) {
        std::vector<TShown> shown;
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* d = w.findChild<TIPTimeFrm*>();
            if (!d || !d->isVisible()) return;
            TShown s;
            s.MDelay = d->ui->MdlyEdt->text();
            for (int i = 0; i < TIPTimeFrm::kWindows; ++i) s.Windows << d->WindowText(i);
            for (int c = 0; c < d->ui->TmStg->ColCount(); ++c) s.Titles << d->ui->TmStg->Cells(c, 0);
            TStringGrid* g = d->ui->TmStg;
            int columns = 0;
            s.TitlesWhole = true;
            for (int c = 0; c < g->ColCount(); ++c) {
                s.TitlesWhole = s.TitlesWhole && g->horizontalHeader()->sectionSizeHint(c) <= g->columnWidth(c);
                columns += g->columnWidth(c);
            }
            s.TitlesWhole = s.TitlesWhole && columns <= g->viewport()->width();
            s.Editable = d->ui->MdlyEdt->isEnabled() && d->ui->TmStg->isEnabled();
            s.Row1Hidden = d->ui->TmStg->isRowHidden(0);
            s.Text = d->ui->TmStg->palette().color(QPalette::Text);
            shown.push_back(s);
            if (shown.size() <= edits.size()) edits[shown.size() - 1](*d);
            if (shown.size() > 8) {  // a timing that never passes: end with an empty one
                ADD_FAILURE() << "the dialog keeps coming back";
                d->ui->MdlyEdt->setText("0");
                for (int i = 0; i < TIPTimeFrm::kWindows; ++i) d->SetWindowText(i, "0");
            }
            d->ui->BitBtn1->click();
        });
        timer.start();
        Find<QToolButton>(w, "IPModeProgBtn")->click();
        timer.stop();
        EXPECT_EQ(w.findChild<TIPTimeFrm*>(), nullptr) << "the dialog is freed";
        return shown;
    }

    static std::function<void(TIPTimeFrm&)> Enter(const QString& mdelay, const QStringList& windows) {
        return [mdelay, windows](TIPTimeFrm& d) {
            d.ui->MdlyEdt->setText(mdelay);
            for (int i = 0; i < TIPTimeFrm::kWindows; ++i) d.SetWindowText(i, windows[i]);
        };
    }
};

TEST_F(IPTimeTest, AProgrammableTimingIsStoredOnlyWhenItFitsTheInjectionTime) {
    struct Case {
        const char* Name;
        QString MDelay;
        QStringList Windows;
        int Beeps;
        // Words 2..22 stored; empty: refused, the table row is kept.
        std::vector<std::uint16_t> Stored;
    };
    auto words = [](std::uint16_t mdelay, std::uint16_t fill, std::map<int, std::uint16_t> given = {}) {
        std::vector<std::uint16_t> v{mdelay};
        for (int i = 0; i < TIPTimeFrm::kWindows; ++i) v.push_back(given.count(i) ? given[i] : fill);
        return v;
    };
    const Case cases[] = {
        // 2000 ms injection: M delay 120 + 80 leaves 1800 ms for the windows.
        {"exactly fills", "120", Windows("90"), 0, words(12, 9)},
        {"10 ms too long", "120", Windows("90", {{19, "100"}}), 1, {}},
        // Every window from the first one past the limit beeps: the total is not reduced.
        {"too long from window 10", "120", Windows("90", {{0, "1000"}}), 11, {}},
        {"empty M delay counts 120", "", Windows("90"), 0, words(12, 9)},
        {"a window not a number is 0", "120", Windows("90", {{4, "abc"}}), 0, words(12, 9, {{4, 0}})},
        {"10-ms units", "125", Windows("25"), 0, words(12, 2)},
        // A negative time would wrap round in the 16-bit words.
        {"negative window", "120", Windows("90", {{3, "-50"}}), 1, {}},
        {"negative M delay", "-500", Windows("0"), 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        auto w = Show(2, kProgrammable);
        const std::vector<std::uint16_t> before = Words(*w->Current());
        const std::vector<TShown> shown = Run(*w, {Enter(c.MDelay, c.Windows)});
        EXPECT_EQ(Seam.Beeps, c.Beeps);
        const std::vector<std::uint16_t> after = Words(*w->Current());
        EXPECT_EQ(after[0], 200);  // the injection time and the second leading time never change
        EXPECT_EQ(after[1], 126);
        if (c.Stored.empty()) {
            EXPECT_EQ(after, before);
            // Refused: the dialog came back with the stored timing, which passes as it is.
            ASSERT_EQ(shown.size(), 2u);
            EXPECT_EQ(shown[1].MDelay, "240");
            EXPECT_EQ(shown[1].Windows, Windows("80"));
        } else {
            EXPECT_EQ(std::vector<std::uint16_t>(after.begin() + 2, after.end()), c.Stored);
            EXPECT_EQ(shown.size(), 1u);
        }
        EXPECT_TRUE(Seam.Messages.isEmpty());
        Seam.Beeps = 0;
    }
}

TEST_F(IPTimeTest, TheStoredTimingIsShownAgainInWholeTensOfMilliseconds) {
    auto w = Show(1, kProgrammable);
    Run(*w, {Enter("125", Windows("25"))});
    const std::vector<TShown> shown = Run(*w, {});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].MDelay, "120");
    EXPECT_EQ(shown[0].Windows, Windows("20"));
    EXPECT_TRUE(shown[0].Editable);
}

TEST_F(IPTimeTest, OtherIPModesShowTheTimingGreyAndReadOnly) {
    for (int mode : {kArithmetic, kColeCole}) {
        SCOPED_TRACE(mode);
        auto w = Show(0, mode);
        ASSERT_EQ(Find<QComboBox>(w, "IPModeCB")->currentIndex(), mode);
        const std::vector<std::uint16_t> row = Row(0, mode);
        const std::vector<TShown> shown = Run(*w, {Enter("7", Windows("7"))});
        ASSERT_EQ(shown.size(), 1u);
        const TShown& s = shown[0];
        EXPECT_FALSE(s.Editable);
        EXPECT_EQ(s.Text, QColor(128, 128, 128));
        EXPECT_TRUE(s.Row1Hidden);
        EXPECT_EQ(s.Titles, QStringList({"TM 1 / 5", "TM 6 / 10", "TM 11 / 15", "TM 16 / 20"}));
        EXPECT_TRUE(s.TitlesWhole);
        EXPECT_EQ(s.MDelay, QString::number(row[2] * 10));
        for (int i = 0; i < TIPTimeFrm::kWindows; ++i) EXPECT_EQ(s.Windows[i], QString::number(row[3 + i] * 10)) << i;
        // OK stores the same timing again, whatever was typed.
        EXPECT_EQ(Words(*w->Current()), row);
        EXPECT_EQ(Seam.Beeps, 0);
    }
}

TEST_F(IPTimeTest, WindowsAreLaidOutFiveToAColumnBelowTheTitles) {
    auto w = Show(0, kColeCole);
    TIPTimeFrm d(w.get());
    for (int i = 0; i < TIPTimeFrm::kWindows; ++i) d.SetWindowText(i, QString::number(i));
    TStringGrid* g = d.ui->TmStg;
    ASSERT_EQ(g->ColCount(), 4);
    ASSERT_EQ(g->RowCount(), 7);
    EXPECT_EQ(g->Cells(0, 2), "0");
    EXPECT_EQ(g->Cells(0, 6), "4");
    EXPECT_EQ(g->Cells(1, 2), "5");
    EXPECT_EQ(g->Cells(3, 6), "19");
    EXPECT_EQ(g->Cells(0, 1), "");
}

TEST_F(IPTimeTest, OnlyOKClosesTheDialog) {
    auto w = Show(2, kProgrammable);
    bool stayed = false;
    const std::vector<TShown> shown = Run(*w, {[&stayed](TIPTimeFrm& d) {
                                              d.reject();
                                              d.close();
                                              stayed = d.isVisible();
                                          }});
    EXPECT_TRUE(stayed);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(Words(*w->Current()), Row(2, kProgrammable));
}
