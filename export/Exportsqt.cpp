#include "export/Exportsqt.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "export/ExportUpDown.h"
#include "seam/Seam.h"
#include "ui_Exportsqt.h"

namespace {

constexpr int kStackMin = 1;
constexpr int kStackMax = 999;

// A number typed in an edit that does not convert; the update that reads it stops.
struct TConversionError {
    QString Text;
};

bool ToInt(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

bool ToDecimal(const QString& text, double& value) {
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

int IntValue(const QLineEdit* e) {
    int v = 0;
    if (!ToInt(e->text(), v)) throw TConversionError{"'" + e->text() + "' is not a valid integer value"};
    return v;
}

// Within the range of the block's 32-bit fields.
float ToFloat(double v) {
    return float(std::clamp(v, -double(std::numeric_limits<float>::max()), double(std::numeric_limits<float>::max())));
}

double DecimalValue(const QLineEdit* e) {
    double v = 0;
    if (!ToDecimal(e->text(), v)) throw TConversionError{"'" + e->text() + "' is not a valid floating point value"};
    return v;
}

// Index of the selected item; a list showing no item reads as its first.
unsigned Index(const QComboBox* c) { return unsigned(std::max(0, c->currentIndex())); }

// A block field beyond the list shows no item.
void Show(QComboBox* c, unsigned index) { c->setCurrentIndex(index < unsigned(c->count()) ? int(index) : -1); }

QString Decimal(double v) { return QString::number(std::isfinite(v) ? v : 0.0, 'g', 15); }

// "#0" and "#0.##". A value that is not a number (damaged settings) shows as 0, so the entry
// still reads back.
QString Fixed(double v, int decimals) {
    if (!std::isfinite(v)) v = 0;
    QString s = QString::number(v, 'f', decimals);
    if (decimals > 0 && s.contains('.')) {
        while (s.endsWith('0')) s.chop(1);
        if (s.endsWith('.')) s.chop(1);
    }
    if (s == "-0") s = "0";
    return s;
}

QString Ms(std::uint32_t units) { return QString::number(qulonglong(units) * 10u); }

}  // namespace

TExportSqtFrm::TExportSqtFrm(QWidget* owner) : QDialog(owner), ui(std::make_unique<Ui::TExportSqtFrm>()) { Build(); }

TExportSqtFrm::TExportSqtFrm(QWidget* owner, TElectSequence* sequence, TSolvyConfigStore* store)
    : QDialog(owner), ui(std::make_unique<Ui::TExportSqtFrm>()),
      Model(std::make_unique<TReskonSolvy>(sequence, store)) {
    Build();
}

TExportSqtFrm::~TExportSqtFrm() {
    // Children are destroyed after this object; an edit that loses its focus then must not
    // reach a handler of a dialog that is gone.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void TExportSqtFrm::Build() {
    ui->setupUi(this);
    for (const char* tab : {"Auto. resistivity", "Auto. fast IP", "Auto standard IP", "Manual"})
        ui->AutoManControlTab->addTab(tab);
    ui->AutoManControlTab->setDrawBase(false);
    ui->AutoManControlTab->setCurrentIndex(ckManual);

    ui->StackMinEdnUpDown->SetAssociate(ui->StackMinEdn);
    ui->StackMaxEdnUpDown->SetAssociate(ui->StackMaxEdn);
    ui->VabMaxEdtUpDown->SetAssociate(ui->VabMaxEdt);
    ui->UpDown1->SetAssociate(ui->FixedIabEdt);
    ui->QrMaxEdtUpDown->SetAssociate(ui->QrMaxEdt);
    ui->QmMaxEdtUpDown->SetAssociate(ui->QmMaxEdt);

    QTableWidget* g = ui->TmStg;
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    for (int r = 0; r < g->rowCount(); ++r)
        for (int col = 0; col < g->columnCount(); ++col) {
            auto* item = new QTableWidgetItem;
            if (r == 0) item->setFlags(Qt::ItemIsEnabled);
            g->setItem(r, col, item);
        }
    // All five window rows in view, the four columns sharing the width.
    const int rowHeight = g->fontMetrics().height() + 6;
    g->verticalHeader()->setDefaultSectionSize(rowHeight);
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setFixedHeight(6 * rowHeight + 2 * g->frameWidth());
    g->setRowHeight(1, 0);
    Connect();
}

void TExportSqtFrm::Connect() {
    connect(ui->AutoManControlTab, &QTabBar::currentChanged, this, &TExportSqtFrm::FormToSolvy);
    for (QComboBox* c : {ui->WaveFormCB, ui->TypeOfTxRegulationCb, ui->InputSignalLvlCb, ui->VabRegulatedCb,
                         ui->TriggerCb, ui->NoiseRejectionCb, ui->FullwaveDataCb})
        connect(c, &QComboBox::activated, this, &TExportSqtFrm::FormToSolvy);
    for (QAbstractButton* b : {static_cast<QAbstractButton*>(ui->ModeReceiverOnlyCb),
                               static_cast<QAbstractButton*>(ui->GpsStampedChkB),
                               static_cast<QAbstractButton*>(ui->IpDeviationUnitMvPerVRb),
                               static_cast<QAbstractButton*>(ui->IpDeviationUnitPercentRb),
                               static_cast<QAbstractButton*>(ui->PowerLineReject50Rb),
                               static_cast<QAbstractButton*>(ui->PowerLineReject60Rb)})
        connect(b, &QAbstractButton::clicked, this, &TExportSqtFrm::FormToSolvy);
    connect(ui->TmStg, &QTableWidget::cellClicked, this, &TExportSqtFrm::FormToSolvy);
    // A cell edit counts once it is committed.
    connect(ui->TmStg, &QTableWidget::itemChanged, this, &TExportSqtFrm::FormToSolvy);
    for (QLineEdit* e : {ui->TxIabEdt, ui->VabMaxEdt, ui->FixedIabEdt, ui->MdlyEdt, ui->VdlyEdt})
        connect(e, &QLineEdit::editingFinished, this, &TExportSqtFrm::FormToSolvy);
    connect(ui->StackMinEdn, &QLineEdit::editingFinished, this, &TExportSqtFrm::StackMinEdnExit);
    connect(ui->StackMaxEdn, &QLineEdit::editingFinished, this, &TExportSqtFrm::StackMaxEdnExit);
    connect(ui->QrMaxEdt, &QLineEdit::editingFinished, this, &TExportSqtFrm::QrMaxEdtExit);
    connect(ui->QmMaxEdt, &QLineEdit::editingFinished, this, &TExportSqtFrm::QmMaxEdtExit);
    connect(ui->StackMinEdnUpDown, &TExportUpDown::Changing, this, &TExportSqtFrm::StackMinEdnUpDownChanging);
    connect(ui->StackMaxEdnUpDown, &TExportUpDown::Changing, this, &TExportSqtFrm::StackMaxEdnUpDownChanging);
    connect(ui->QrMaxEdtUpDown, &TExportUpDown::Changing, this, &TExportSqtFrm::QrMaxEdtUpDownChanging);
    connect(ui->QmMaxEdtUpDown, &TExportUpDown::Changing, this, &TExportSqtFrm::QmMaxEdtUpDownChanging);
    connect(ui->TimeCb, &QComboBox::activated, this, &TExportSqtFrm::TimeCbChange);
    connect(ui->IpTimingCb, &QComboBox::activated, this, &TExportSqtFrm::IpTimingCbChange);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TExportSqtFrm::BitBtn1Click);
}

void TExportSqtFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    SolvyToForm();
}

