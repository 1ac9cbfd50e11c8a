// The export dialog on the offscreen platform: every change goes into the block and the
// controls are redrawn from it.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableWidget>

#include <filesystem>

#include "tests/export/ExportTest.h"
#include "export/ExportUpDown.h"
#include "export/Exportsqt.h"

namespace {

class ExportDialogTest : public ExportTest {
protected:
    std::unique_ptr<TExportSqtFrm> Dlg;

    // As the main window's export command does: model loaded, then shown.
    void Open() {
        Dlg = std::make_unique<TExportSqtFrm>(nullptr, Seq.get());
        Dlg->Solvy()->LoadFromSequence();
        Dlg->show();
    }
    template <typename T = QWidget>
    T* W(const char* name) {
        T* w = Dlg->findChild<T*>(name);
        EXPECT_NE(nullptr, w) << name;
        return w;
    }
    // What the user does: pick an item, type and leave an edit, click.
    void Choose(const char* combo, int index) {
        QComboBox* c = W<QComboBox>(combo);
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
    void Leave(const char* edit, const QString& text) {
        QLineEdit* e = W<QLineEdit>(edit);
        e->setText(text);
        emit e->editingFinished();
    }
    void Click(const char* button) { W<QAbstractButton>(button)->click(); }
    void SelectTab(int index) { W<QTabBar>("AutoManControlTab")->setCurrentIndex(index); }
    QString Text(const char* name) {
        if (auto* c = Dlg->findChild<QComboBox*>(name)) return c->currentText();
        if (auto* e = Dlg->findChild<QLineEdit*>(name)) return e->text();
        if (auto* l = Dlg->findChild<QLabel*>(name)) return l->text();
        ADD_FAILURE() << name;
        return {};
    }
    bool Shown(const char* name) { return !W(name)->isHidden(); }
    QTableWidgetItem* Cell(int window) { return W<QTableWidget>("TmStg")->item(window % 5 + 2, window / 5); }
    TSolvyConfig& Block() { return Dlg->Solvy()->Config; }
};

TEST_F(ExportDialogTest, FormCarriesTheComponentNames) {
    Open();
    for (const char* name :
         {"FilenameLbl", "AutoManControlTab", "ManualParaPanel", "ELArraySolvyCb", "EditableInManualModeOnlyLbl1",
          "EditableInManualModeOnlyLbl2", "StartAcquisitionConfigurationGB", "WaveFormCB", "ModeReceiverOnlyCb",
          "StackMinEdn", "StackMinEdnUpDown", "StackMaxEdn", "StackMaxEdnUpDown", "TimeCb", "IpTimingCb",
          "TriggerCb", "TypeTxregulationPanel", "TypeOfTxRegulationCb", "InputSignalLvlPanel", "InputSignalLvlCb",
          "VabMaxPanel", "VabMaxEdt", "VabMaxEdtUpDown", "FixedVabPanel", "VabRegulatedCb", "FixedIabPanel",
          "FixedIabEdt", "UpDown1", "TypeRxregulationPanel", "TxIabEdt", "QRPanel", "QrMaxEdt", "QrMaxEdtUpDown",
          "QMPanel", "QmMaxEdt", "QmMaxEdtUpDown", "MvPerVLbl", "PercentLbl", "TimingGB", "MdlyEdt", "VdlyEdt",
          "TmStg", "IpDeviationUnitRdGb", "PowerLineRejectRdGb", "NoiseRejectionCb", "FullwaveDataCb",
          "GpsStampedChkB", "BitBtn1"})
        W(name);
    EXPECT_EQ("Export to .SQT format (Solvy)", Dlg->windowTitle());
    EXPECT_EQ(kSolvyArrayNames, W<QComboBox>("ELArraySolvyCb")->count());
    EXPECT_TRUE(W<QPushButton>("BitBtn1")->isDefault());
}

TEST_F(ExportDialogTest, OpensOnManualWithTheLoadedBlockShown) {
    Seq->SetFileName("  /data/Line 1.sqz ");
    Seq->Grid.ArrayType = 6;
    Open();
    EXPECT_EQ("/data/Line 1.sqt", Text("FilenameLbl"));
    EXPECT_EQ(3, W<QTabBar>("AutoManControlTab")->currentIndex());
    EXPECT_EQ("Wenner-Schlum", Text("ELArraySolvyCb"));
    EXPECT_TRUE(W("StartAcquisitionConfigurationGB")->isEnabled());
    EXPECT_FALSE(Shown("EditableInManualModeOnlyLbl1"));
    EXPECT_FALSE(Shown("EditableInManualModeOnlyLbl2"));
    EXPECT_EQ("3", Text("StackMinEdn"));
    EXPECT_EQ("6", Text("StackMaxEdn"));
    // A new sequence is Rho only at 500 ms with a Vmn choice.
    EXPECT_EQ("(+-) 100% duty cycle", Text("WaveFormCB"));
    EXPECT_FALSE(W<QCheckBox>("ModeReceiverOnlyCb")->isChecked());
    EXPECT_TRUE(Shown("QRPanel"));
    EXPECT_FALSE(Shown("QMPanel"));
    EXPECT_EQ("1", Text("QrMaxEdt"));
    EXPECT_TRUE(Shown("TypeTxregulationPanel"));
    EXPECT_FALSE(Shown("TypeRxregulationPanel"));
    EXPECT_EQ("Vab regulated", Text("TypeOfTxRegulationCb"));
    EXPECT_TRUE(Shown("InputSignalLvlPanel"));
    EXPECT_EQ("Rho Level", Text("InputSignalLvlCb"));
    EXPECT_TRUE(Shown("VabMaxPanel"));
    EXPECT_EQ("800", Text("VabMaxEdt"));
    EXPECT_FALSE(Shown("FixedVabPanel"));
    EXPECT_FALSE(Shown("FixedIabPanel"));
    EXPECT_EQ("500", Text("TimeCb"));
    EXPECT_FALSE(W("IpTimingCb")->isEnabled());
    EXPECT_EQ("arithmetic", Text("IpTimingCb"));
    EXPECT_FALSE(W("MdlyEdt")->isEnabled());
    EXPECT_EQ("0", Text("MdlyEdt"));
    EXPECT_EQ("280", Text("VdlyEdt"));
    EXPECT_EQ("Synchro Auto", Text("TriggerCb"));
    EXPECT_EQ("Standard ( Lowpass 10 Hz )", Text("NoiseRejectionCb"));
    EXPECT_TRUE(W<QRadioButton>("PowerLineReject50Rb")->isChecked());
    EXPECT_EQ("Not recorded", Text("FullwaveDataCb"));
    EXPECT_FALSE(Shown("GpsStampedChkB"));
    QTableWidget* g = W<QTableWidget>("TmStg");
    EXPECT_EQ(0, g->rowHeight(1));
    const char* titles[] = {"TM 1 / 5", "TM 6 / 10", "TM 11 / 15", "TM 16 / 20"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(titles[c], g->item(0, c)->text());
}

TEST_F(ExportDialogTest, AutomaticTabCopiesItsPresetAndLocksTheParameters) {
    Open();
    SelectTab(1);   // "Auto. fast IP"
    EXPECT_EQ(0, std::memcmp(Bytes(Block()), SolvyPreset(ckAutoFastIP), kSolvyPresetSize));
    EXPECT_FALSE(W("StartAcquisitionConfigurationGB")->isEnabled());
    EXPECT_TRUE(Shown("EditableInManualModeOnlyLbl1"));
    EXPECT_TRUE(Shown("EditableInManualModeOnlyLbl2"));
    EXPECT_EQ("500", Text("TimeCb"));
    EXPECT_EQ("arithmetic", Text("IpTimingCb"));
    EXPECT_EQ("(+-) 100% duty cycle", Text("WaveFormCB"));
    EXPECT_EQ("Iab regulated", Text("TypeOfTxRegulationCb"));
    EXPECT_EQ("IP Level", Text("InputSignalLvlCb"));
    EXPECT_EQ("4", Text("StackMinEdn"));
    EXPECT_EQ("16", Text("StackMaxEdn"));
    // Noise filter and full-wave still count on an automatic tab.
    Choose("NoiseRejectionCb", 2);
    EXPECT_EQ(4u, Block().Filter());
    EXPECT_EQ(unsigned(ckAutoFastIP), Block().Kind());
}

TEST_F(ExportDialogTest, WaveFormReceiverAndRegulationSetTimeAndWindowMode) {
    struct Row {
        int wave;         // WaveFormCB: 0 = 100 %, 1 = 50 %
        bool receiver;
        int time;         // TimeCb
        int regulation;   // TypeOfTxRegulationCb
        int windows;      // IpTimingCb
        unsigned waveMode, timeCode, windowMode;
    };
    const Row rows[] = {
        {0, false, 0, 0, 0, 1, 1, wmFullDuty},           // 8000 ms becomes 4000 ms
        {0, false, 5, 1, 0, 1, 5, wmFullDutyCurrent},    // Iab regulated
        {0, false, 2, 3, 0, 1, 2, wmFullDutyCurrent},    // set fixed Iab
        {0, false, 3, 2, 0, 1, 3, wmFullDuty},
        {0, true, 5, 0, 0, 3, 4, wmFullDutyCurrent},     // receiver only: no 250 ms either
        {0, true, 0, 0, 0, 3, 1, wmFullDutyCurrent},
        {1, false, 5, 0, 3, 0, 4, wmColeCole},           // 250 ms becomes 500 ms
        {1, false, 0, 1, 1, 0, 0, wmSemiLog},
        {1, true, 3, 0, 2, 2, 3, wmLog},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "wave " << r.wave << " receiver " << r.receiver << " time " << r.time
                                        << " regulation " << r.regulation << " windows " << r.windows);
        Open();
        W<QComboBox>("WaveFormCB")->setCurrentIndex(r.wave);
        W<QCheckBox>("ModeReceiverOnlyCb")->setChecked(r.receiver);
        W<QComboBox>("TimeCb")->setCurrentIndex(r.time);
        W<QComboBox>("TypeOfTxRegulationCb")->setCurrentIndex(r.regulation);
        W<QComboBox>("IpTimingCb")->setCurrentIndex(r.windows);
        Dlg->FormToSolvy();
        EXPECT_EQ(r.waveMode, Block().WaveMode());
        EXPECT_EQ(r.timeCode, Block().TimeCode());
        EXPECT_EQ(r.windowMode, Block().WindowMode());
        EXPECT_EQ(0, std::memcmp(Block().IPTiming, SolvyTimingRow(r.timeCode, r.windowMode), sizeof(Block().IPTiming)));
        EXPECT_EQ(unsigned(ckManual), Block().Kind());
        // The redraw shows what was stored.
        EXPECT_EQ(int(r.timeCode), W<QComboBox>("TimeCb")->currentIndex());
        EXPECT_EQ(r.windowMode < 5, W("IpTimingCb")->isEnabled());
        EXPECT_EQ(r.receiver, Shown("TypeRxregulationPanel"));
        EXPECT_EQ(!r.receiver, Shown("TypeTxregulationPanel"));
        EXPECT_EQ(r.wave == 0, Shown("QRPanel"));
        EXPECT_EQ(r.wave == 1, Shown("QMPanel"));
    }
}

TEST_F(ExportDialogTest, FullDutyAt8000MsShows4000) {
    Open();
    Choose("WaveFormCB", 0);
    Choose("TimeCb", 0);
    EXPECT_EQ(1u, Block().TimeCode());
    EXPECT_EQ("4000", Text("TimeCb"));
}

TEST_F(ExportDialogTest, NewTimeReturnsToArithmeticWindows) {
    Seq->SetRhoIP(true);
    Open();
    Choose("IpTimingCb", 3);
    EXPECT_EQ(unsigned(wmColeCole), Block().WindowMode());
    Choose("TimeCb", 3);
    EXPECT_EQ("arithmetic", Text("IpTimingCb"));
    EXPECT_EQ(unsigned(wmArithmetic), Block().WindowMode());
    EXPECT_EQ(0, std::memcmp(Block().IPTiming, SolvyTimingRow(3, wmArithmetic), sizeof(Block().IPTiming)));
}

TEST_F(ExportDialogTest, ProgrammableWindowsAreStoredOnlyWhenTheyFit) {
    Seq->SetRhoIP(true);
    Open();
    Choose("TimeCb", 2);        // 2000 ms: cycle 200 units
    Choose("IpTimingCb", 4);    // starts from the arithmetic windows: M delay 24, 20 x 8
    ASSERT_EQ(unsigned(wmProgrammable), Block().WindowMode());
    EXPECT_TRUE(W("MdlyEdt")->isEnabled());
    EXPECT_TRUE(W("TmStg")->isEnabled());
    EXPECT_EQ("240", Text("MdlyEdt"));
    EXPECT_EQ("80", Cell(19)->text());

    // Mdly 240, twenty windows of 80 ms: 24 + 8 + 160 = 192 <= 200.
    Leave("VdlyEdt", "1000");
    EXPECT_EQ(100u, Block().IPTiming[1]);
    EXPECT_EQ(24u, Block().IPTiming[2]);
    for (int k = 0; k < 20; ++k) EXPECT_EQ(8u, Block().IPTiming[3 + k]);
    EXPECT_EQ(0, Seam.Beeps);

    // Mdly 500: the sum passes 200 at window 18; one beep each for 18, 19, 20, nothing stored.
    Leave("MdlyEdt", "500");
    EXPECT_EQ(3, Seam.Beeps);
    EXPECT_EQ(24u, Block().IPTiming[2]);
    EXPECT_EQ("240", Text("MdlyEdt"));

    // Vdly 1900: 200 - 12 < 190.
    Seam.Beeps = 0;
    Leave("VdlyEdt", "1900");
    EXPECT_EQ(100u, Block().IPTiming[1]);
    EXPECT_EQ("1000", Text("VdlyEdt"));
    EXPECT_EQ(0, Seam.Beeps);

    // A negative width is refused.
    Cell(3)->setText("-80");
    EXPECT_EQ(8u, Block().IPTiming[3 + 3]);
    EXPECT_EQ("80", Cell(3)->text());

    // A window of 0 ends the list: the later cells are not read. Cells count in tens of ms.
    Cell(1)->setText("125");
    EXPECT_EQ(12u, Block().IPTiming[3 + 1]);
    Cell(2)->setText("0");
    EXPECT_EQ(12u, Block().IPTiming[3 + 1]);
    for (int k = 2; k < 20; ++k) EXPECT_EQ(0u, Block().IPTiming[3 + k]) << "window " << k + 1;
    EXPECT_EQ("0", Cell(10)->text());
}

TEST_F(ExportDialogTest, ProgrammableTimingIsKeptWhileTheGridIsLocked) {
    Seq->SetRhoIP(true);
    Open();
    // The block was saved with programmed windows the grid has not shown yet.
    Block().SetWindowMode(wmProgrammable);
    Block().IPTiming[5] = 33;
    W<QComboBox>("IpTimingCb")->setCurrentIndex(4);
    ASSERT_FALSE(W("MdlyEdt")->isEnabled());
    Dlg->FormToSolvy();
    EXPECT_EQ(33u, Block().IPTiming[5]);
    EXPECT_TRUE(W("MdlyEdt")->isEnabled());
}

TEST_F(ExportDialogTest, StackEditsAreClampedOnLeaving) {
    struct Row {
        const char* edit;
        const char* typed;
        const char* shown;
        int beeps;
        std::uint32_t min, max;
    };
    const Row rows[] = {
        {"StackMinEdn", "0", "1", 1, 1, 6},
        {"StackMinEdn", "abc", "1", 1, 1, 6},
        {"StackMinEdn", "5", "5", 0, 5, 6},
        {"StackMinEdn", "1000", "999", 1, 999, 999},   // the maximum follows a larger minimum
        {"StackMaxEdn", "12", "12", 0, 3, 12},
        {"StackMaxEdn", "-4", "3", 1, 3, 3},    // clamped to 1, then raised to the minimum
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.edit << " " << r.typed);
        Open();
        Seam.Beeps = 0;
        Leave(r.edit, r.typed);
        EXPECT_EQ(r.beeps, Seam.Beeps);
        EXPECT_EQ(r.shown, Text(r.edit));
        EXPECT_EQ(r.min, Block().StackMin);
        EXPECT_EQ(r.max, Block().StackMax);
    }
}

TEST_F(ExportDialogTest, StackTextNotYetLeftIsReadWithinRange) {
    Open();
    SelectTab(0);
    W<QLineEdit>("StackMinEdn")->setText("-5");   // typed, the edit not left
    SelectTab(3);
    EXPECT_EQ(1u, Block().StackMin);
    EXPECT_EQ(6u, Block().StackMax);
}

TEST_F(ExportDialogTest, ErrorLimitEditsAreClampedOnLeaving) {
    struct Row {
        const char* edit;
        const char* typed;
        const char* shown;
        int beeps;
        double qr, qm;
    };
    const Row rows[] = {
        {"QrMaxEdt", "abc", "0", 1, 0.0, 0.0},
        {"QrMaxEdt", "150", "99", 1, 99.0, 0.0},
        {"QrMaxEdt", "12.5", "12.5", 0, 12.5, 0.0},
        {"QrMaxEdt", "nan", "0", 1, 0.0, 0.0},
        {"QmMaxEdt", "-3", "0", 1, 1.0, 0.0},
        {"QmMaxEdt", "7.25", "7.25", 0, 1.0, 7.25},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.edit << " " << r.typed);
        Open();
        Seam.Beeps = 0;
        Leave(r.edit, r.typed);
        EXPECT_EQ(r.beeps, Seam.Beeps);
        EXPECT_EQ(r.shown, Text(r.edit));
        EXPECT_EQ(r.qr, Block().QRMax);
        EXPECT_EQ(r.qm, Block().QMMax);
    }
}

