// The sheets of the "View Sheet" tab printed and written as comma-separated files, and the
// export command of the second meter model.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <tuple>

#include "export/Exportsqt.h"
#include "tests/support/UserFiles.h"
#include "tests/ui/UiTest.h"
#include "ui/SheetPrint.h"
#include "ui/StringGrid.h"

namespace {

// Pages of a PDF file as its writer counts them in the page tree.
int PdfPageCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QString text = QString::fromLatin1(f.readAll());
    const QRegularExpressionMatch m = QRegularExpression(R"(/Type\s*/Pages\b[^>]*/Count\s+(\d+))").match(text);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

// Runs action on the first modal dialog that opens while the returned timer lives.
std::unique_ptr<QTimer> OnModal(std::function<void(QWidget*)> action) {
    auto t = std::make_unique<QTimer>();
    t->setInterval(0);
    QObject::connect(t.get(), &QTimer::timeout, t.get(), [timer = t.get(), action] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            action(w);
        }
    });
    t->start();
    return t;
}

}  // namespace

class SheetsTest : public UiTest {
protected:
    std::unique_ptr<TMainFrm> Show(TElectSequence& s, const QString& name = "shown.sqz") {
        WriteSequence(s, Path(name));
        WriteList({Path(name)});
        return Start();
    }

    // Electrodes 1, 2, 3 and 5 (node 4 unused) at x = -1.5, 0, 1.5, 4.5; a Wenner quadripole,
    // a gap filler and a pole-pole quadripole on the remote electrodes B and N.
    static std::unique_ptr<TElectSequence> SmallSequence() {
        auto s = MakeSequence(0);
        PlaceElectrodes(*s, {1, 2, 3, 5}, 1.5f, -1.5f);
        s->RemoteElectrodes[1] = TElectrodeXYZ{-1000.0f, 0.0f, 0.0f};
        s->RemoteElectrodes[3] = TElectrodeXYZ{1000.0f, 0.0f, 0.0f};
        const TQuadripole quads[3] = {{1, 5, 2, 3}, {1, 2, 3, 5}, {2, 0, 3, 0}};
        const std::int16_t levels[3] = {1, -1, 2};
        const std::uint16_t coefs[3] = {1, 0, 1};
        const float depths[3] = {0.78f, 0.0f, 1.5f};
        for (int q = 0; q < 3; ++q) {
            s->Device.Quadripoles[q] = quads[q];
            s->QuadInfo[q] = TQuadripoleInfo{};
            s->QuadInfo[q].Level = levels[q];
            s->QuadInfo[q].SpacingCoef = coefs[q];
            s->QuadInfo[q].Depth = depths[q];
            s->QuadInfo[q].Number = std::uint16_t(q + 1);
        }
        s->Device.LastQuadripole = 2;
        s->MeasurementCycles = 3;
        return s;
    }
};

TEST_F(SheetsTest, ExportWritesEachSheetAsDisplayed) {
    auto s = SmallSequence();
    auto w = Show(*s);
    Seam.Files = {Path("electrodes.csv"), Path("quadripoles.csv")};
    Find<QToolButton>(w, "ExportElectrode")->click();
    Find<QToolButton>(w, "ExportQuadripole")->click();

    EXPECT_EQ(ReadAll(Path("electrodes.csv")),
              "\"# Node\",\"X (m)\",\"Y (m)\",\"Z (m)\"\r\n"
              "1,-1.50,0.00,0.00\r\n"
              "2,0.00,0.00,0.00\r\n"
              "3,1.50,0.00,0.00\r\n"
              "5,4.50,0.00,0.00\r\n");
    // K = 2 pi / (1/AM - 1/AN - 1/BM + 1/BN), the remote electrodes at their own positions.
    EXPECT_EQ(ReadAll(Path("quadripoles.csv")),
              "\"# Quad.\",Ca,Cb,Pm,Pn,\"Spac. Coef\",Level,Depth,\"K factor\"\r\n"
              "1,1,5,2,3,1,1,0.78,14.14\r\n"
              "2,1,2,3,5,0,-1,0.00,-22.62\r\n"
              "3,2,0,3,0,1,2,1.50,9.45\r\n");
    EXPECT_TRUE(Seam.Messages.isEmpty());

    // One save dialog for both sheets, started in the sequence folder; the window itself asks
    // before a file is replaced.
    ASSERT_EQ(Seam.Dialogs.size(), 2u);
    const TFileDialogSetup& d = Seam.Dialogs[0];
    EXPECT_TRUE(d.Save);
    EXPECT_EQ(d.InitialDir, w->State().SequenceFolder);
    EXPECT_FALSE(d.InitialDir.isEmpty());
    EXPECT_EQ(d.Filter, "*.csv|*.csv");
    EXPECT_FALSE(d.OverwritePrompt);
    EXPECT_EQ(Seam.Dialogs[1].FileName, Path("electrodes.csv"));
}

