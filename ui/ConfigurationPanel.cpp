// The Configuration tab: its wiring and display, and the acquisition parameter editing (array
// type, channels, the meter's parameters, the remote electrodes, the comment and the multi-channel
// options). Each control's edit goes to the current sequence through its editor (or an engine
// setter); the controls then show the result.
#include "ui/ConfigurationPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <cfloat>
#include <cmath>
#include <optional>
#include <span>
#include <utility>

#include "engine/ArrayTypes.h"
#include "engine/SequenceList.h"
#include "seam/Seam.h"
#include "ui/Artwork.h"
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/InfoPanel.h"
#include "ui/Iptime.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_ConfigurationPanel.h"
#include "ui_Iptime.h"

namespace {
constexpr int kCommentLength = 1000;
constexpr std::size_t kSeqNameBytes = 10;
// The widest remote position the window writes: the unset placeholder, negated.
const QString kLongestPosition = QStringLiteral("-99999.99");

// The text as a decimal number that a single-precision field can hold; nothing otherwise
// (an infinity or NaN would poison every distance computed from it).
std::optional<double> DecimalOf(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > double(FLT_MAX)) return std::nullopt;
    return v;
}

// Clamps v into the up-down's current range; true when it had to.
template <class T>
bool Clamp(T& v, const QSpinBox* range) {
    bool corrected = false;
    if (v > T(range->maximum())) {
        v = T(range->maximum());
        corrected = true;
    }
    if (v < T(range->minimum())) {
        v = T(range->minimum());
        corrected = true;
    }
    return corrected;
}

// The integer of an edit committed against its up-down: -1 when not a number, then clamped.
int CommitInt(const QLineEdit* edit, const QSpinBox* range, bool& corrected) {
    int v = IntOf(edit->text(), -1);
    corrected = Clamp(v, range);
    return v;
}

// A remote position written back in the general form: its start stays in view.
void ShowPosition(QLineEdit* edit, float v) {
    edit->setText(FormatGeneral(v));
    edit->setCursorPosition(0);
}

// Gives edit the width that shows longest whole.
void FitWidth(QLineEdit* edit, const QString& longest) {
    edit->ensurePolished();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    // The edit keeps a margin of its own each side of the text, and room for the cursor.
    constexpr int kInnerMargin = 2;
    const QMargins m = edit->textMargins();
    const int text = edit->fontMetrics().horizontalAdvance(longest) + 2 * kInnerMargin + 1 + m.left() + m.right();
    const int width = edit->style()
                          ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, edit->sizeHint().height()), edit)
                          .width();
    edit->setMinimumWidth(width);
    edit->setMaximumWidth(std::max(edit->maximumWidth(), width));
}

void Corrected(QLineEdit* edit, const QString& shown) {
    Seam().Beep();
    edit->setText(shown);
}

// Commits an integer edit against its up-down: the value is stored, and a corrected one is
// written back with a beep.
template <class Store>
void CommitIntEdit(QLineEdit* edit, const QSpinBox* range, Store&& store) {
    bool corrected = false;
    const int v = CommitInt(edit, range, corrected);
    store(v);
    if (corrected) Corrected(edit, QString::number(v));
}

// The name as the 8-bit field takes it: at most ten bytes, never half a character.
std::string SeqNameBytes(QString name) {
    QByteArray bytes = name.toLocal8Bit();
    while (std::size_t(bytes.size()) > kSeqNameBytes && !name.isEmpty()) {
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = name.toLocal8Bit();
    }
    return bytes.toStdString();
}

void SetItemIndex(QComboBox* box, int index) {
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}
}  // namespace

TConfigurationPanel::TConfigurationPanel(QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TConfigurationPanel>()) {
    ui->setupUi(this);
    ui->SpacingLevelGd->SetFixed(1, 1, 1);
    ui->SpacingLevelGd->SetDefaultColWidth(18);
    ui->SpacingLevelGd->SetDefaultRowHeight(18);
    ui->SpacingLevelGd->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->StrapPictureLbl->setPixmap(StrapPicture(devicePixelRatioF()));
    ui->StrapPanel->SetAnchor(ui->StrapForPopolBtn);
}

TConfigurationPanel::~TConfigurationPanel() = default;

TElectSequence* TConfigurationPanel::Current() const { return List ? List->CurrentSequence() : nullptr; }