TEST_F(ExportDialogTest, UpDownsStayWithinTheStoredStacks) {
    Open();   // stacks 3 and 6
    auto* minUp = W<TExportUpDown>("StackMinEdnUpDown");
    W<QLineEdit>("StackMinEdn")->setText("5");
    minUp->stepBy(1);
    EXPECT_EQ("6", Text("StackMinEdn"));
    minUp->stepBy(1);
    EXPECT_EQ("6", Text("StackMinEdn"));   // not above the stored maximum

    Open();
    auto* maxUp = W<TExportUpDown>("StackMaxEdnUpDown");
    maxUp->stepBy(-5);
    EXPECT_EQ("3", Text("StackMaxEdn"));   // not below the stored minimum
    maxUp->stepBy(2);
    EXPECT_EQ("5", Text("StackMaxEdn"));
    // Stepping only edits the text; leaving the edit stores it.
    EXPECT_EQ(6u, Block().StackMax);
    emit W<QLineEdit>("StackMaxEdn")->editingFinished();
    EXPECT_EQ(5u, Block().StackMax);

    auto* vabUp = W<TExportUpDown>("VabMaxEdtUpDown");
    vabUp->stepBy(1);
    EXPECT_EQ("800", Text("VabMaxEdt"));
    vabUp->stepBy(-3);
    EXPECT_EQ("770", Text("VabMaxEdt"));
}