TEST_F(SheetsTest, ExportNamesReplacementsAndCancel) {
    auto s = SmallSequence();
    auto w = Show(*s);
    // A name without extension takes ".csv"; a longer old file is replaced whole once the
    // user agrees.
    WriteAll(Path("old.csv"), QByteArray(5000, 'x'));
    Seam.Files = {Path("sheet"), Path("old.csv"), QString()};
    Seam.Answers = {TMsgResult::Ok};
    w->ExportElectrodeClick();
    EXPECT_TRUE(Seam.Questions.empty());
    w->ExportElectrodeClick();
    ASSERT_EQ(Seam.Questions.size(), 1u);
    EXPECT_EQ(Seam.Questions[0].Text, "< " + Path("old.csv") + " > already exists.\nReplace it?");
    EXPECT_EQ(Seam.Questions[0].Buttons, TMsgButtons::OkCancel);
    const QByteArray sheet = ReadAll(Path("sheet.csv"));
    EXPECT_TRUE(sheet.startsWith("\"# Node\""));
    EXPECT_EQ(ReadAll(Path("old.csv")), sheet);
    EXPECT_FALSE(QFileInfo::exists(Path("sheet")));

    // Cancelled: nothing written, nothing said.
    const QStringList before = QDir(Home.path()).entryList(QDir::Files | QDir::Hidden);
    w->ExportQuadripoleClick();
    EXPECT_EQ(QDir(Home.path()).entryList(QDir::Files | QDir::Hidden), before);
    EXPECT_TRUE(Seam.Messages.isEmpty());
    EXPECT_EQ(Seam.Dialogs.size(), 3u);
}

// Exporting the quadripole sheet right after the electrode sheet: the dialog offers the
// electrode file, and only a yes replaces it.
TEST_F(SheetsTest, ExportingOntoAnExistingFileAsksFirst) {
    auto s = SmallSequence();
    auto w = Show(*s);
    const QString file = Path("sheet.csv");
    Seam.Files = {file};
    Find<QToolButton>(w, "ExportElectrode")->click();
    const QByteArray electrodes = ReadAll(file);
    ASSERT_TRUE(electrodes.startsWith("\"# Node\""));

    Seam.Files = {file, file};
    Seam.Answers = {TMsgResult::Cancel, TMsgResult::Ok};
    Find<QToolButton>(w, "ExportQuadripole")->click();
    EXPECT_EQ(Seam.Dialogs.back().FileName, file);  // offered again
    EXPECT_EQ(ReadAll(file), electrodes);
    Find<QToolButton>(w, "ExportQuadripole")->click();
    EXPECT_TRUE(ReadAll(file).startsWith("\"# Quad.\""));
    EXPECT_EQ(Seam.Questions.size(), 2u);
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(SheetsTest, AFailedExportIsReportedAndKeepsTheOldFile) {
    auto s = SmallSequence();
    auto w = Show(*s);
    // The longest name a folder takes: the work file beside it cannot be made.
    const QString longName = Path(QString(251, 'n') + ".csv");
    WriteAll(longName, "old contents\r\n");
    QDir().mkpath(Path("folder.csv"));
    struct TCase {
        QString Target, Why;
    };
    const TCase cases[] = {{longName, "The name is too long for the system"},
                           {Path("folder.csv"), "It is not a plain file"},
                           {Path("missing/sheet.csv"), "No such file or directory"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Target.toStdString());
        Seam.Messages.clear();
        Seam.Files = {c.Target};
        Seam.Answers = {TMsgResult::Ok};  // replace what is there
        w->ExportQuadripoleClick();
        EXPECT_EQ(Seam.Messages, QStringList{"Can't export the grid with < " + c.Target + " > filename\r\n" + c.Why});
    }
    EXPECT_EQ(ReadAll(longName), "old contents\r\n");
    EXPECT_TRUE(QFileInfo(Path("folder.csv")).isDir());
    EXPECT_FALSE(QFileInfo::exists(Path("missing")));
    // No work file is left behind.
    EXPECT_TRUE(QDir(Home.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden).isEmpty());
}

// Whoever runs the tests, root too: agreeing to replace a file does not replace one whose
// permissions deny writing.
TEST_F(SheetsTest, AWriteProtectedFileIsNotReplacedByTheExport) {
    auto s = SmallSequence();
    auto w = Show(*s);
    const QString file = Path("kept.csv");
    WriteAll(file, "the user's sheet\r\n");
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(file, readOnly));
    Seam.Files = {file};
    Seam.Answers = {TMsgResult::Ok};
    Find<QToolButton>(w, "ExportQuadripole")->click();
    EXPECT_EQ(Seam.Messages,
              QStringList{"Can't export the grid with < " + file + " > filename\r\nThe file is write-protected"});
    EXPECT_EQ(ReadAll(file), "the user's sheet\r\n");
    EXPECT_EQ(ModeOf(QFile::encodeName(file).toStdString()), mode_t(0444));
}