void TConfigurationPanel::Connect(TControlEvents& e, const TSequenceList& list, TInfoPanel& info,
                                  TConfigurationWindow window) {
    List = &list;
    Info = &info;
    Window = std::move(window);
    // The strap hint shows while the pointer is over its button, and goes when it reaches the
    // meter's parameters.
    ui->StrapForPopolBtn->setMouseTracking(true);
    for (QEvent::Type over : {QEvent::MouseMove, QEvent::Enter})
        e.OnEvent(ui->StrapForPopolBtn, over, [this](QEvent*) {
            StrapForPopolBtnMouseMove();
            return false;
        });
    ui->ReskonGB->setMouseTracking(true);
    e.OnEvent(ui->ReskonGB, QEvent::MouseMove, [this](QEvent*) {
        ReskonGBMouseMove();
        return false;
    });
    ConnectParams(e);
    ConnectDepthGrid(e);
    ConnectCompute(e);
}

void TConfigurationPanel::SetUpSpacingLevelGrid() {
    TStringGrid* g = ui->SpacingLevelGd;
    TStringTableModel* t = g->Strings();
    t->BeginUpdate();
    g->SetColCount(130);
    g->SetRowCount(10);
    g->SetCells(0, 0, "Spacing");
    g->SetCells(1, 0, "Level");
    for (int c = 2; c < 130; ++c) g->SetCells(c, 0, QString::number(c - 1));
    for (int r = 1; r < 10; ++r) g->SetCells(0, r, QString::number(r) + " x a");
    t->EndUpdate();
    g->SetColWidth(0, 50);
    g->SetColWidth(1, 50);
    // Nine rows and the titles; the room below goes to the buttons.
    g->setMaximumHeight(g->horizontalHeader()->height() + 9 * 18 + g->horizontalScrollBar()->sizeHint().height() +
                        2 * g->frameWidth() + 2);
}

// ---------------------------------------------------------------- display