// ------------------------------------------------------------------ controls to block

void TExportSqtFrm::FormToSolvy() {
    // A message box opened below may end an edit, which would start another update.
    if (!Model || Updating) return;
    Updating = true;
    try {
        UpdateBlock(Model->Config);
    } catch (const TConversionError& e) {
        Seam().Message(e.Text, QString(), TMsgIcon::Information, this);
        Updating = false;
        return;
    }
    Updating = false;
    SolvyToForm();
}

void TExportSqtFrm::UpdateBlock(TSolvyConfig& c) {
    const int tab = ui->AutoManControlTab->currentIndex();
    if (const std::uint8_t* preset = (tab >= 0 && tab < int(ckManual)) ? SolvyPreset(unsigned(tab)) : nullptr) {
        std::memcpy(&c, preset, kSolvyPresetSize);
    } else {
        c.SetKind(ckManual);
        const bool receiver = ui->ModeReceiverOnlyCb->isChecked();
        const unsigned regulation = Index(ui->TypeOfTxRegulationCb);
        unsigned time = std::min(Index(ui->TimeCb), unsigned(kSolvyTimes - 1));
        unsigned mode;
        if (Index(ui->WaveFormCB) == 0) {   // (+-) 100 % duty cycle: no 8000 ms
            if (time == 0) time = 1;
            if (!receiver) {
                c.SetWaveMode(1);
                mode = (regulation == 1 || regulation == 3) ? wmFullDutyCurrent : wmFullDuty;
            } else {
                if (time == 5) time = 4;
                c.SetWaveMode(3);
                mode = wmFullDutyCurrent;
            }
        } else {                             // (+0-0) 50 % duty cycle: no 250 ms
            if (time == 5) time = 4;
            c.SetWaveMode(receiver ? 2 : 0);
            mode = std::min(Index(ui->IpTimingCb), unsigned(wmProgrammable));
        }
        c.SetTimeCode(time);
        c.SetWindowMode(mode);

        if (mode != wmProgrammable)
            std::memcpy(c.IPTiming, SolvyTimingRow(time, mode), sizeof(c.IPTiming));
        else if (ui->MdlyEdt->isEnabledTo(ui->TimingGB))
            ProgrammedTiming(c);

        // An edit still being typed in (a tab takes no focus) is read within the stack range.
        c.StackMin = std::uint32_t(std::clamp(IntValue(ui->StackMinEdn), kStackMin, kStackMax));
        c.StackMax = std::uint32_t(std::clamp(IntValue(ui->StackMaxEdn), kStackMin, kStackMax));
        if (c.StackMin > c.StackMax) c.StackMax = c.StackMin;

        c.SetDeviationUnit(ui->IpDeviationUnitPercentRb->isChecked() ? 1 : 0);
        c.QMMax = DecimalValue(ui->QmMaxEdt);
        c.QRMax = DecimalValue(ui->QrMaxEdt);

        c.SetRegulation(Index(ui->TypeOfTxRegulationCb));
        const QLineEdit* current = ui->TypeRxregulationPanel->isHidden() ? ui->FixedIabEdt : ui->TxIabEdt;
        c.Current = ToFloat(DecimalValue(current) * 1000.0);
        c.VabMax = ToFloat(DecimalValue(ui->VabMaxEdt));
        c.SetVabIndex(Index(ui->VabRegulatedCb));
        c.SetInputLevel(Index(ui->InputSignalLvlCb) == 0 ? 0 : 2);
        c.SetTrigger(Index(ui->TriggerCb));
    }

    const unsigned mains = ui->PowerLineReject60Rb->isChecked() ? 1 : 0;
    switch (Index(ui->NoiseRejectionCb)) {
        case 0: c.SetFilter(mains); break;
        case 1: c.SetFilter(2 + mains); break;
        case 2: c.SetFilter(4); break;
        default: c.SetFilter(5); break;
    }

    const bool stamped = ui->GpsStampedChkB->isChecked();
    switch (Index(ui->FullwaveDataCb)) {
        case 0:
            c.SetFullWave(0);
            ui->GpsStampedChkB->setChecked(false);
            ui->GpsStampedChkB->hide();
            break;
        case 1: c.SetFullWave(stamped ? 2 : 1); break;
        default: c.SetFullWave(stamped ? 4 : 3); break;
    }
}

