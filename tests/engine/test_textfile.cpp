#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "tests/support/ComputedLists.h"
#include "tests/engine/FileFixture.h"
#include "tests/engine/SequenceBuilders.h"

namespace fs = std::filesystem;

namespace {
class TextFile : public FileFixture {
protected:
    // Imports text written to <leaf> into a new sequence.
    std::unique_ptr<TElectSequence> Import(const std::string& text, bool expectOk = true,
                                           const std::string& leaf = "in.txt") {
        Write(Path(leaf), text);
        auto s = NewSequence();
        EXPECT_EQ(s->ImportTextFile(Path(leaf)), expectOk) << text;
        return s;
    }
};

std::vector<Abmn> List(const TElectSequence& s) {
    std::vector<Abmn> out(static_cast<std::size_t>(s.QuadripoleCount()));
    for (int q = 0; q < s.QuadripoleCount(); ++q) s.GetQuadripole(q, out[q].data());
    return out;
}

// Electrodes 1..count at X = 0, 5, 10, ... on a line, then the quadripole header.
std::string LineOfElectrodes(int count) {
    std::string t = "#\tX\tY\tZ\r\n";
    for (int k = 1; k <= count; ++k) t += std::to_string(k) + "\t" + std::to_string(5 * (k - 1)) + "\t0\t0\r\n";
    return t + "#\tA\tB\tM\tN\r\n";
}
}  // namespace

TEST_F(TextFile, ExportWritesTheThreeSections) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 3, 1, 2.5f, 1.0f, -1.0f);
    AddQuadripole(*s, Abmn{1, 2, 3, 0}, 1, 1);
    AddQuadripole(*s, Abmn{0, 0, 2, 3}, -1, 0);
    ASSERT_TRUE(s->ExportTextFile(Path("out.txt"), ","));
    EXPECT_EQ(Read(Path("out.txt")),
              "#,X,Y,Z\r\n1,-1.00,0.00,0.00\r\n2,1.50,0.00,0.00\r\n3,4.00,0.00,0.00\r\n"
              "#,A,B,M,N\r\n1,1,2,3,0\r\n2,0,0,2,3\r\n#,Level\r\n1,1\r\n2,-1\r\n");

    // A folder that does not exist: reported, nothing written.
    EXPECT_FALSE(s->ExportTextFile(Path("missing/out.txt"), ","));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0],
              "Can't save sequence with < " + Path("missing/out.txt") + " > filename\r\nNo such file or directory");
}

TEST_F(TextFile, TabRoundTripKeepsElectrodesAndQuadripoles) {
    auto s = NewSequence();
    PlaceGrid(*s, gtLine, 10, 1, 2.5f, 1.0f, 10.0f);
    AddDipoleDipoleLine(*s, 10, 2, 3);
    s->MultiChannelOptimization();  // gap fillers: level -1 in the file, 0 after import
    ASSERT_TRUE(s->ExportTextFile(Path("line.txt"), "\t"));

    auto t = NewSequence();
    ASSERT_TRUE(t->ImportTextFile(Path("line.txt")));
    EXPECT_TRUE(host.Messages.empty());
    const TElectGrid& g = t->Grid;
    EXPECT_EQ(g.GridType, gtLine);
    EXPECT_EQ(g.NX, 10);
    EXPECT_EQ(g.NY, 1);
    EXPECT_FLOAT_EQ(g.DX, 2.5f);
    EXPECT_FLOAT_EQ(g.DY, 1.0f);
    EXPECT_FLOAT_EQ(g.OffsetX, 10.0f);
    EXPECT_EQ(g.FirstElectrode, 1);
    EXPECT_EQ(g.LastElectrode, 10);
    EXPECT_EQ(g.ElectrodeCount, 10);
    EXPECT_EQ(g.ArrayType, 0);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(g.Nodes[k].IX, k);
        EXPECT_EQ(g.Nodes[k].IY, 1);
        EXPECT_FLOAT_EQ(t->Device.Electrodes[k].X, s->Device.Electrodes[k].X) << k;
    }
    EXPECT_EQ(List(*t), List(*s));
    for (int q = 0; q < t->QuadripoleCount(); ++q) {
        EXPECT_EQ(t->QuadInfo[q].Level, 0);
        EXPECT_EQ(t->QuadInfo[q].SpacingCoef, 65535);
        EXPECT_EQ(t->QuadInfo[q].Group, 1);
        EXPECT_EQ(t->QuadInfo[q].Number, q + 1);
    }
    EXPECT_EQ(t->MeasurementCycles, s->MeasurementCycles);
    EXPECT_EQ(t->GetComment(), "Create with Imported file <-- line.txt -->");
    EXPECT_EQ(t->GetSeqName(), "line");
    EXPECT_EQ(t->NeedsRecompute, 0);
    // The result is saved beside the text and opens as a sequence.
    EXPECT_STREQ(t->FileName, Path("line.sqz").c_str());
    TElectSequence* opened = nullptr;
    EXPECT_NO_THROW(opened = new TElectSequence(Path("line.sqz")));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(List(*opened), List(*t));
    delete opened;
}

