// Showing a sequence: the controls, the info panel, the two sheets and the tab rules.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

#include <functional>
#include <vector>

#include "engine/Compute.h"
#include "tests/engine/SequenceBuilders.h"
#include "ui/Format.h"
#include "ui/StringGrid.h"
#include "tests/ui/UiTest.h"

class DisplayTest : public UiTest {
protected:
    // Shows s as the current sequence of a fresh window.
    std::unique_ptr<TMainFrm> Show(std::unique_ptr<TElectSequence> s) {
        WriteSequence(*s, Path("shown.sqz"));
        WriteList({Path("shown.sqz")});
        return Start();
    }
};

TEST_F(DisplayTest, AComputedSequenceFillsTheControlsAndTheSheets) {
    auto s = MakeSequence(60);
    s->QuadInfo[5].Level = -1;  // a gap filler
    s->QuadInfo[5].SpacingCoef = 0;
    s->MaxDepthX = 7.84f;
    s->MaxDepthY = 0.0f;
    s->MeasurementCycles = 42;
    s->Comment[0] = 0;
    s->SetComment("north profile");
    auto w = Show(std::move(s));
    const TElectSequence& c = *w->Current();

    EXPECT_EQ(w->StatusText(1), Path("shown.sqz"));
    EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), "60");
    EXPECT_FALSE(Find<QLabel>(w, "MaxQuadriploleLbl")->isVisibleTo(w.get()));
    EXPECT_EQ(Find<QLabel>(w, "InjectionTxt")->text(), "42");
    EXPECT_EQ(Find<QLabel>(w, "MaxChannelUsedTxt")->text(), "1");
    EXPECT_EQ(Find<QLabel>(w, "MaxXReportTxt")->text(), "7.8");
    EXPECT_EQ(Find<QLabel>(w, "MaxYReportTxt")->text(), "0.0");
    EXPECT_EQ(Find<QLabel>(w, "EstimatedAcquisitionTimeTxt")->text(), FormatDuration(c.GetTotalTime()));
    EXPECT_EQ(Find<QLabel>(w, "TotalLevelTxt")->text(), "8");
    EXPECT_TRUE(Find<QRadioButton>(w, "LineRb")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(w, "ManualCreated")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(w, "XGridSpacingLblx")->text(), "1");
    EXPECT_EQ(Find<QLineEdit>(w, "LineGridXTxt")->text(), "48");
    EXPECT_EQ(Find<QTextEdit>(w, "CommentEdt")->toPlainText(), "north profile");
    EXPECT_EQ(Find<QComboBox>(w, "ArrayTypeList")->currentIndex(), 1);
    EXPECT_EQ(Find<QLineEdit>(w, "StackMinEdn")->text(), QString::number(c.Device.StackMin));
    EXPECT_EQ(Find<QLineEdit>(w, "QMaxEdn")->text(), "1");
    EXPECT_TRUE(Find<QPushButton>(w, "ComputeBtn")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());
    EXPECT_TRUE(Find<QPushButton>(w, "CreateNewSeqBtn")->isEnabled());
    EXPECT_FALSE(Find<TStringGrid>(w, "SpacingLevelGd")->isHidden());

    TStringGrid* levels = Find<TStringGrid>(w, "SpacingLevelGd");
    EXPECT_EQ(levels->Cells(0, 1), "1 x a");
    EXPECT_EQ(levels->Cells(9, 0), "8");
    EXPECT_EQ(levels->Cells(1, 1), "8");
    EXPECT_EQ(levels->Cells(2, 1), "#");
    EXPECT_EQ(levels->Cells(9, 1), "#");
    EXPECT_EQ(levels->Cells(10, 1), "");
    EXPECT_EQ(levels->Cells(1, 2), "");

    TStringGrid* q = Find<TStringGrid>(w, "QuadripoleGd");
    ASSERT_EQ(q->RowCount(), 61);
    ASSERT_EQ(q->ColCount(), 9);
    const QStringList titles = {"# Quad.", "Ca", "Cb", "Pm", "Pn", "Spac. Coef", "Level", "Depth", "K factor"};
    for (int col = 0; col < 9; ++col) EXPECT_EQ(q->Cells(col, 0), titles[col]);
    EXPECT_EQ(q->Cells(0, 1), "1");
    EXPECT_EQ(q->Cells(1, 1), "1");
    EXPECT_EQ(q->Cells(4, 1), "4");
    EXPECT_EQ(q->Cells(5, 1), "1");
    EXPECT_EQ(q->Cells(6, 1), "1");
    EXPECT_EQ(q->Cells(7, 1), "0.50");
    EXPECT_EQ(q->Cells(8, 1), Format2(double(c.Device.GetGeometricFactor(0, c.RemoteElectrodes))));
    EXPECT_EQ(q->Cells(5, 6), "0");
    EXPECT_EQ(q->Cells(6, 6), "-1");
    EXPECT_EQ(q->Cells(0, 60), "60");
    // The sheet is a view over a model, laid out row by row only where it is seen.
    EXPECT_EQ(q->model()->rowCount(), 60);

    TStringGrid* e = Find<TStringGrid>(w, "ElectrodeGd");
    ASSERT_EQ(e->RowCount(), 49);
    EXPECT_EQ(e->Cells(0, 0), "# Node");
    EXPECT_EQ(e->Cells(3, 0), "Z (m)");
    EXPECT_EQ(e->Cells(0, 2), "2");
    EXPECT_EQ(e->Cells(1, 2), "1.00");
    EXPECT_EQ(e->Cells(1, 48), "47.00");
}