TEST_F(ExportDialogTest, RegulationShowsItsPanels) {
    struct Row {
        int regulation, voltage;
        bool input, vabMax, fixedVab, fixedIab;
    };
    const Row rows[] = {
        {0, 0, true, true, false, false},
        {1, 0, true, true, false, false},
        {2, 0, false, false, true, false},
        {2, 7, false, true, true, false},   // "Vab maximun" also shows the maximum
        {3, 0, false, false, false, true},
        {3, 7, false, true, false, true},
        {4, 0, false, false, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "regulation " << r.regulation << " voltage " << r.voltage);
        Open();
        W<QComboBox>("VabRegulatedCb")->setCurrentIndex(r.voltage);
        Choose("TypeOfTxRegulationCb", r.regulation);
        EXPECT_EQ(unsigned(r.regulation), Block().Regulation());
        EXPECT_EQ(unsigned(r.voltage), Block().VabIndex());
        EXPECT_EQ(r.input, Shown("InputSignalLvlPanel"));
        EXPECT_EQ(r.vabMax, Shown("VabMaxPanel"));
        EXPECT_EQ(r.fixedVab, Shown("FixedVabPanel"));
        EXPECT_EQ(r.fixedIab, Shown("FixedIabPanel"));
    }
}

TEST_F(ExportDialogTest, CurrentAndVoltageEntries) {
    Open();
    Choose("TypeOfTxRegulationCb", 3);
    EXPECT_EQ("1000", Text("FixedIabEdt"));   // 1000000 uA
    Leave("FixedIabEdt", "250");
    EXPECT_EQ(250000.0f, Block().Current);
    Leave("VabMaxEdt", "1e300");   // beyond a 32-bit float
    EXPECT_EQ(std::numeric_limits<float>::max(), Block().VabMax);
    Leave("VabMaxEdt", "400");
    EXPECT_EQ(400.0f, Block().VabMax);
    Choose("InputSignalLvlCb", 1);
    EXPECT_EQ(2u, Block().InputLevel());
    // Receiver only takes the current from its own entry.
    Click("ModeReceiverOnlyCb");
    EXPECT_EQ(3u, Block().WaveMode());
    EXPECT_EQ("250", Text("TxIabEdt"));
    Leave("TxIabEdt", "12.345");
    EXPECT_FLOAT_EQ(12345.0f, Block().Current);
    EXPECT_EQ("12.35", Text("TxIabEdt"));
}