void TConfigurationPanel::ShowSequence(const TElectSequence& s) {
    const TElectGrid& g = s.Grid;
    ui->CommentEdt->setPlainText(QString::fromStdString(s.GetComment()));
    ui->PlanoraNameTxt->setText(QString::fromStdString(s.GetSeqName()));

    SetItemIndex(ui->BoreholeArrayTypeList,
                 g.ArrayType >= 0 && g.ArrayType < ui->BoreholeArrayTypeList->count() ? g.ArrayType : atMixed);
    SetItemIndex(ui->ArrayTypeList,
                 g.ArrayType >= 0 && g.ArrayType < ui->ArrayTypeList->count() ? g.ArrayType : atMixed);

    const int maxChannel = s.GetMaxChannel();
    const int channels = s.Device.Channels;
    ui->StdChannelEdnUpDown->setMaximum(maxChannel);
    ui->StdChannelEdn->setText(
        QString::number(s.MaxChannelUsed >= 1 && s.MaxChannelUsed <= maxChannel ? s.MaxChannelUsed : channels));

    const TChannelOptions& o = s.ChannelOptions;
    {
        // The boxes show the flags; their handlers are the user's. The warning follows a change
        // of its box, as when the user ticks it.
        const bool delPolar = ui->DelPolarEffectCb->isChecked();
        const QSignalBlocker a(ui->MultiChannelOptimizationCb), b(ui->AllowDummyQuadripolesCb), c(ui->DelPolarEffectCb);
        ui->MultiChannelOptimizationCb->setChecked(o.MultiChannelOptimization == 1);
        ui->AllowDummyQuadripolesCb->setChecked(o.AllowDummyQuadripoles == 1);
        ui->DelPolarEffectCb->setChecked(o.DelPolarEffect == 1);
        if (ui->DelPolarEffectCb->isChecked() != delPolar) ui->OptimizationDecreasedLbl->setVisible(!delPolar);
    }
    ui->OptimizationChannelUpDown->setMaximum(channels);
    ui->OptimizationChannelEdn->setText(QString::number(o.OptimizationChannel));
    EnableControls(ui->MultiChannelOptimizationGb, ui->MultiChannelOptimizationCb->isChecked());

    ui->XCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[0].X));
    ui->YCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[0].Y));
    const TElectrodeXYZ& second = s.RemoteElectrodes[SecondRemoteRole(ArrayTypeOf(g).Remotes)];
    ui->XCbPnTxt->setText(FormatHash2(second.X));
    ui->YCbPnTxt->setText(FormatHash2(second.Y));

    const bool rhoIP = s.IsRhoIP();
    (rhoIP ? ui->RhoIPRdBtn : ui->RhoOnlyRdBtn)->setChecked(true);
    ShowRhoIPControls(rhoIP);

    ui->StackMinEdn->setText(QString::number(s.Device.StackMin));
    ui->StackMaxEdn->setText(QString::number(s.Device.StackMax));
    ui->QMaxEdn->setText(FormatHash2(s.Device.QMax));

    const bool vp = s.Device.VmnChoice() != 0;
    (vp ? ui->VpRdBtn : ui->VabRdBtn)->setChecked(true);
    ShowVoltageControls(vp);

    {
        TStringGrid* sl = ui->SpacingLevelGd;
        TStringTableModel* t = sl->Strings();
        t->BeginUpdate();
        for (int r = 1; r < sl->RowCount() && r <= kSpacingCoefficients; ++r) {
            const TSpacingLevel& level = s.SpacingLevels[r - 1];
            for (int c = 2; c < sl->ColCount() && c - 2 < kLevels; ++c)
                t->SetCell(c, r, level.Selected[c - 2] == 1 ? QStringLiteral("#") : QString());
            t->SetCell(1, r, level.SelectedCount != 0 ? QString::number(level.SelectedCount) : QString());
        }
        t->EndUpdate();
    }

    Info->ShowSequenceInfo(s);
    UpdateRemoteElectrodePanel();
    const int levelCount = s.GetSpacingLevelCount();
    Info->ShowLevelCount(levelCount);

    const int quadripoles = s.Device.LastQuadripole + 1;
    const int arrayIndex = ui->ArrayTypeList->currentIndex();
    ui->ComputeBtn->setEnabled(levelCount != 0 || quadripoles >= 1);
    ui->MoveComputeBtn->setEnabled(arrayIndex != atMixed && OwnEnabled(ui->ComputeBtn));
    ui->CreateNewSeqBtn->setEnabled(arrayIndex != atMixed && quadripoles >= 1);
    ui->CreateNewSeqBtn->setVisible(quadripoles >= 1 && OwnVisible(ui->ArrayTypeList));
    ui->SpacingLevelGd->setVisible(
        (arrayIndex != atMixed && OwnVisible(ui->ArrayTypeList)) ||
        (ui->BoreholeArrayTypeList->currentIndex() != atMixed && OwnVisible(ui->BoreholeArrayTypeList)));
}

void TConfigurationPanel::ShowArrayList(bool borehole) {
    ui->BoreholeArrayTypeList->setVisible(borehole);
    ui->ArrayTypeList->setVisible(!borehole);
    UpdateRemoteElectrodePanel();
}

void TConfigurationPanel::UpdateDepthLevelCommands(bool gridLaidOut) {
    const TElectGrid& g = Current()->Grid;
    ui->AutomaticCreationPanel->setVisible(false);
    ui->AutomaticCreationBtn->setVisible(g.ElectrodeCount != 0 && g.GridType != gtBorehole && gridLaidOut);
    // The hint told of a cell of the sequence shown before.
    ui->SpacingLevelGd->setToolTip(QString());
}

void TConfigurationPanel::UpdateComputeButton(const TElectSequence& s) {
    ui->ComputeBtn->setEnabled(s.GetSpacingLevelCount() != 0 || s.Device.LastQuadripole + 1 >= 1);
}

QString TConfigurationPanel::SequenceName() const { return ui->PlanoraNameTxt->text(); }

QString TConfigurationPanel::MeterCaption() const {
    return "config (" + ui->StackMinEdn->text() + "-" + ui->StackMaxEdn->text() + ";" + ui->TimeCB->currentText() + ")";
}

TComputeOptions TConfigurationPanel::ReadComputeOptions() {
    if (ui->SwapABMNCb->isChecked() && Seam().Question("All quadripoles will be reversed A<->M , B<->N", "Warning",
                                                       TMsgButtons::OkCancel, TMsgIcon::Information) != TMsgResult::Ok)
        ui->SwapABMNCb->setChecked(false);
    TComputeOptions options;
    options.Reverse = ui->SwapABMNCb->isChecked();
    options.Optimise = ui->MultiChannelOptimizationCb->isChecked();
    options.DelPolar = ui->DelPolarEffectCb->isChecked();
    return options;
}