// The windows typed by the user; the block keeps its timing unless they all fit the cycle.
void TExportSqtFrm::ProgrammedTiming(TSolvyConfig& c) {
    std::uint32_t t[kSolvyTimingWords];
    std::memcpy(t, c.IPTiming, sizeof(t));
    const long long cycle = t[0];
    int v = 0;
    const long long vDelay = (ToInt(ui->VdlyEdt->text(), v) ? v : 120) / 10;
    if (cycle - 12 < vDelay || vDelay < 0) return;
    const long long mDelay = (ToInt(ui->MdlyEdt->text(), v) ? v : 120) / 10;
    if (mDelay < 0) return;
    bool error = false;
    bool ended = false;   // after a window of 0 every later window is 0
    long long sum = mDelay + 8;
    for (int k = 0; k < 20; ++k) {
        long long w = 0;
        if (!ended) {
            const QTableWidgetItem* cell = ui->TmStg->item(k % 5 + 2, k / 5);
            w = (cell && ToInt(cell->text(), v) ? v : 0) / 10;
            if (w < 0) error = true;   // a negative width has no meaning for the meter
            if (w <= 0) { w = 0; ended = true; }
        }
        sum += w;
        if (sum > cycle) {
            error = true;
            w = 0;
            Seam().Beep();
        }
        t[3 + k] = std::uint32_t(w);
    }
    if (error) return;
    t[1] = std::uint32_t(vDelay);
    t[2] = std::uint32_t(mDelay);
    std::memcpy(c.IPTiming, t, sizeof(t));
}