TEST_F(ExportDialogTest, HiddenEntriesKeepTheLoadedValues) {
    TSolvyConfig saved = SolvyDefaultConfig();
    saved.SetVabIndex(5);
    saved.Current = 1500000.0f;
    saved.VabMax = 600.0f;
    saved.QRMax = 4.0;
    Store(Image(saved));
    Seq->SetRhoIP(true);   // half duty: the resistivity limit is not shown
    Seq->SetVmn(-1);
    Seq->SetVab(2);        // fixed "50 V": neither Vab max nor the current is shown
    Open();
    ASSERT_FALSE(Shown("VabMaxPanel"));
    ASSERT_FALSE(Shown("FixedIabPanel"));
    ASSERT_FALSE(Shown("QRPanel"));
    Choose("TriggerCb", 1);
    EXPECT_EQ(600.0f, Block().VabMax);
    EXPECT_EQ(1500000.0f, Block().Current);
    EXPECT_EQ(0.0, Block().QRMax);   // the sequence's own choice of limit
    EXPECT_EQ(2u, Block().VabIndex());
    // Switching to a regulation that shows them offers the kept values.
    Choose("TypeOfTxRegulationCb", 3);
    EXPECT_EQ("1500", Text("FixedIabEdt"));
    EXPECT_EQ(1500000.0f, Block().Current);
}