TEST_F(DisplayTest, TheFullListNoticeShowsAtSixteenThousand) {
    for (int count : {15999, 16000}) {
        auto s = MakeSequence(count);
        auto w = Show(std::move(s));
        EXPECT_EQ(Find<QLabel>(w, "MaxQuadriploleLbl")->isVisibleTo(w.get()), count == 16000) << count;
        EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), QString::number(count));
        EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->RowCount(), count + 1);
    }
}

TEST_F(DisplayTest, TheElectrodeSheetSkipsUnusedNumbers) {
    auto s = MakeSequence(0);
    std::vector<int> numbers;
    for (int e = 1; e <= 10; ++e) numbers.push_back(e);
    for (int e = 21; e <= 30; ++e) numbers.push_back(e);
    PlaceElectrodes(*s, numbers);
    auto w = Show(std::move(s));
    TStringGrid* e = Find<TStringGrid>(w, "ElectrodeGd");
    ASSERT_EQ(e->RowCount(), 21);
    EXPECT_EQ(e->Cells(0, 10), "10");
    EXPECT_EQ(e->Cells(0, 11), "21");
    EXPECT_EQ(e->Cells(1, 11), "20.00");
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->RowCount(), 1);
    EXPECT_TRUE(Find<QPushButton>(w, "CreateNewSeqBtn")->isHidden());
}

TEST_F(DisplayTest, ShowingASequenceNeverChangesIt) {
    for (int flag : {0, 1}) {
        SCOPED_TRACE(flag);
        auto s = MakeSequence(30, 0.333f);
        s->Grid.OffsetX = 12.345f;
        s->Device.Electrodes[1].X = 12.345f;
        s->NeedsRecompute = flag;
        auto w = Show(std::move(s));
        TElectSequence& c = *w->Current();
        EXPECT_EQ(Find<QLineEdit>(w, "XGridSpacingLblx")->text(), "0.33");
        EXPECT_EQ(Find<QLineEdit>(w, "XGridOffsetLblx")->text(), "12.35");
        for (int i = 0; i < 3; ++i) w->DisplaySequence(true);
        EXPECT_EQ(c.Grid.DX, 0.333f);
        EXPECT_EQ(c.Grid.OffsetX, 12.345f);
        EXPECT_EQ(c.NeedsRecompute, flag);
        if (flag == 0) {
            EXPECT_TRUE(c.IsValid());
            // A valid, unchanged sequence saves without the question.
            w->SaveClick();
            EXPECT_TRUE(Seam.Questions.empty());
        }
    }
}