TEST(SheetCommaText, CellsAreQuotedOnlyWhenTheyMustBe) {
    struct TCase {
        QString Cell, Written;
    };
    const TCase cases[] = {
        {"", ""},
        {"12", "12"},
        {"-0.25", "-0.25"},
        {"K factor", "\"K factor\""},
        {"1,5", "\"1,5\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"tab\there", "\"tab\there\""},
        {QString(QChar(1)), "\"\x01\""},
        {QString::fromUtf8("d\xc3\xa9j\xc3\xa0"), QString::fromUtf8("d\xc3\xa9j\xc3\xa0")},
    };
    for (const TCase& c : cases) EXPECT_EQ(CommaTextCell(c.Cell), c.Written) << c.Cell.toStdString();

    TStringTableModel t;
    t.SetSize(3, 2);
    t.SetCell(0, 0, "a");
    t.SetCell(2, 0, "c d");
    t.SetCell(1, 1, "x");
    EXPECT_EQ(SheetCommaText(t), "a,,\"c d\"\r\n,x,\r\n");
}

TEST(SheetPages, BlocksOfColumnsThenRunsOfSixtyRows) {
    struct TCase {
        int Cols, Rows, Block;
        std::size_t Pages;
        TSheetPage Last;
    };
    const TCase cases[] = {
        {9, 16001, 9, 267, {0, 9, 15960, 41}},
        {4, 60, 4, 1, {0, 4, 0, 60}},
        {4, 61, 4, 2, {0, 4, 60, 1}},
        {4, 1, 4, 1, {0, 4, 0, 1}},
        {10, 61, 4, 6, {8, 2, 60, 1}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Cols << " x " << c.Rows << " by " << c.Block);
        const std::vector<TSheetPage> pages = SheetPages(c.Cols, c.Rows, c.Block);
        ASSERT_EQ(pages.size(), c.Pages);
        const TSheetPage& l = pages.back();
        EXPECT_EQ(std::tie(l.FirstCol, l.ColCount, l.FirstRow, l.RowCount),
                  std::tie(c.Last.FirstCol, c.Last.ColCount, c.Last.FirstRow, c.Last.RowCount));
    }
    // All pages of a block before the next block.
    const std::vector<TSheetPage> pages = SheetPages(10, 61, 4);
    const int firstCols[6] = {0, 0, 4, 4, 8, 8};
    const int firstRows[6] = {0, 60, 0, 60, 0, 60};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages[std::size_t(i)].FirstCol, firstCols[i]) << i;
        EXPECT_EQ(pages[std::size_t(i)].FirstRow, firstRows[i]) << i;
    }
}

TEST(SheetScale, WideBlocksAreSqueezedToFitThePage) {
    struct TCase {
        int Width, Height, Block, Sx, Sy;
    };
    const TCase cases[] = {
        {4800, 6826, 4, 100, 100},
        {4800, 6826, 6, 100, 100},
        {4800, 6826, 9, 71, 100},    // 4800 * 5 div 7 = 3428
        {9600, 13651, 9, 142, 199},  // whole percentages, truncated
    };
    for (const TCase& c : cases) {
        const TSheetScale s = SheetScale(c.Width, c.Height, c.Block);
        EXPECT_EQ(s.Sx, c.Sx) << c.Width << " by " << c.Block;
        EXPECT_EQ(s.Sy, c.Sy) << c.Height;
        // The right edge of the block's last column and the bottom of the 60th row.
        EXPECT_LE(s.H(200 + c.Block * 700), c.Width);
        EXPECT_LE(s.V(300 + 59 * 100), c.Height);
    }
}