TEST_F(ExportDialogTest, TextThatIsNotANumberStopsTheUpdate) {
    Open();
    Click("ModeReceiverOnlyCb");
    const float before = Block().Current;
    Leave("TxIabEdt", "abc");
    EXPECT_EQ(QStringList{"'abc' is not a valid floating point value"}, Seam.Messages);
    EXPECT_EQ(before, Block().Current);
    EXPECT_EQ("abc", Text("TxIabEdt"));
    Leave("TxIabEdt", "0.5");
    EXPECT_EQ(500.0f, Block().Current);
    EXPECT_EQ(1, Seam.Messages.size());
}

TEST_F(ExportDialogTest, IPDeviationUnitSwitchesTheLabel) {
    Seq->SetRhoIP(true);
    Open();
    EXPECT_TRUE(Shown("MvPerVLbl"));
    EXPECT_FALSE(Shown("PercentLbl"));
    Click("IpDeviationUnitPercentRb");
    EXPECT_EQ(1u, Block().DeviationUnit());
    EXPECT_FALSE(Shown("MvPerVLbl"));
    EXPECT_TRUE(Shown("PercentLbl"));
    Choose("TriggerCb", 3);
    EXPECT_EQ(3u, Block().Trigger());
}

TEST_F(ExportDialogTest, NoiseFilterAndMains) {
    struct Row {
        int noise;
        bool sixty;
        unsigned filter;
        bool mainsShown;
    };
    const Row rows[] = {
        {0, false, 0, true}, {0, true, 1, true}, {1, false, 2, true},
        {1, true, 3, true},  {2, true, 4, false}, {3, false, 5, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "noise " << r.noise << " 60 Hz " << r.sixty);
        Open();
        W<QRadioButton>(r.sixty ? "PowerLineReject60Rb" : "PowerLineReject50Rb")->setChecked(true);
        Choose("NoiseRejectionCb", r.noise);
        EXPECT_EQ(r.filter, Block().Filter());
        EXPECT_EQ(0xF8u, Block().Byte0 & 0xF8u);
        EXPECT_EQ(r.mainsShown, Shown("PowerLineRejectRdGb"));
        EXPECT_EQ(r.sixty && r.mainsShown, W<QRadioButton>("PowerLineReject60Rb")->isChecked());
    }
}