TEST_F(DisplayTest, StoredValuesOutsideTheControlsRanges) {
    auto s = MakeSequence(10);
    s->SetArrayType(11);  // beyond the borehole list
    s->MaxChannelUsed = 0;
    s->Device.Channels = 8;
    s->ChannelOptions.OptimizationChannel = 30;
    auto w = Show(std::move(s));
    TElectSequence& c = *w->Current();
    EXPECT_EQ(Find<QComboBox>(w, "ArrayTypeList")->currentIndex(), 11);
    EXPECT_EQ(Find<QComboBox>(w, "BoreholeArrayTypeList")->currentIndex(), 0);
    EXPECT_EQ(c.Grid.ArrayType, 11);
    // Beyond both lists (no file holds such an index: a sequence made in memory).
    auto beyond = std::make_unique<TElectSequence>(c);
    beyond->Grid.ArrayType = 20;
    ASSERT_TRUE(w->AppendSequence(std::move(beyond)));
    w->MakeCurrent(w->List().Count() - 1);
    w->DisplaySequence(true);
    const TElectSequence& d = *w->Current();
    EXPECT_EQ(Find<QComboBox>(w, "ArrayTypeList")->currentIndex(), 0);
    EXPECT_EQ(Find<QComboBox>(w, "BoreholeArrayTypeList")->currentIndex(), 0);
    EXPECT_EQ(d.Grid.ArrayType, 0);
    EXPECT_EQ(Find<QLineEdit>(w, "StdChannelEdn")->text(), QString::number(d.Device.Channels));
    EXPECT_LE(d.ChannelOptions.OptimizationChannel, 20);
    EXPECT_EQ(Find<QLineEdit>(w, "OptimizationChannelEdn")->text(),
              QString::number(d.ChannelOptions.OptimizationChannel));
    EXPECT_TRUE(Find<TStringGrid>(w, "SpacingLevelGd")->isHidden());  // "mixed array" has no depth levels
    EXPECT_FALSE(Find<QPushButton>(w, "CreateNewSeqBtn")->isEnabled());
}

TEST_F(DisplayTest, ANewSequenceStaysOnTheCreationTab) {
    auto w = Start();
    EXPECT_TRUE(Find<QRadioButton>(w, "AutomaticCreated")->isChecked());
    EXPECT_EQ(Find<TStringGrid>(w, "ElectrodeLocationGd")->ColCount(), 2);
    EXPECT_EQ(Find<TStringGrid>(w, "ElectrodeLocationGd")->RowCount(), 2);
    EXPECT_FALSE(Find<TStringGrid>(w, "ElectrodeLocationGd")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(w, "ComputeBtn")->isEnabled());
    EXPECT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->RowCount(), 1);
    EXPECT_EQ(Find<TStringGrid>(w, "ElectrodeGd")->RowCount(), 1);
    for (QWidget* tab :
         {Find<QWidget>(w, "ConfigurationTbs"), Find<QWidget>(w, "ViewGraphTbs"), Find<QWidget>(w, "ViewSheetTbs")}) {
        Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(tab);
        EXPECT_EQ(Find<QTabWidget>(w, "PageControl1")->currentWidget(), Find<QWidget>(w, "CreationTbs"));
    }
}