// ------------------------------------------------------------------ block to controls

void TExportSqtFrm::SolvyToForm() {
    if (!Model) return;
    const TSolvyConfig& c = Model->Config;
    const TElectSequence* s = Model->Sequence;

    ui->FilenameLbl->setText(
        QString::fromLocal8Bit(TReskonSolvy::SqtName(s ? TrimText(s->FileName) : std::string()).c_str()));

    Show(ui->ELArraySolvyCb, c.ArrayCode());
    const bool manual = c.Kind() == ckManual;
    ui->StartAcquisitionConfigurationGB->setEnabled(manual);
    ui->EditableInManualModeOnlyLbl1->setVisible(!manual);
    ui->EditableInManualModeOnlyLbl2->setVisible(!manual);

    ui->StackMinEdn->setText(QString::number(c.StackMin));
    ui->StackMaxEdn->setText(QString::number(c.StackMax));

    const unsigned wave = c.WaveMode();
    const bool fullDuty = wave & 1u;
    const bool receiver = wave & 2u;
    ui->WaveFormCB->setCurrentIndex(fullDuty ? 0 : 1);
    ui->ModeReceiverOnlyCb->setChecked(receiver);

    // Every entry shows its field whether its panel is shown or not: the next update reads
    // them all, and a hidden entry must not bring back what it held before.
    const bool percent = c.DeviationUnit() == 1;
    ui->IpDeviationUnitPercentRb->setChecked(percent);
    ui->IpDeviationUnitMvPerVRb->setChecked(!percent);
    ui->QmMaxEdt->setText(Decimal(c.QMMax));
    ui->QrMaxEdt->setText(Decimal(c.QRMax));
    Show(ui->TypeOfTxRegulationCb, c.Regulation());
    ui->InputSignalLvlCb->setCurrentIndex(c.InputLevel() <= 1 ? 0 : 1);
    ui->VabMaxEdt->setText(Fixed(c.VabMax, 0));
    Show(ui->VabRegulatedCb, c.VabIndex());
    ui->FixedIabEdt->setText(Fixed(double(c.Current) * 0.001, 0));
    ui->TxIabEdt->setText(Fixed(double(c.Current) * 0.001, 2));

    if (!fullDuty) {
        ui->MvPerVLbl->setVisible(!percent);
        ui->PercentLbl->setVisible(percent);
        ui->QRPanel->hide();
        ui->QMPanel->show();
    } else {
        ui->QRPanel->show();
        ui->QMPanel->hide();
    }

    if (!receiver) {
        ui->TypeTxregulationPanel->show();
        for (QWidget* p : {ui->TypeRxregulationPanel, ui->VabMaxPanel, ui->FixedVabPanel, ui->FixedIabPanel,
                           ui->InputSignalLvlPanel})
            p->hide();
        switch (c.Regulation()) {
            case 0:
            case 1:
                ui->InputSignalLvlPanel->show();
                ui->VabMaxPanel->show();
                break;
            case 2:
                ui->FixedVabPanel->show();
                ui->VabMaxPanel->setVisible(c.VabIndex() == 7);
                break;
            case 3:
                ui->FixedIabPanel->show();
                ui->VabMaxPanel->setVisible(c.VabIndex() == 7);
                break;
            default:
                break;
        }
    } else {
        ui->TypeTxregulationPanel->hide();
        ui->TypeRxregulationPanel->show();
    }

    Show(ui->TimeCb, c.TimeCode());
    if (c.WindowMode() == wmFullDutyCurrent || c.WindowMode() == wmFullDuty) {
        ui->IpTimingCb->setEnabled(false);
        ui->IpTimingCb->setCurrentIndex(0);
    } else {
        ui->IpTimingCb->setEnabled(true);
        Show(ui->IpTimingCb, c.WindowMode());
    }

    {
        QTableWidget* g = ui->TmStg;
        const QSignalBlocker quiet(g);
        g->setRowHeight(1, 0);
        ui->MdlyEdt->setText(Ms(c.IPTiming[2]));
        ui->VdlyEdt->setText(Ms(c.IPTiming[1]));
        for (int k = 0; k < 20; ++k) g->item(k % 5 + 2, k / 5)->setText(Ms(c.IPTiming[3 + k]));
        for (int col = 0; col < 4; ++col)
            g->item(0, col)->setText(QString("TM %1 / %2").arg(col * 5 + 1).arg(col * 5 + 5));

        const bool programmable = ui->IpTimingCb->currentIndex() == int(wmProgrammable);
        for (QWidget* w : ui->TimingGB->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            w->setEnabled(programmable);
        QPalette pal = g->palette();
        pal.setColor(QPalette::Text, programmable ? palette().color(QPalette::WindowText) : QColor(0x80, 0x80, 0x80));
        g->setPalette(pal);
    }

    Show(ui->TriggerCb, c.Trigger());

    const unsigned filter = c.Filter();
    if (filter <= 3) {
        ui->NoiseRejectionCb->setCurrentIndex(int(filter / 2));
        ui->PowerLineReject60Rb->setChecked(filter % 2 == 1);
        ui->PowerLineReject50Rb->setChecked(filter % 2 == 0);
        ui->PowerLineRejectRdGb->show();
    } else if (filter <= 5) {
        ui->NoiseRejectionCb->setCurrentIndex(int(filter - 2));
        ui->PowerLineReject50Rb->setChecked(true);
        ui->PowerLineRejectRdGb->hide();
    }

    const unsigned wave2 = c.FullWave();
    if (wave2 == 0) {
        ui->FullwaveDataCb->setCurrentIndex(0);
        ui->GpsStampedChkB->hide();
        ui->GpsStampedChkB->setChecked(false);
    } else if (wave2 <= 4) {
        ui->FullwaveDataCb->setCurrentIndex(wave2 <= 2 ? 1 : 2);
        ui->GpsStampedChkB->show();
        ui->GpsStampedChkB->setChecked(wave2 == 2 || wave2 == 4);
    }

    QCoreApplication::processEvents();
}

// ------------------------------------------------------------------ edits

void TExportSqtFrm::ClampIntEdit(QLineEdit* edit, TExportUpDown* upDown) {
    int v = 0;
    if (!ToInt(edit->text(), v)) v = -1;
    const int clamped = std::clamp(v, upDown->minimum(), upDown->maximum());
    if (clamped != v) {
        Seam().Beep();
        edit->setText(QString::number(clamped));
    }
}

void TExportSqtFrm::ClampDecimalEdit(QLineEdit* edit, TExportUpDown* upDown) {
    double v = 0;
    const bool number = ToDecimal(edit->text(), v);
    if (!number) v = 0;
    const double clamped = std::clamp(v, double(upDown->minimum()), double(upDown->maximum()));
    if (!number || clamped != v) {
        Seam().Beep();
        edit->setText(Decimal(clamped));
    }
}

void TExportSqtFrm::StackMinEdnExit() {
    ClampIntEdit(ui->StackMinEdn, ui->StackMinEdnUpDown);
    FormToSolvy();
}

void TExportSqtFrm::StackMaxEdnExit() {
    ClampIntEdit(ui->StackMaxEdn, ui->StackMaxEdnUpDown);
    FormToSolvy();
}

void TExportSqtFrm::QrMaxEdtExit() {
    ClampDecimalEdit(ui->QrMaxEdt, ui->QrMaxEdtUpDown);
    FormToSolvy();
}

void TExportSqtFrm::QmMaxEdtExit() {
    ClampDecimalEdit(ui->QmMaxEdt, ui->QmMaxEdtUpDown);
    FormToSolvy();
}

// The minimum is never stepped above the stored maximum, nor the maximum below the minimum.
void TExportSqtFrm::StackMinEdnUpDownChanging() {
    if (Model) {
        TExportUpDown* u = ui->StackMinEdnUpDown;
        u->setMaximum(int(std::clamp<long long>(Model->Config.StackMax, u->minimum(), INT_MAX)));
    }
    ui->StackMinEdn->setFocus();
}

void TExportSqtFrm::StackMaxEdnUpDownChanging() {
    if (Model) {
        TExportUpDown* u = ui->StackMaxEdnUpDown;
        u->setMinimum(int(std::min<long long>(Model->Config.StackMin, u->maximum())));
    }
    ui->StackMaxEdn->setFocus();
}

void TExportSqtFrm::QrMaxEdtUpDownChanging() { ui->QrMaxEdt->setFocus(); }

void TExportSqtFrm::QmMaxEdtUpDownChanging() { ui->QmMaxEdt->setFocus(); }

void TExportSqtFrm::TimeCbChange() {
    FormToSolvy();
    ui->IpTimingCb->setCurrentIndex(wmArithmetic);
    FormToSolvy();
}

void TExportSqtFrm::IpTimingCbChange() {
    // Programmable windows start from the arithmetic ones of the chosen time.
    if (Model && ui->IpTimingCb->currentIndex() == int(wmProgrammable)) {
        const unsigned time = std::min(Index(ui->TimeCb), unsigned(kSolvyTimes - 1));
        std::memcpy(Model->Config.IPTiming, SolvyTimingRow(time, wmArithmetic), sizeof(Model->Config.IPTiming));
    }
    FormToSolvy();
}

void TExportSqtFrm::BitBtn1Click() {
    if (Model) {
        const std::string own = Model->Sequence ? TrimText(Model->Sequence->FileName) : std::string();
        TFileDialogSetup dialog;
        dialog.Save = true;
        dialog.Title = windowTitle();
        dialog.Filter = "Planora pro Solvy (*.sqt)|*.sqt";
        dialog.DefaultExt = ".sqt";
        dialog.Parent = this;
        if (!own.empty()) {
            const QFileInfo name(QString::fromLocal8Bit(TReskonSolvy::SqtName(own).c_str()));
            dialog.InitialDir = name.absolutePath();
            dialog.FileName = name.completeBaseName();
        } else {
            dialog.InitialDir = SequenceFolder;
        }
        if (Seam().ExecuteFileDialog(dialog)) Model->SaveSqt(QFile::encodeName(dialog.FileName).toStdString());
    }
    accept();
}