void TConfigurationPanel::StrapForPopolBtnMouseMove() { ui->StrapPanel->setVisible(true); }

void TConfigurationPanel::ReskonGBMouseMove() { ui->StrapPanel->setVisible(false); }

// ---------------------------------------------------------------- wiring

void TConfigurationPanel::ConnectParams(TControlEvents& e) {
    // The array lists show the table's rows in its order: an item's index is the stored type.
    auto fill = [](QComboBox* list, std::span<const TArrayTypeInfo> types) {
        for (const TArrayTypeInfo& type : types) list->addItem(QString::fromLatin1(type.Label));
    };
    fill(ui->ArrayTypeList, SurfaceArrayTypes());
    fill(ui->BoreholeArrayTypeList, BoreholeArrayTypes());

    e.OnExit(ui->StdChannelEdn, [this] { StdChannelEdnExit(); });
    e.OnExit(ui->OptimizationChannelEdn, [this] { OptimizationChannelEdnExit(); });
    e.OnExit(ui->QMaxEdn, [this] { QMaxEdnExit(); });
    e.OnExit(ui->StackMinEdn, [this] { StackMinEdnExit(); });
    e.OnExit(ui->StackMaxEdn, [this] { StackMaxEdnExit(); });
    e.OnExit(ui->VabMaxEdt, [this] { VabMaxEdtExit(); });
    e.OnExit(ui->PlanoraNameTxt, [this] { PlanoraNameTxtExit(); });
    e.OnExit(ui->CommentEdt, [this] { CommentEdtExit(); });
    // The remote positions show whole, the unset placeholder included.
    for (QLineEdit* edit : {ui->XCaPmTxt, ui->YCaPmTxt, ui->XCbPnTxt, ui->YCbPnTxt}) FitWidth(edit, kLongestPosition);
    e.OnExit(ui->XCaPmTxt, [this] { XCaPmTxtExit(); });
    e.OnExit(ui->YCaPmTxt, [this] { YCaPmTxtExit(); });
    e.OnExit(ui->XCbPnTxt, [this] { XCbPnTxtExit(); });
    e.OnExit(ui->YCbPnTxt, [this] { YCbPnTxtExit(); });

    // The arrows step their edit's value; the edit commits it when it is left.
    ui->StdChannelEdnUpDown->Associate(ui->StdChannelEdn);
    ui->OptimizationChannelUpDown->Associate(ui->OptimizationChannelEdn);
    ui->QMaxEdnUpDown->Associate(ui->QMaxEdn, FormatHash2);
    ui->StackMinEdnUpDown->Associate(ui->StackMinEdn);
    ui->StackMaxEdnUpDown->Associate(ui->StackMaxEdn);
    ui->VabMaxEdtUpDown->Associate(ui->VabMaxEdt);
    const std::pair<TUpDown*, void (TConfigurationPanel::*)(bool&)> arrows[] = {
        {ui->StdChannelEdnUpDown, &TConfigurationPanel::StdChannelEdnUpDownChanging},
        {ui->OptimizationChannelUpDown, &TConfigurationPanel::ChannelEdnUpDownChanging},
        {ui->QMaxEdnUpDown, &TConfigurationPanel::QMaxEdnUpDownChanging},
        {ui->StackMinEdnUpDown, &TConfigurationPanel::StackMinEdnUpDownChanging},
        {ui->StackMaxEdnUpDown, &TConfigurationPanel::StackMaxEdnUpDownChanging},
        {ui->VabMaxEdtUpDown, &TConfigurationPanel::VabMaxEdtUpDownChanging}};
    for (const auto& [upDown, changing] : arrows)
        e.OnChanging(upDown, [this, changing](bool& allow, int, int) { (this->*changing)(allow); });

    e.OnEnter(ui->RhoIPRdBtn, [this] { RhoIPRdBtnEnter(); });
    e.OnEnter(ui->RhoOnlyRdBtn, [this] { RhoOnlyRdBtnEnter(); });
    e.OnClick(ui->RhoIPRdBtn, [this] { RhoIPRdBtnClick(); });
    e.OnClick(ui->RhoOnlyRdBtn, [this] { RhoOnlyRdBtnClick(); });
    e.OnClick(ui->VpRdBtn, [this] { VpRdBtnClick(); });
    e.OnClick(ui->VabRdBtn, [this] { VabRdBtnClick(); });
    e.OnClick(ui->IPModeProgBtn, [this] { IPModeProgBtnClick(); });

    e.On(ui->TimeCB, &QComboBox::activated, [this] { TimeCBClick(); });
    e.On(ui->IPModeCB, &QComboBox::activated, [this] { IPModeCBClick(); });
    e.On(ui->VmnCB, &QComboBox::activated, [this] { VmnCBClick(); });
    e.On(ui->VabCB, &QComboBox::activated, [this] { VabCBClick(); });
    e.On(ui->ArrayTypeList, &QComboBox::activated, [this] { ArrayTypeListClick(); });
    e.On(ui->BoreholeArrayTypeList, &QComboBox::activated, [this] { BoreholeArrayTypeListClick(); });

    // The boxes follow their check state, however it is set, so the warning label and the
    // enabled state of the optimisation group always match what is shown.
    e.On(ui->MultiChannelOptimizationCb, &QCheckBox::toggled, [this] { MultiChannelOptimizationCbClick(); });
    e.On(ui->SwapABMNCb, &QCheckBox::toggled, [this] { MultiChannelOptimizationCbClick(); });
    e.On(ui->AllowDummyQuadripolesCb, &QCheckBox::toggled, [this] { AllowDummyQuadripolesCbClick(); });
    e.On(ui->DelPolarEffectCb, &QCheckBox::toggled, [this] { DelPolarEffectCbClick(); });

    // The comment holds at most 1000 characters: what goes beyond is refused where it was typed.
    e.On(ui->CommentEdt, &QTextEdit::textChanged, [this] {
        QTextEdit* edit = ui->CommentEdt;
        const int excess = int(edit->toPlainText().size()) - kCommentLength;
        if (excess <= 0) return;
        QTextCursor c = edit->textCursor();
        const int end = c.position() >= excess ? c.position() : edit->document()->characterCount() - 1;
        c.setPosition(end - excess);
        c.setPosition(end, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    });
}

// ---------------------------------------------------------------- numeric edits

void TConfigurationPanel::StdChannelEdnExit() {
    TElectSequence* s = Current();
    if (!s) return;
    bool corrected = false;
    const int v = CommitInt(ui->StdChannelEdn, ui->StdChannelEdnUpDown, corrected);
    Edit().SetChannels(v);
    ui->OptimizationChannelUpDown->setMaximum(v);
    // Repaint only: a command run from here could replace the sequence shown.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (Current() != s) return;
    ui->OptimizationChannelEdn->setText(QString::number(v));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (Current() != s) return;
    if (corrected) Corrected(ui->StdChannelEdn, QString::number(v));
}

void TConfigurationPanel::OptimizationChannelEdnExit() {
    if (Current())
        CommitIntEdit(ui->OptimizationChannelEdn, ui->OptimizationChannelUpDown,
                      [this](int v) { Edit().SetOptimizationChannels(v); });
}

void TConfigurationPanel::QMaxEdnExit() {
    if (!Current()) return;
    const std::optional<double> read = DecimalOf(ui->QMaxEdn->text());
    double v = read.value_or(0.0);
    bool corrected = !read;
    corrected = Clamp(v, ui->QMaxEdnUpDown) || corrected;
    Edit().SetQMax(float(v));
    if (corrected) Corrected(ui->QMaxEdn, FormatGeneral(v));
}

void TConfigurationPanel::StackMinEdnExit() {
    if (Current()) CommitIntEdit(ui->StackMinEdn, ui->StackMinEdnUpDown, [this](int v) { Edit().SetStackMin(v); });
}

void TConfigurationPanel::StackMaxEdnExit() {
    if (Current()) CommitIntEdit(ui->StackMaxEdn, ui->StackMaxEdnUpDown, [this](int v) { Edit().SetStackMax(v); });
}

void TConfigurationPanel::VabMaxEdtExit() {
    if (TElectSequence* s = Current())
        CommitIntEdit(ui->VabMaxEdt, ui->VabMaxEdtUpDown, [s](int v) { s->SetVabMax(v); });
}

// Before an arrow steps its edit: the focus goes to the edit, which commits the value when
// it is left (and commits first whatever edit the focus leaves).
void TConfigurationPanel::StdChannelEdnUpDownChanging(bool&) { ui->StdChannelEdn->setFocus(); }

void TConfigurationPanel::ChannelEdnUpDownChanging(bool&) { ui->OptimizationChannelEdn->setFocus(); }

void TConfigurationPanel::QMaxEdnUpDownChanging(bool&) { ui->QMaxEdn->setFocus(); }

void TConfigurationPanel::StackMinEdnUpDownChanging(bool&) {
    ui->StackMinEdn->setFocus();
    // Stack min may not pass the stored stack max (nor the range fall below its own minimum).
    if (Current()) {
        QSpinBox* range = ui->StackMinEdnUpDown;
        range->setMaximum(std::max(Current()->Device.StackMax, range->minimum()));
    }
}

void TConfigurationPanel::StackMaxEdnUpDownChanging(bool&) {
    ui->StackMaxEdn->setFocus();
    if (Current()) {
        QSpinBox* range = ui->StackMaxEdnUpDown;
        range->setMinimum(std::min(Current()->Device.StackMin, range->maximum()));
    }
}

void TConfigurationPanel::VabMaxEdtUpDownChanging(bool&) { ui->VabMaxEdt->setFocus(); }

// ---------------------------------------------------------------- Rho / IP and voltages

void TConfigurationPanel::RhoOnlyRdBtnClick() {
    if (!Current()) return;
    Edit().SetRhoIP(false);
    ShowRhoIPControls(false);
}

void TConfigurationPanel::RhoIPRdBtnClick() {
    if (!Current()) return;
    Edit().SetRhoIP(true);
    ShowRhoIPControls(true);
}

void TConfigurationPanel::ShowRhoIPControls(bool rhoIP) {
    if (!Current()) return;
    const TReskonPro& d = Current()->Device;
    for (QWidget* ip : std::initializer_list<QWidget*>{ui->IPModeCB, ui->IPModeLbl, ui->IPModeProgBtn})
        ip->setVisible(rhoIP);
    if (rhoIP) ui->IPModeCB->setCurrentIndex(int(d.IPMode()));
    ui->TimeCB->setCurrentIndex(int(d.TimeIndex()));
}

void TConfigurationPanel::ShowPreset(const TMeterPreset& preset) {
    Edit().ApplyPreset(preset);
    const TReskonPro& d = Current()->Device;
    ui->StackMinEdn->setText(QString::number(d.StackMin));
    ui->StackMaxEdn->setText(QString::number(d.StackMax));
    ui->QMaxEdn->setText(FormatHash2(d.QMax));
    ui->VpRdBtn->setChecked(true);
    ShowVoltageControls(true);
}

void TConfigurationPanel::RhoIPRdBtnEnter() {
    if (Current()) ShowPreset(kRhoIPPreset);
}

void TConfigurationPanel::RhoOnlyRdBtnEnter() {
    if (Current()) ShowPreset(kRhoOnlyPreset);
}

void TConfigurationPanel::VpRdBtnClick() {
    if (!Current()) return;
    Edit().ChooseVp();
    ShowVoltageControls(true);
}

void TConfigurationPanel::VabRdBtnClick() {
    if (!Current()) return;
    Edit().ChooseVab();
    ShowVoltageControls(false);
}

void TConfigurationPanel::ShowVoltageControls(bool vp) {
    if (!Current()) return;
    const TElectSequence& s = *Current();
    ui->VmnCB->setCurrentIndex(int(s.Device.VmnChoice()) - 1);
    ui->VabCB->setCurrentIndex(int(s.Device.VabChoice()) - 1);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->VmnCB, ui->VabMaxEdt, ui->VabMaxLbl, ui->VabMaxEdtUpDown})
        w->setVisible(vp);
    ui->VabCB->setVisible(!vp);
    if (vp) ui->VabMaxEdt->setText(QString::number(s.GetVabMax()));
}