TEST_F(DisplayTest, TabChangesFollowTheLayoutAndTheAnimation) {
    auto w = Show(MakeSequence(20));
    QTabWidget* pc = Find<QTabWidget>(w, "PageControl1");
    pc->setCurrentWidget(Find<QWidget>(w, "ViewSheetTbs"));
    EXPECT_EQ(pc->currentWidget(), Find<QWidget>(w, "ViewSheetTbs"));
    EXPECT_TRUE(pc->isTabVisible(pc->indexOf(Find<QWidget>(w, "ConfigurationTbs"))));
    EXPECT_TRUE(pc->isTabVisible(pc->indexOf(Find<QWidget>(w, "ViewGraphTbs"))));
    Find<QToolButton>(w, "AnimGraph")->setChecked(true);
    pc->setCurrentWidget(Find<QWidget>(w, "CreationTbs"));
    EXPECT_EQ(pc->currentWidget(), Find<QWidget>(w, "ViewSheetTbs"));
    Find<QToolButton>(w, "AnimGraph")->setChecked(false);
    w->Current()->Grid.Duplicates = 1;
    pc->setCurrentWidget(Find<QWidget>(w, "CreationTbs"));
    EXPECT_EQ(pc->currentWidget(), Find<QWidget>(w, "ViewSheetTbs"));
    w->Current()->Grid.Duplicates = 0;
    pc->setCurrentWidget(Find<QWidget>(w, "ConfigurationTbs"));
    EXPECT_EQ(pc->currentWidget(), Find<QWidget>(w, "ConfigurationTbs"));
    // A sequence without quadripoles hides the two view tabs.
    w->Current()->Device.LastQuadripole = -1;
    pc->setCurrentWidget(Find<QWidget>(w, "CreationTbs"));
    EXPECT_TRUE(pc->isTabVisible(pc->indexOf(Find<QWidget>(w, "ConfigurationTbs"))));
    EXPECT_FALSE(pc->isTabVisible(pc->indexOf(Find<QWidget>(w, "ViewGraphTbs"))));
    EXPECT_FALSE(pc->isTabVisible(pc->indexOf(Find<QWidget>(w, "ViewSheetTbs"))));
}