TEST_F(ExportDialogTest, FullWaveRecording) {
    Open();
    Choose("FullwaveDataCb", 1);
    EXPECT_EQ(1u, Block().FullWave());
    EXPECT_TRUE(Shown("GpsStampedChkB"));
    Click("GpsStampedChkB");
    EXPECT_EQ(2u, Block().FullWave());
    Choose("FullwaveDataCb", 2);
    EXPECT_EQ(4u, Block().FullWave());
    Click("GpsStampedChkB");
    EXPECT_EQ(3u, Block().FullWave());
    Click("GpsStampedChkB");
    Choose("FullwaveDataCb", 0);
    EXPECT_EQ(0u, Block().FullWave());
    EXPECT_FALSE(Shown("GpsStampedChkB"));
    EXPECT_FALSE(W<QCheckBox>("GpsStampedChkB")->isChecked());
}

TEST_F(ExportDialogTest, AutomaticConfigurationReopensLockedUntilAChange) {
    TSolvyConfig saved = SolvyDefaultConfig();
    std::memcpy(&saved, SolvyPreset(ckAutoStandardIP), kSolvyPresetSize);
    Store(Image(saved));
    Open();
    EXPECT_EQ(3, W<QTabBar>("AutoManControlTab")->currentIndex());
    EXPECT_EQ(unsigned(ckAutoStandardIP), Block().Kind());
    EXPECT_FALSE(W("StartAcquisitionConfigurationGB")->isEnabled());
    EXPECT_TRUE(Shown("EditableInManualModeOnlyLbl1"));
    EXPECT_TRUE(W("NoiseRejectionCb")->isEnabled());
    Choose("NoiseRejectionCb", 1);
    EXPECT_EQ(unsigned(ckManual), Block().Kind());
    EXPECT_TRUE(W("StartAcquisitionConfigurationGB")->isEnabled());
    EXPECT_FALSE(Shown("EditableInManualModeOnlyLbl1"));
}