TEST_F(SheetsTest, PrintingPagesOfBothSheets) {
    auto w = Show(*MakeSequence(16000, 1.0f, 60));
    ASSERT_EQ(Find<TStringGrid>(w, "QuadripoleGd")->RowCount(), 16001);
    Seam.PrintTo = Path("quadripoles.pdf");
    Find<QToolButton>(w, "PrintQuadripole")->click();
    EXPECT_EQ(PdfPageCount(Path("quadripoles.pdf")), 267);

    // 60 electrodes and the titles: 61 rows, two pages.
    Seam.PrintTo = Path("electrodes.pdf");
    Find<QToolButton>(w, "PrintElectrode")->click();
    EXPECT_EQ(PdfPageCount(Path("electrodes.pdf")), 2);
    EXPECT_EQ(Seam.PrinterDialogs, 2);
    EXPECT_TRUE(Seam.Messages.isEmpty());
}

TEST_F(SheetsTest, SixtyRowsPrintOnOnePage) {
    auto w = Show(*MakeSequence(10, 1.0f, 59));
    ASSERT_EQ(Find<TStringGrid>(w, "ElectrodeGd")->RowCount(), 60);
    Seam.PrintTo = Path("electrodes.pdf");
    w->PrintElectrodeClick();
    EXPECT_EQ(PdfPageCount(Path("electrodes.pdf")), 1);
}

TEST_F(SheetsTest, CancelledOrFailedPrinting) {
    auto w = Show(*MakeSequence(10));
    // Cancelled set-up: no job, no file.
    Seam.PrintTo.clear();
    w->PrintQuadripoleClick();
    w->PrintElectrodeClick();
    EXPECT_EQ(Seam.PrinterDialogs, 2);
    EXPECT_TRUE(QDir(Home.path()).entryList({"*.pdf"}, QDir::Files).isEmpty());
    EXPECT_TRUE(Seam.Messages.isEmpty());

    // A job that cannot start is reported.
    Seam.PrintTo = Path("missing/sheet.pdf");
    w->PrintQuadripoleClick();
    EXPECT_EQ(Seam.Messages, QStringList{"Can't print the grid on < " + Path("missing/sheet.pdf") + " >"});
    EXPECT_FALSE(QFileInfo::exists(Path("missing")));
}

using ExportCommandTest = SheetsTest;

TEST_F(ExportCommandTest, OpensTheDialogForTheCurrentSequenceAndSaves) {
    auto s = MakeSequence(10);
    s->Device.SetRhoMode(1);     // resistivity only: the second model runs at 100 % duty
    s->Device.SetTimeIndex(0);   // 8000 ms, which it does not take
    auto w = Show(*s, "profile.sqz");
    Find<QLabel>(w, "QuadripolesTxt")->setText("stale");
    Seam.Files = {Path("chosen.sqt")};

    const TElectSequence* shown = nullptr;
    QString label;
    unsigned arrayCode = 99, stackMin = 0;
    QString folder;
    auto timer = OnModal([&](QWidget* modal) {
        auto* d = qobject_cast<TExportSqtFrm*>(modal);
        ASSERT_NE(d, nullptr);
        shown = d->Solvy()->Sequence;
        label = d->findChild<QLabel*>("FilenameLbl")->text();
        arrayCode = d->Solvy()->Config.ArrayCode();
        stackMin = d->Solvy()->Config.StackMin;
        folder = d->SequenceFolder;
        d->BitBtn1Click();
    });
    Find<QAction>(w, "ExporttoSQTformatSolvy1")->trigger();

    EXPECT_EQ(shown, w->Current());
    EXPECT_EQ(label, Path("profile.sqt"));
    EXPECT_EQ(arrayCode, TReskonSolvy::ArrayCode(w->Current()->Grid.ArrayType));
    EXPECT_EQ(stackMin, w->Current()->Device.StackMin);
    EXPECT_EQ(folder, w->State().SequenceFolder);
    ASSERT_EQ(Seam.Dialogs.size(), 1u);
    EXPECT_EQ(Seam.Dialogs[0].FileName, "profile");
    const QByteArray sqt = ReadAll(Path("chosen.sqt"));
    ASSERT_GE(sqt.size(), 4);
    EXPECT_EQ(sqt.left(4), QByteArray::fromHex("03000020"));
    EXPECT_TRUE(Seam.Messages.isEmpty());
    // The dialog is gone with the command.
    EXPECT_TRUE(w->findChildren<TExportSqtFrm*>().isEmpty());

    // The sequence now runs at 4000 ms, and the window shows it afresh.
    EXPECT_EQ(w->Current()->Device.TimeIndex(), 1u);
    EXPECT_EQ(Find<QLabel>(w, "QuadripolesTxt")->text(), "10");
}