TEST(Format, NumberTexts) {
    struct TCase {
        double v;
        const char *hash2, *one, *two;
    };
    const TCase cases[] = {
        {0.0, "0", "0.0", "0.00"},       {0.333, "0.33", "0.3", "0.33"}, {2.5, "2.5", "2.5", "2.50"},
        {-0.001, "0", "0.0", "0.00"},    {48.0, "48", "48.0", "48.00"},  {-3.456, "-3.46", "-3.5", "-3.46"},
        {99999.99, "99999.99", "100000.0", "99999.99"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(FormatHash2(c.v), c.hash2) << c.v;
        EXPECT_EQ(Format1(c.v), c.one) << c.v;
        EXPECT_EQ(Format2(c.v), c.two) << c.v;
    }
}

TEST(Format, DurationsDoNotWrapAtADay) {
    struct TCase {
        double days;
        const char* text;
    };
    const TCase cases[] = {
        {0.0, "00:00:00"},          {1.0 / 86400.0 * 3661, "01:01:01"}, {1.5, "36:00:00"},
        {125.0 / 24.0, "125:00:00"}, {-1.0, "00:00:00"},                 {0.9999999, "23:59:59"},
    };
    for (const TCase& c : cases) EXPECT_EQ(FormatDuration(c.days), c.text) << c.days;
}

TEST_F(DisplayTest, ALongAcquisitionShowsItsTotalHours) {
    auto s = MakeSequence(16000);
    s->MeasurementCycles = 16000;
    s->Device.SetTimeIndex(0);  // 8000 ms
    s->Device.StackMin = 10;
    s->Device.StackMax = 20;
    const double days = s->GetTotalTime();
    ASSERT_GT(days, 1.0);
    auto w = Show(std::move(s));
    const QString text = Find<QLabel>(w, "EstimatedAcquisitionTimeTxt")->text();
    EXPECT_EQ(text.section(':', 0, 0).toInt(), int(days * 24.0)) << text.toStdString();
}

namespace {
// How a sequence of the table below comes into the window.
enum class TEntry {
    File,       // a listed .sqz file, opened at start-up
    Appended,   // made in memory and appended to the list
    Text,       // exported to .txt and opened (imported)
    SdCard,     // saved in the SD-card format and opened (imported)
    New,        // the New command
};

std::vector<char> BytesOf(const TElectSequence& s) {
    const char* p = reinterpret_cast<const char*>(&s);
    return std::vector<char>(p, p + sizeof(TElectSequence));
}

// A layout of nx x ny electrodes with the given array, cells (a, n) for a = 1..2, n = 1..4
// selected, computed as the Compute button does (optimised when asked).
std::unique_ptr<TElectSequence> Computed(TGridType type, int nx, int ny, int arrayType, bool optimise = false) {
    auto s = std::make_unique<TElectSequence>();
    PlaceGrid(*s, type, nx, ny, 2.0f, 1.5f);
    s->SetArrayType(arrayType);
    for (int a = 1; a <= 2; ++a)
        for (int n = 1; n <= 4; ++n) {
            s->SpacingLevels[a - 1].Selected[n - 1] = 1;
            ++s->SpacingLevels[a - 1].SelectedCount;
        }
    TComputeOptions options;
    options.Optimise = optimise;
    options.DelPolar = false;
    RunComputation(*s, options);
    return s;
}

std::unique_ptr<TElectSequence> Line() { return Computed(gtLine, 48, 1, atDipoleDipole); }

template <class F>
std::unique_ptr<TElectSequence> LineWith(F&& change) {
    auto s = Line();
    change(*s);
    return s;
}
}  // namespace

// Whatever the window holds, showing it (the display itself, choosing it in the list, every
// tab, the pointer over the depth-level grid) leaves every byte of every sequence as it was,
// and nothing counts as an unsaved change.
TEST_F(DisplayTest, EveryKindOfSequenceIsShownWithoutAByteChanging) {
    struct TCase {
        const char* name;
        TEntry entry;
        std::function<std::unique_ptr<TElectSequence>()> make;
    };
    const TCase cases[] = {
        {"new", TEntry::New, nullptr},
        {"grid without electrodes", TEntry::File,
         [] {
             auto s = std::make_unique<TElectSequence>();
             s->Grid.NX = 24;
             s->SetComment("laid out, not numbered");
             return s;
         }},
        {"line computed", TEntry::File, Line},
        {"surface computed", TEntry::File, [] { return Computed(gtSurface, 12, 6, atDipoleDipole); }},
        {"borehole computed", TEntry::File, [] { return Computed(gtBorehole, 2, 24, batDipoleDipoleDiagonal); }},
        {"borehole holding a surface array", TEntry::File,
         [] {
             auto s = Computed(gtBorehole, 2, 24, batDipoleDipoleDiagonal);
             s->Grid.ArrayType = atWenner;
             return s;
         }},
        {"rolled along", TEntry::File,
         [] {
             auto s = Line();
             RollAlong(*s, "line.sqz", 4, 0);
             TComputeOptions options;
             options.NodesX = 4;
             RunComputation(*s, options);
             return s;
         }},
        {"gap fillers", TEntry::File, [] { return Computed(gtLine, 48, 1, atDipoleDipole, true); }},
        {"mixed array", TEntry::File, [] { return LineWith([](TElectSequence& s) { s.Grid.ArrayType = atMixed; }); }},
        {"array index beyond the list", TEntry::Appended,
         [] { return LineWith([](TElectSequence& s) { s.Grid.ArrayType = 20; }); }},
        {"channels above the limit", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.SetArrayType(atWenner);
                 s.Device.Channels = 10;
                 s.ChannelOptions.OptimizationChannel = 30;
                 s.MaxChannelUsed = 0;
             });
         }},
        {"Rho and IP, Vab", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.SetRhoIP(true);
                 s.SetIPMode(4);
                 s.SetVab(3);
             });
         }},
        {"odd Rho mode, both voltages chosen", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.Device.SetRhoMode(2);
                 s.Device.SetVmnChoice(3);
                 s.Device.SetVabChoice(4);
             });
         }},
        {"no voltage chosen", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.Device.SetVmnChoice(0);
                 s.Device.SetVabChoice(0);
             });
         }},
        {"option flags neither 0 nor 1", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.ChannelOptions.MultiChannelOptimization = 2;
                 s.ChannelOptions.AllowDummyQuadripoles = 2;
                 s.ChannelOptions.DelPolarEffect = 0;
             });
         }},
        {"16000 quadripoles", TEntry::File, [] { return MakeSequence(kMaxQuadripoles); }},
        {"duplicate-numbered layout", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.Grid.Nodes[5].Used = 2;
                 s.Grid.Duplicates = 1;
                 s.Grid.Nodes[7] = TElectGridNode{1, 7, 3};  // a row that a line does not show
             });
         }},
        {"values finer or wider than the edits", TEntry::File,
         [] {
             return LineWith([](TElectSequence& s) {
                 s.Grid.DX = 0.333f;
                 s.Grid.OffsetX = 12.345f;
                 s.Grid.DY = -4.0f;
                 s.Grid.OffsetY = 7.0f;
                 s.Grid.NY = 3;
                 s.Grid.NX = 1200;
             });
         }},
        {"imported text", TEntry::Text, Line},
        {"imported SD card", TEntry::SdCard, [] { return Computed(gtLine, 48, 1, atDipoleDipole, true); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Seam.Messages.clear();
        // Another entry to go to and back from.
        WriteSequenceFile(Path("other.sqz"), 20);
        QStringList listed = {Path("other.sqz")};
        std::unique_ptr<TElectSequence> s = c.make ? c.make() : nullptr;
        if (c.entry == TEntry::File) {
            WriteSequence(*s, Path("case.sqz"));
            listed << Path("case.sqz");
        }
        WriteList(listed);
        Settings().setValue("Initialisation/PlanoraPro/SeqFileLbItemIndex", listed.size() - 1);
        auto w = Start();
        switch (c.entry) {
            case TEntry::File: break;
            case TEntry::Appended:
                ASSERT_TRUE(w->AppendSequence(std::move(s)));
                w->MakeCurrent(w->List().Count() - 1);
                break;
            case TEntry::Text:
                ASSERT_TRUE(s->ExportTextFile(Path("case.txt").toStdString(), "\t"));
                w->OpenSequenceFile(Path("case.txt"));
                break;
            case TEntry::SdCard:
                ASSERT_TRUE(s->SaveToSdCard(Path("case.sds").toStdString()));
                w->OpenSequenceFile(Path("case.sds"));
                break;
            case TEntry::New: w->New1Click(); break;
        }
        ASSERT_EQ(w->List().Count(), 2);
        ASSERT_EQ(w->List().CurrentIndex(), 1);
        EXPECT_TRUE(Seam.Messages.isEmpty()) << Seam.Messages.join('|').toStdString();
        // As it entered the list, the entry counts as saved (New lays out its empty grid).
        const bool savedAtEntry = !w->List().Changed(1);
        EXPECT_TRUE(savedAtEntry || c.entry == TEntry::New);
        const std::vector<char> before[2] = {BytesOf(*w->List()[0]), BytesOf(*w->List()[1])};
        auto unchanged = [&](const char* step) {
            for (int i = 0; i < 2; ++i)
                EXPECT_TRUE(BytesOf(*w->List()[std::size_t(i)]) == before[i]) << step << ", entry " << i;
        };

        w->DisplaySequence(true);
        unchanged("shown");
        w->DisplaySequence(false);
        unchanged("shown without the views");
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(0);
        Find<QListWidget>(w, "SeqFileLb")->setCurrentRow(1);
        ASSERT_EQ(w->List().CurrentIndex(), 1);
        unchanged("chosen in the list");
        for (QWidget* page :
             {Find<QWidget>(w, "ConfigurationTbs"), Find<QWidget>(w, "ViewGraphTbs"), Find<QWidget>(w, "ViewSheetTbs"),
              Find<QWidget>(w, "CreationTbs"), Find<QWidget>(w, "ConfigurationTbs")}) {
            Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(page);
            unchanged(page->objectName().toLatin1().constData());
        }
        for (int row = 1; row <= 9; row += 4) {
            const QPoint at = Find<TStringGrid>(w, "SpacingLevelGd")
                                  ->visualRect(Find<TStringGrid>(w, "SpacingLevelGd")->model()->index(row - 1, 2))
                                  .center();
            w->SpacingLevelGdMouseMove({}, at.x(), at.y());
        }
        unchanged("hint");
        EXPECT_EQ(w->List().Changed(1), !savedAtEntry);
        EXPECT_FALSE(w->List().Changed(0));
        Close(w);
        for (const char* f : {"other.sqz", "case.sqz", "case.txt", "case.sds", "caseSdsToSqz.sqz"}) QFile::remove(Path(f));
        QFile::remove(ListFile());
    }
}