void TConfigurationPanel::TimeCBClick() {
    if (Current()) Current()->SetTime(ui->TimeCB->currentIndex());
}

void TConfigurationPanel::IPModeCBClick() {
    if (Current()) Current()->SetIPMode(ui->IPModeCB->currentIndex());
}

void TConfigurationPanel::VmnCBClick() {
    if (Current()) Current()->SetVmn(ui->VmnCB->currentIndex());
}

void TConfigurationPanel::VabCBClick() {
    if (Current()) Current()->SetVab(ui->VabCB->currentIndex());
}

// ---------------------------------------------------------------- name and comment

void TConfigurationPanel::PlanoraNameTxtExit() {
    if (Current()) Current()->SetSeqName(SeqNameBytes(ui->PlanoraNameTxt->text()));
}

void TConfigurationPanel::CommentEdtExit() {
    if (Current()) Current()->SetComment(ui->CommentEdt->toPlainText().toLocal8Bit().toStdString());
}

// ---------------------------------------------------------------- array type

void TConfigurationPanel::ArrayTypeListClick() {
    if (!Current()) return;
    const int index = ui->ArrayTypeList->currentIndex();
    Edit().ChooseArrayType(index);
    const TElectSequence& s = *Current();
    UpdateRemoteElectrodePanel();
    // The edits show the positions just reset, not those of the array left.
    ui->XCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[kRemoteA].X));
    ui->YCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[kRemoteA].Y));
    const TElectrodeXYZ& second = s.RemoteElectrodes[SecondRemoteRole(ArrayTypeOf(s.Grid).Remotes)];
    ui->XCbPnTxt->setText(FormatHash2(second.X));
    ui->YCbPnTxt->setText(FormatHash2(second.Y));
    ShowChannels();

    Info->ShowSequenceInfo(*Current());
    if (OwnVisible(ui->AutomaticCreationBtn)) FillSpacingLevelGrid();

    const bool movable = index != atMixed && OwnEnabled(ui->ComputeBtn);
    ui->MoveComputeBtn->setEnabled(movable);
    ui->CreateNewSeqBtn->setEnabled(movable);
    // "mixed array" has no depth-level grid.
    ui->SpacingLevelGd->setVisible(index != atMixed);
    // The arrays of a fixed Vab (the pole-pole kinds) switch the injection to it.
    if (SurfaceArrayType(index).FixedVab) {
        ui->VabRdBtn->setChecked(true);
        ShowVoltageControls(false);
    }
}