TEST_F(TextFile, FullListRoundTripKeepsAll16000) {
    auto s = NewSequence();
    PlaceLineOfElectrodes(*s, 1319, 5.0f);
    AddDipoleDipoleLine(*s, 1319, 3, 6);
    ASSERT_EQ(s->QuadripoleCount(), kMaxQuadripoles);
    ASSERT_TRUE(s->ExportTextFile(Path("full.txt"), "\t"));
    auto t = NewSequence();
    ASSERT_TRUE(t->ImportTextFile(Path("full.txt")));
    EXPECT_EQ(t->QuadripoleCount(), kMaxQuadripoles);  // including the one numbered 16000
    EXPECT_EQ(List(*t), List(*s));
    EXPECT_EQ(t->Grid.NX, 1319);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(TextFile, SurfaceAndBoreholeGridsAreInferred) {
    struct TCase {
        TGridType type;
        int nx, ny;
        float dx, dy, offsetX, offsetY;
    };
    for (const TCase& c : {TCase{gtSurface, 4, 3, 5.0f, 2.0f, 1.0f, -2.0f},
                           TCase{gtBorehole, 2, 5, 3.0f, 1.5f, 0.0f, -10.0f}}) {
        auto s = NewSequence();
        PlaceGrid(*s, c.type, c.nx, c.ny, c.dx, c.dy, c.offsetX, c.offsetY);
        ASSERT_TRUE(s->ExportTextFile(Path("grid.txt"), ","));
        auto t = NewSequence();
        ASSERT_TRUE(t->ImportTextFile(Path("grid.txt")));
        const TElectGrid& g = t->Grid;
        EXPECT_EQ(g.GridType, c.type);
        EXPECT_EQ(g.NX, c.nx);
        EXPECT_EQ(g.NY, c.ny);
        EXPECT_FLOAT_EQ(g.DX, c.dx);
        EXPECT_FLOAT_EQ(g.DY, c.dy);
        EXPECT_FLOAT_EQ(g.OffsetX, c.offsetX);
        EXPECT_FLOAT_EQ(g.OffsetY, c.offsetY);
        for (int k = 1; k <= c.nx * c.ny; ++k) {
            EXPECT_EQ(g.Nodes[k].IX, s->Grid.Nodes[k].IX) << k;
            EXPECT_EQ(g.Nodes[k].IY, s->Grid.Nodes[k].IY) << k;
        }
    }
}

TEST_F(TextFile, ElectrodesAreSnappedToTheInferredGrid) {
    auto s = Import("# X Y Z\n1 0 0 0\n2 5 0 0\n3 10.2 0 0\n4 15 0 0\n# A B M N\n1 1 2 3 4\n");
    // The smallest gap, 4.8, only starts the estimate: the span of 15 m over three gaps gives the
    // spacing, and the stray electrode moves onto its column.
    EXPECT_FLOAT_EQ(s->Grid.DX, 5.0f);
    EXPECT_EQ(s->Grid.NX, 4);
    const float expected[] = {0.0f, 5.0f, 10.0f, 15.0f};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(s->Grid.Nodes[k].IX, k);
        EXPECT_NEAR(s->Device.Electrodes[k].X, expected[k - 1], 1e-4) << k;
    }
}