TEST_F(ExportDialogTest, SaveButtonWritesTheChosenFile) {
    std::filesystem::create_directories(Path("data"));
    Seq->SetFileName(Path("data/Line1.sqz"));
    Open();
    Seam.Files = {QString::fromStdString(Path("Chosen.dat"))};
    Click("BitBtn1");
    ASSERT_EQ(1u, Seam.Dialogs.size());
    const TFileDialogSetup& r = Seam.Dialogs[0];
    EXPECT_TRUE(r.Save);
    EXPECT_EQ(QString::fromStdString(Path("data")), r.InitialDir);
    EXPECT_EQ("Line1", r.FileName);
    EXPECT_EQ("Planora pro Solvy (*.sqt)|*.sqt", r.Filter);
    EXPECT_EQ(".sqt", r.DefaultExt);
    EXPECT_TRUE(std::filesystem::is_regular_file(Path("Chosen.sqt")));
    EXPECT_STREQ("Chosen.sqt", Block().FileName);
    EXPECT_EQ(Image(Block()), StoredValue().toByteArray());
    EXPECT_EQ(QDialog::Accepted, Dlg->result());
    EXPECT_FALSE(Dlg->isVisible());
}

TEST_F(ExportDialogTest, CancelledSaveStoresNothing) {
    Open();
    Dlg->SequenceFolder = QString::fromStdString(Path("Sequence"));
    Choose("NoiseRejectionCb", 1);
    Click("BitBtn1");
    ASSERT_EQ(1u, Seam.Dialogs.size());
    EXPECT_EQ(QString::fromStdString(Path("Sequence")), Seam.Dialogs[0].InitialDir);
    EXPECT_TRUE(Seam.Dialogs[0].FileName.isEmpty());
    EXPECT_FALSE(StoredValue().isValid());
    EXPECT_FALSE(Dlg->isVisible());
}