void TConfigurationPanel::BoreholeArrayTypeListClick() {
    if (!Current()) return;
    const int index = ui->BoreholeArrayTypeList->currentIndex();
    Edit().ChooseBoreholeArrayType(index);
    ShowChannels();
    Info->ShowSequenceInfo(*Current());
    ui->AutomaticCreationBtn->setVisible(false);
    ui->MoveComputeBtn->setEnabled(false);
    ui->CreateNewSeqBtn->setEnabled(false);
    ui->SpacingLevelGd->setVisible(index != atMixed);
}

void TConfigurationPanel::ShowChannels() {
    const TElectSequence& s = *Current();
    ui->StdChannelEdnUpDown->setMaximum(s.GetMaxChannel());
    ui->StdChannelEdn->setText(QString::number(s.Device.Channels));
    ui->OptimizationChannelUpDown->setMaximum(s.Device.Channels);
    ui->OptimizationChannelEdn->setText(QString::number(s.ChannelOptions.OptimizationChannel));
}

// ---------------------------------------------------------------- remote electrodes

void TConfigurationPanel::UpdateRemoteElectrodePanel() {
    ui->StrapForPopolBtn->setVisible(false);
    ui->StrapPanel->setVisible(false);
    QWidget* second[] = {ui->XCbPnLbl, ui->XCbPnTxt, ui->YCbPnLbl, ui->YCbPnTxt};
    for (QWidget* w : second) w->setVisible(true);
    if (!Current()) return;
    switch (ArrayTypeOf(Current()->Grid).Remotes) {
        case reA:
            for (QWidget* w : second) w->setVisible(false);
            ui->CaPmCbPnPanel->setVisible(true);
            break;
        case reAB:
            ui->XCbPnLbl->setText("X Cb (m):");
            ui->YCbPnLbl->setText("Y Cb (m):");
            ui->CaPmCbPnPanel->setVisible(true);
            break;
        case reAN:  // M stays beside N
            ui->XCbPnLbl->setText("X Pn (m):");
            ui->YCbPnLbl->setText("Y Pn (m):");
            ui->CaPmCbPnPanel->setVisible(true);
            ui->StrapForPopolBtn->setVisible(true);
            ui->StrapPanel->setVisible(true);
            break;
        case reNone: ui->CaPmCbPnPanel->setVisible(false); break;
    }
}