TEST_F(ExportCommandTest, ClosingTheDialogWritesNothing) {
    auto w = Show(*MakeSequence(10));
    int dialogs = 0;
    auto timer = OnModal([&](QWidget* modal) {
        ++dialogs;
        qobject_cast<QDialog*>(modal)->reject();
    });
    w->ExporttoSQTformatSolvy1Click();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(Seam.Dialogs.empty());
    EXPECT_TRUE(QDir(Home.path()).entryList({"*.sqt"}, QDir::Files).isEmpty());
}

TEST_F(ExportCommandTest, ARefusedChangedSequenceOpensNoDialog) {
    auto s = MakeSequence(10);
    auto w = Show(*s);
    w->Current()->NeedsRecompute = 1;
    int dialogs = 0;
    auto timer = OnModal([&](QWidget* modal) {
        ++dialogs;
        qobject_cast<QDialog*>(modal)->reject();
    });
    Seam.Answers = {TMsgResult::Cancel};
    w->ExporttoSQTformatSolvy1Click();
    QApplication::processEvents();
    ASSERT_EQ(Seam.Questions.size(), 1u);
    EXPECT_EQ(Seam.Questions[0].Text, "Some changes have been done after the last computation, save anyway...");
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(w->findChildren<TExportSqtFrm*>().isEmpty());

    // Accepted: the dialog opens.
    Seam.Answers = {TMsgResult::Ok};
    w->ExporttoSQTformatSolvy1Click();
    EXPECT_EQ(dialogs, 1);
}

// At 1024 x 600 every figure and every title of both sheets shows whole, measured in the fonts
// and the style the sheets draw with; where the columns do not fit, the sheet scrolls sideways.
TEST_F(SheetsTest, NoFigureOrTitleIsCut) {
    const struct {
        const char* what;
        float offset;
    } cases[] = {{"48 electrodes at 5 m", 0.0f}, {"far along the line", 1234567.0f}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        auto s = std::make_unique<TElectSequence>();
        PlaceElectrodes(*s, [] {
            std::vector<int> v;
            for (int e = 1; e <= 48; ++e) v.push_back(e);
            return v;
        }(), 5.0f, k.offset);
        s->SetArrayType(1);
        s->ComputeSpacingLevelDepths(true, kLevels);
        s->AutoGridDepthLevel();
        s->ComputeSequence(false, false);
        s->NeedsRecompute = 0;
        ASSERT_GT(s->QuadripoleCount(), 500);
        auto w = Show(*s);
        w->resize(1024, 600);
        Find<QTabWidget>(w, "PageControl1")->setCurrentWidget(Find<QWidget>(w, "ViewSheetTbs"));
        QApplication::processEvents();
        for (TStringGrid* g : {Find<TStringGrid>(w, "QuadripoleGd"), Find<TStringGrid>(w, "ElectrodeGd")}) {
            SCOPED_TRACE(g->objectName().toStdString());
            // An item view draws a cell's text inside the cell less its grid line and a margin
            // on each side; a header section, inside the header margins.
            const QFontMetrics cells(g->font()), rows(g->verticalHeader()->font());
            const int textMargin = g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1;
            const int headerMargin = g->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, g->verticalHeader());
            int total = 0, cut = 0;
            for (int c = 1; c < g->ColCount(); ++c) {
                const int width = g->ColWidth(c);
                total += width;
                EXPECT_LE(g->horizontalHeader()->sectionSizeHint(c - 1), width) << g->Cells(c, 0).toStdString();
                for (int r = 1; r < g->RowCount(); ++r)
                    if (cells.horizontalAdvance(g->Cells(c, r)) + 2 * textMargin > width - 1 && cut++ < 5)
                        ADD_FAILURE() << g->Cells(c, 0).toStdString() << " row " << r << ": "
                                      << g->Cells(c, r).toStdString() << " in " << width;
            }
            EXPECT_EQ(cut, 0);
            for (int r = 1; r < g->RowCount(); ++r)
                EXPECT_LE(rows.horizontalAdvance(g->Cells(0, r)) + 2 * headerMargin, g->verticalHeader()->width())
                    << g->Cells(0, r).toStdString();
            // The title of the number column is the corner's.
            for (QLabel* corner : g->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                if (corner->isVisible()) {
                    EXPECT_LE(corner->fontMetrics().horizontalAdvance(corner->text()), corner->contentsRect().width());
                }
            // The last column can be brought into view.
            QScrollBar* bar = g->horizontalScrollBar();
            if (total > g->viewport()->width()) {
                EXPECT_GT(bar->maximum(), 0);
            }
            bar->setValue(bar->maximum());
            const QRect last = g->visualRect(g->model()->index(0, g->model()->columnCount() - 1));
            EXPECT_LE(last.right(), g->viewport()->width());
            EXPECT_GE(last.left(), 0);
        }
        Close(w);
    }
}