TEST_F(TextFile, DecimalSpacingGivesOneColumnPerElectrode) {
    // 0.1 m apart, not exact in single precision: still one column each.
    std::string t = "# X Y Z\n";
    for (int k = 1; k <= 48; ++k) {
        char x[16];
        std::snprintf(x, sizeof x, "%.2f", 0.1 * (k - 1));
        t += std::to_string(k) + " " + x + " 0 0\n";
    }
    auto s = Import(t + "# A B M N\n");
    EXPECT_EQ(s->Grid.NX, 48);
    for (int k = 1; k <= 48; ++k) EXPECT_EQ(s->Grid.Nodes[k].IX, k) << k;
}

TEST_F(TextFile, GridTypeFromTheSumsOfYAndZ) {
    struct TCase {
        const char* what;
        const char* y;
        const char* z;
        TGridType type;
    };
    const TCase cases[] = {
        {"no Y, no Z", "0", "0", gtLine},
        {"Y summing to 0.009", "0.003", "0", gtLine},
        {"Y summing to 0.012", "0.004", "0", gtSurface},
        {"Z summing to 0.03", "0", "0.01", gtBorehole},
        {"Y and Z both above", "0.01", "0.01", gtBorehole},
    };
    for (const TCase& c : cases) {
        std::string t = "# X Y Z\n";
        for (int k = 1; k <= 3; ++k) t += std::to_string(k) + " " + std::to_string(5 * k) + " " + c.y + " " + c.z + "\n";
        auto s = Import(t + "# A B M N\n");
        EXPECT_EQ(s->Grid.GridType, c.type) << c.what;
    }
}

TEST_F(TextFile, ChainedRowsBlanksQuotesAndTextBeforeTheHeader) {
    auto s = Import(
        "Survey of the north field, 2026\r\n"
        "\"#\",\"X\",\"Y\",\"Z\"\r\n"
        "\"1\",\"0.0\",0,0\r\n"
        "2,  5 ,0,0\r\n"
        "\"3\" \"10\"  \"0\"\t\"0\"\r\n"
        "4\t\t15   0 0\r\n"
        "5,20,0,0\r\n6,25,0,0\r\n"
        "# A B M N\r\n"
        "1   1 2\t3 4 5 6\r\n"
        "2,\"1\",2,\"3\",\"\"\r\n"
        "3,2,,4,5\r\n"
        "# Level\r\n1 0\r\n");
    EXPECT_EQ(s->Grid.ElectrodeCount, 6);
    EXPECT_EQ(s->Grid.NX, 6);
    // 1 1 2 3 4 5 6 is three quadripoles; an empty or non-numeric field is the remote electrode.
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}, {1, 2, 4, 5}, {1, 2, 5, 6}, {1, 2, 3, 0}, {2, 0, 4, 5}}));
    EXPECT_EQ(s->MeasurementCycles, 3);
}

TEST_F(TextFile, SingleElectrode) {
    auto s = Import("# X Y Z\n7 12.5 0 0\n# A B M N\n");
    EXPECT_FLOAT_EQ(s->Grid.DX, 1e34f);
    EXPECT_EQ(s->Grid.NX, 1);
    EXPECT_FLOAT_EQ(s->Grid.OffsetX, 12.5f);
    EXPECT_EQ(s->Grid.FirstElectrode, 7);
    EXPECT_EQ(s->Grid.LastElectrode, 7);
    EXPECT_EQ(s->Grid.Nodes[7].IX, 1);
    EXPECT_EQ(s->QuadripoleCount(), 0);
}

TEST_F(TextFile, NumbersOutsideTheTablesAreLeftOut) {
    auto s = Import(
        "# X Y Z\n1 0 0 0\n2 5 0 0\n3 10 0 0\n4 15 0 0\n"
        "1320 20 0 0\n-3 25 0 0\nx 30 0 0\n99999999999999999999 35 0 0\n"
        "# A B M N\n"
        "1 1 2 3 1320\n2 1 -2 3 4\n3 1 2 3 4\n-1 1 2 3 4\n16001 1 2 3 4\n4 65537 2 3 4\n");
    EXPECT_EQ(s->Grid.LastElectrode, 4);
    EXPECT_EQ(s->Grid.ElectrodeCount, 4);
    EXPECT_EQ(s->Grid.NX, 4);
    EXPECT_EQ(List(*s), (std::vector<Abmn>{{1, 2, 3, 4}}));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], Path("in.txt") +
                                    "\r\n3 quadripole lines with electrode numbers outside 0..1319 were left out"
                                    "\r\n2 quadripole lines numbered outside 0..16000 were left out");
}