void TConfigurationPanel::XCaPmTxtExit() {
    if (!Current()) return;
    const std::optional<double> v = DecimalOf(ui->XCaPmTxt->text());
    Edit().SetRemoteA(&TElectrodeXYZ::X, v ? float(*v) : kNoElectrode);
    if (!v) ShowPosition(ui->XCaPmTxt, Current()->RemoteElectrodes[kRemoteA].X);
}

void TConfigurationPanel::YCaPmTxtExit() {
    if (!Current()) return;
    const std::optional<double> v = DecimalOf(ui->YCaPmTxt->text());
    Edit().SetRemoteA(&TElectrodeXYZ::Y, v ? float(*v) : 0.0f);
    if (!v) ShowPosition(ui->YCaPmTxt, Current()->RemoteElectrodes[kRemoteA].Y);
}

// The second remote electrode: B for the gradient array, otherwise N, with M kept on N.
void TConfigurationPanel::StoreSecondRemote(QLineEdit* edit, float TElectrodeXYZ::*coord) {
    if (!Current()) return;
    const std::optional<double> v = DecimalOf(edit->text());
    const float value = v ? float(*v) : kNoElectrode;
    Edit().SetSecondRemote(coord, value);
    if (!v) ShowPosition(edit, value);
}

void TConfigurationPanel::XCbPnTxtExit() { StoreSecondRemote(ui->XCbPnTxt, &TElectrodeXYZ::X); }