TEST_F(ExportDialogTest, FieldsBeyondTheListsShowNothingAndStayInRange) {
    Open();
    TSolvyConfig& c = Block();
    c.Byte0 = 0xFF;   // filter 7
    c.Byte1 = 0xFA;   // voltage 15
    c.Byte2 = 0x3F;   // level 7, regulation 7, transmitter on, 50 %
    c.Byte3 = 0x3F;   // time 7, window mode 7
    c.Byte4 = 0x78;   // trigger 7
    c.Byte5 = 0xFF;   // array 63, manual
    c.Byte6 = 0x07;
    for (auto& w : c.IPTiming) w = 0xFFFFFFFFu;
    c.Current = std::numeric_limits<float>::quiet_NaN();
    c.VabMax = std::numeric_limits<float>::infinity();
    c.QRMax = std::numeric_limits<double>::quiet_NaN();
    Dlg->SolvyToForm();
    EXPECT_EQ(-1, W<QComboBox>("ELArraySolvyCb")->currentIndex());
    EXPECT_EQ(-1, W<QComboBox>("TimeCb")->currentIndex());
    EXPECT_EQ(-1, W<QComboBox>("IpTimingCb")->currentIndex());
    EXPECT_EQ(-1, W<QComboBox>("TriggerCb")->currentIndex());
    EXPECT_EQ(-1, W<QComboBox>("TypeOfTxRegulationCb")->currentIndex());
    EXPECT_EQ("42949672950", Text("MdlyEdt"));

    EXPECT_EQ("0", Text("FixedIabEdt"));
    EXPECT_EQ("0", Text("VabMaxEdt"));
    EXPECT_EQ("0", Text("QrMaxEdt"));
    Choose("NoiseRejectionCb", 0);
    EXPECT_TRUE(Seam.Messages.empty());
    EXPECT_EQ(0u, c.TimeCode());
    EXPECT_EQ(0u, c.WindowMode());
    EXPECT_EQ(0u, c.Trigger());
    EXPECT_EQ(0u, c.Regulation());
    EXPECT_EQ(0, std::memcmp(c.IPTiming, SolvyTimingRow(0, 0), sizeof(c.IPTiming)));
    EXPECT_EQ(0.0f, c.Current);
    EXPECT_EQ(0.0, c.QRMax);
}

TEST_F(ExportDialogTest, DestroyingTheDialogWithAnEditInUseRunsNoHandler) {
    Open();
    W("StackMinEdn")->setFocus();
    W<QLineEdit>("StackMinEdn")->setText("0");
    Dlg.reset();
    EXPECT_EQ(0, Seam.Beeps);
}

TEST_F(ExportDialogTest, FormWithoutModelDoesNothing) {
    TExportSqtFrm plain(nullptr);
    plain.show();
    plain.FormToSolvy();
    plain.TimeCbChange();
    plain.IpTimingCbChange();
    plain.BitBtn1Click();
    EXPECT_EQ(nullptr, plain.Solvy());
    EXPECT_TRUE(Seam.Dialogs.empty());
    EXPECT_TRUE(Seam.Messages.empty());
}

}  // namespace