TEST_F(TextFile, StopsAddingAt16000Quadripoles) {
    std::string t = LineOfElectrodes(8);
    for (int q = 1; q <= kMaxQuadripoles - 1; ++q) t += std::to_string(q) + "\t1\t2\t3\t4\r\n";
    t += "16000\t1\t2\t3\t4\t5\t6\r\n";  // three quadripoles, two of them over the limit
    t += "16001\t1\t2\t3\t4\r\n16002\t1\t2\t3\t4\t5\r\n";  // numbered past the export's numbers
    auto s = Import(t);
    EXPECT_EQ(s->QuadripoleCount(), kMaxQuadripoles);
    EXPECT_EQ(List(*s).back(), (Abmn{1, 2, 3, 4}));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], Path("in.txt") +
                                    "\r\n2 quadripole lines numbered outside 0..16000 were left out"
                                    "\r\n2 quadripoles beyond the limit of 16000 were left out");
    EXPECT_TRUE(fs::exists(Path("in.sqz")));
}

TEST_F(TextFile, RefusedFilesWriteNothingAndSayWhy) {
    struct TCase {
        const char* what;
        std::string text;
        const char* message;  // first line
        const char* detail;   // found in the third line
    };
    const TCase cases[] = {
        {"empty file", "", "Coordinate file error", "no coordinate header"},
        {"no header", "1 0 0 0\n2 5 0 0\n", "Coordinate file error", "no coordinate header"},
        {"other header first", "# Level\n# X Y Z\n1 0 0 0\n# A B M N\n", "Coordinate file error", "line 1"},
        {"non-numeric coordinate", "# X Y Z\n1 0 0 0\n2 5 abc 0\n# A B M N\n", "Coordinate file error", "\"abc\""},
        {"not a finite number", "# X Y Z\n1 nan 0 0\n# A B M N\n", "Coordinate file error", "\"nan\""},
        {"beyond single precision", "# X Y Z\n1 1e39 0 0\n# A B M N\n", "Coordinate file error", "\"1e39\""},
        {"no electrodes", "# X Y Z\n# A B M N\n1 1 2 3 4\n", "Coordinate file error", "no electrode"},
        {"grid beyond the node map", "# X Y Z\n1 0 0 0\n2 0.002 0 0\n3 100 0 0\n# A B M N\n",
         "Coordinate file error", "50001 columns"},
        {"no quadripole header", "# X Y Z\n1 0 0 0\n", "Quadripole file error", "no quadripole header"},
        {"other header first", "# X Y Z\n1 0 0 0\n# Level\n# A B M N\n", "Quadripole file error", "line 3"},
    };
    const std::string kept = "an older sequence";
    for (const TCase& c : cases) {
        host.Messages.clear();
        Write(Path("old.sqz"), kept);
        auto s = Import(c.text, false, "new.txt");
        ASSERT_EQ(host.Messages.size(), 1u) << c.what;
        const std::string head = std::string(c.message) + "\r\n" + Path("new.txt") + "\r\n";
        EXPECT_EQ(host.Messages[0].substr(0, head.size()), head) << c.what;
        EXPECT_NE(host.Messages[0].find(c.detail, head.size()), std::string::npos) << c.what << ": " << host.Messages[0];
        EXPECT_FALSE(fs::exists(Path("new.sqz"))) << c.what;

        // Refused as old.txt: the existing old.sqz is not touched.
        host.Messages.clear();
        Import(c.text, false, "old.txt");
        EXPECT_EQ(Read(Path("old.sqz")), kept) << c.what;
    }

    // A missing file: false, no message, nothing written.
    host.Messages.clear();
    auto s = NewSequence();
    EXPECT_FALSE(s->ImportTextFile(Path("absent.txt")));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_FALSE(fs::exists(Path("absent.sqz")));
}

TEST_F(TextFile, UnwritableResultIsReportedAndLeavesNoPartialFile) {
    fs::create_directories(Path("line.sqz"));  // the .sqz name is taken by a folder
    auto s = Import(LineOfElectrodes(4) + "1 1 2 3 4\n", false, "line.txt");
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Can't save sequence with < " + Path("line.sqz") + " > filename\r\nIt is not a plain file");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"line.sqz", "line.txt"}));
    EXPECT_TRUE(fs::is_directory(Path("line.sqz")));
}