void TConfigurationPanel::YCbPnTxtExit() { StoreSecondRemote(ui->YCbPnTxt, &TElectrodeXYZ::Y); }

// ---------------------------------------------------------------- multi-channel options

void TConfigurationPanel::MultiChannelOptimizationCbClick() {
    if (!Current()) return;
    const bool on = ui->MultiChannelOptimizationCb->checkState() != Qt::Unchecked;
    Edit().SetMultiChannelOptimization(on);
    EnableControls(ui->MultiChannelOptimizationGb, on);
}

void TConfigurationPanel::AllowDummyQuadripolesCbClick() {
    if (Current()) Edit().SetAllowDummyQuadripoles(ui->AllowDummyQuadripolesCb->isChecked());
}

void TConfigurationPanel::DelPolarEffectCbClick() {
    if (!Current()) return;
    const bool on = ui->DelPolarEffectCb->isChecked();
    Edit().SetDelPolarEffect(on);
    ui->OptimizationDecreasedLbl->setVisible(on);
}

// ---------------------------------------------------------------- IP timing

namespace {
// An M delay left empty or not a number counts as this many ms; a window as none.
constexpr int kDefaultMDelay = 120;
static_assert(TIPTimeFrm::kWindows == kIPWindows);
}  // namespace

void TConfigurationPanel::IPModeProgBtnClick() {
    TElectSequence* s = Current();
    if (!s) return;
    TIPTimeFrm dialog(window());
    const bool programmable = ui->IPModeCB->currentIndex() == ui->IPModeCB->findText("Programmable");
    TStringGrid* grid = dialog.ui->TmStg;
    for (;;) {
        grid->setRowHidden(0, true);  // grid row 1, below the titles
        EnableControls(dialog.ui->TimingGB, programmable);
        if (!programmable) {
            QPalette grey = grid->palette();
            for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                grey.setColor(g, QPalette::Text, QColor(128, 128, 128));
            grid->setPalette(grey);
        }
        std::uint32_t t[23];
        s->GetIPTiming(t);
        dialog.ui->MdlyEdt->setText(QString::number(t[2]));
        for (int i = 0; i < TIPTimeFrm::kWindows; ++i) dialog.SetWindowText(i, QString::number(t[3 + i]));
        for (int c = 0; c < 4; ++c) grid->SetCells(c, 0, TIPTimeFrm::ColumnTitle(c));

        dialog.exec();
        if (Current() != s) return;
        // Outside the programmable mode the timing is only shown.
        if (!dialog.ui->MdlyEdt->isEnabled()) return;

        std::int32_t windows[kIPWindows];
        for (int i = 0; i < kIPWindows; ++i) windows[i] = IntOf(dialog.WindowText(i), 0);
        const TIPTimingCheck check =
            Edit().SetProgrammedIPTiming(IntOf(dialog.ui->MdlyEdt->text(), kDefaultMDelay), windows);
        for (int k = 0; k < check.Refused; ++k) Seam().Beep();
        if (check.Fits()) return;
    }
}
