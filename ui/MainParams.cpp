// Acquisition parameter editing: array type, channels, the meter's parameters, the remote
// electrodes, the comment and the multi-channel options. Every control writes straight into
// the current sequence.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
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
#include "ui/ControlEvents.h"
#include "ui/Format.h"
#include "ui/Iptime.h"
#include "ui/Main.h"
#include "ui/StringGrid.h"
#include "ui/UpDown.h"
#include "ui/Widgets.h"
#include "ui_Iptime.h"
#include "ui_Main.h"

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
    const int width =
        edit->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, edit->sizeHint().height()), edit).width();
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

struct TPreset {
    int StackMin, StackMax;
    unsigned VmnChoice, TimeIndex, RhoMode;
};

// The meter parameters a Rho-and-IP or a Rho-only survey starts from.
void ApplyPreset(TElectSequence& s, const TPreset& p) {
    TReskonPro& d = s.Device;
    d.Channels = 10;
    d.StackMin = p.StackMin;
    d.StackMax = p.StackMax;
    d.QMax = 1.0f;
    d.SetVmnChoice(p.VmnChoice);
    d.SetVabChoice(0);
    d.VabMax10 = 80;
    d.SetTimeIndex(p.TimeIndex);
    d.SetRhoMode(p.RhoMode);
    d.SetAuxMode(1);
    d.SetIPMode(0);
    if (const std::uint16_t* row = IPTimingTableRow(int(p.TimeIndex), 0))
        std::copy(row, row + 23, d.IPTiming);
    // Ten channels exceed the limit of the single-channel arrays: keep the count within it.
    s.CheckChannel();
}

constexpr TPreset kRhoIPPreset{.StackMin = 4, .StackMax = 8, .VmnChoice = 5, .TimeIndex = 2, .RhoMode = 0};
constexpr TPreset kRhoOnlyPreset{.StackMin = 3, .StackMax = 6, .VmnChoice = 2, .TimeIndex = 4, .RhoMode = 1};

// Applies preset to the current sequence and shows what it set, in Vp mode.
void ShowPreset(TMainFrm& w, const TPreset& preset) {
    ApplyPreset(*w.CurrentSequence, preset);
    const TReskonPro& d = w.CurrentSequence->Device;
    w.ui->StackMinEdn->setText(QString::number(d.StackMin));
    w.ui->StackMaxEdn->setText(QString::number(d.StackMax));
    w.ui->QMaxEdn->setText(FormatHash2(d.QMax));
    w.ui->VpRdBtn->setChecked(true);
    w.VpRdBtnClick();
}
}  // namespace

void TMainFrm::ConnectParamHandlers() {
    // The array lists show the table's rows in its order: an item's index is the stored type.
    auto fill = [](QComboBox* list, std::span<const TArrayTypeInfo> types) {
        for (const TArrayTypeInfo& type : types) list->addItem(QString::fromLatin1(type.Label));
    };
    fill(ui->ArrayTypeList, SurfaceArrayTypes());
    fill(ui->BoreholeArrayTypeList, BoreholeArrayTypes());

    TControlEvents& e = *Events;
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
    const std::pair<TUpDown*, void (TMainFrm::*)(bool&)> arrows[] = {
        {ui->StdChannelEdnUpDown, &TMainFrm::StdChannelEdnUpDownChanging},
        {ui->OptimizationChannelUpDown, &TMainFrm::ChannelEdnUpDownChanging},
        {ui->QMaxEdnUpDown, &TMainFrm::QMaxEdnUpDownChanging},
        {ui->StackMinEdnUpDown, &TMainFrm::StackMinEdnUpDownChanging},
        {ui->StackMaxEdnUpDown, &TMainFrm::StackMaxEdnUpDownChanging},
        {ui->VabMaxEdtUpDown, &TMainFrm::VabMaxEdtUpDownChanging}};
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

void TMainFrm::StdChannelEdnExit() {
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    bool corrected = false;
    const int v = CommitInt(ui->StdChannelEdn, ui->StdChannelEdnUpDown, corrected);
    s->Device.Channels = v;
    s->LimitChannel(v);
    ui->OptimizationChannelUpDown->setMaximum(v);
    // Repaint only: a command run from here could replace the sequence being written.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (CurrentSequence != s) return;
    ui->OptimizationChannelEdn->setText(QString::number(v));
    s->ChannelOptions.OptimizationChannel = s->Device.Channels;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (CurrentSequence != s) return;
    if (corrected) Corrected(ui->StdChannelEdn, QString::number(v));
}

void TMainFrm::OptimizationChannelEdnExit() {
    if (TElectSequence* s = CurrentSequence)
        CommitIntEdit(ui->OptimizationChannelEdn, ui->OptimizationChannelUpDown,
                      [s](int v) { s->ChannelOptions.OptimizationChannel = v; });
}

void TMainFrm::QMaxEdnExit() {
    if (!CurrentSequence) return;
    const std::optional<double> read = DecimalOf(ui->QMaxEdn->text());
    double v = read.value_or(0.0);
    bool corrected = !read;
    corrected = Clamp(v, ui->QMaxEdnUpDown) || corrected;
    CurrentSequence->Device.QMax = float(v);
    if (corrected) Corrected(ui->QMaxEdn, FormatGeneral(v));
}

void TMainFrm::StackMinEdnExit() {
    if (TElectSequence* s = CurrentSequence)
        CommitIntEdit(ui->StackMinEdn, ui->StackMinEdnUpDown, [s](int v) { s->Device.StackMin = v; });
}

void TMainFrm::StackMaxEdnExit() {
    if (TElectSequence* s = CurrentSequence)
        CommitIntEdit(ui->StackMaxEdn, ui->StackMaxEdnUpDown, [s](int v) { s->Device.StackMax = v; });
}

void TMainFrm::VabMaxEdtExit() {
    if (TElectSequence* s = CurrentSequence)
        CommitIntEdit(ui->VabMaxEdt, ui->VabMaxEdtUpDown, [s](int v) { s->SetVabMax(v); });
}

// Before an arrow steps its edit: the focus goes to the edit, which commits the value when
// it is left (and commits first whatever edit the focus leaves).
void TMainFrm::StdChannelEdnUpDownChanging(bool&) { ui->StdChannelEdn->setFocus(); }

void TMainFrm::ChannelEdnUpDownChanging(bool&) { ui->OptimizationChannelEdn->setFocus(); }

void TMainFrm::QMaxEdnUpDownChanging(bool&) { ui->QMaxEdn->setFocus(); }

void TMainFrm::StackMinEdnUpDownChanging(bool&) {
    ui->StackMinEdn->setFocus();
    // Stack min may not pass the stored stack max (nor the range fall below its own minimum).
    if (CurrentSequence) {
        QSpinBox* range = ui->StackMinEdnUpDown;
        range->setMaximum(std::max(CurrentSequence->Device.StackMax, range->minimum()));
    }
}

void TMainFrm::StackMaxEdnUpDownChanging(bool&) {
    ui->StackMaxEdn->setFocus();
    if (CurrentSequence) {
        QSpinBox* range = ui->StackMaxEdnUpDown;
        range->setMinimum(std::min(CurrentSequence->Device.StackMin, range->maximum()));
    }
}

void TMainFrm::VabMaxEdtUpDownChanging(bool&) { ui->VabMaxEdt->setFocus(); }

// ---------------------------------------------------------------- Rho / IP and voltages

void TMainFrm::RhoOnlyRdBtnClick() {
    if (!CurrentSequence) return;
    CurrentSequence->SetRhoIP(false);
    ui->IPModeCB->setVisible(false);
    ui->IPModeLbl->setVisible(false);
    ui->IPModeProgBtn->setVisible(false);
    ui->TimeCB->setCurrentIndex(int(CurrentSequence->Device.TimeIndex()));
}

void TMainFrm::RhoIPRdBtnClick() {
    if (!CurrentSequence) return;
    CurrentSequence->SetRhoIP(true);
    ui->IPModeCB->setVisible(true);
    ui->IPModeLbl->setVisible(true);
    ui->IPModeProgBtn->setVisible(true);
    ui->IPModeCB->setCurrentIndex(int(CurrentSequence->Device.IPMode()));
    ui->TimeCB->setCurrentIndex(int(CurrentSequence->Device.TimeIndex()));
}

void TMainFrm::RhoIPRdBtnEnter() {
    if (CurrentSequence) ShowPreset(*this, kRhoIPPreset);
}

void TMainFrm::RhoOnlyRdBtnEnter() {
    if (CurrentSequence) ShowPreset(*this, kRhoOnlyPreset);
}

void TMainFrm::VpRdBtnClick() {
    if (!CurrentSequence) return;
    TElectSequence& s = *CurrentSequence;
    s.SetVab(-1);
    if (s.Device.VmnChoice() == 0) s.SetVmn(0);
    ui->VmnCB->setCurrentIndex(int(s.Device.VmnChoice()) - 1);
    ui->VabCB->setCurrentIndex(int(s.Device.VabChoice()) - 1);
    ui->VmnCB->setVisible(true);
    ui->VabMaxEdt->setVisible(true);
    ui->VabMaxLbl->setVisible(true);
    ui->VabMaxEdtUpDown->setVisible(true);
    ui->VabCB->setVisible(false);
    ui->VabMaxEdt->setText(QString::number(s.GetVabMax()));
}

void TMainFrm::VabRdBtnClick() {
    if (!CurrentSequence) return;
    TElectSequence& s = *CurrentSequence;
    s.SetVmn(-1);
    if (s.Device.VabChoice() == 0) s.SetVab(0);
    ui->VmnCB->setCurrentIndex(int(s.Device.VmnChoice()) - 1);
    ui->VabCB->setCurrentIndex(int(s.Device.VabChoice()) - 1);
    ui->VmnCB->setVisible(false);
    ui->VabMaxEdt->setVisible(false);
    ui->VabMaxLbl->setVisible(false);
    ui->VabMaxEdtUpDown->setVisible(false);
    ui->VabCB->setVisible(true);
}

void TMainFrm::TimeCBClick() {
    if (CurrentSequence) CurrentSequence->SetTime(ui->TimeCB->currentIndex());
}

void TMainFrm::IPModeCBClick() {
    if (CurrentSequence) CurrentSequence->SetIPMode(ui->IPModeCB->currentIndex());
}

void TMainFrm::VmnCBClick() {
    if (CurrentSequence) CurrentSequence->SetVmn(ui->VmnCB->currentIndex());
}

void TMainFrm::VabCBClick() {
    if (CurrentSequence) CurrentSequence->SetVab(ui->VabCB->currentIndex());
}

// ---------------------------------------------------------------- name and comment

void TMainFrm::PlanoraNameTxtExit() {
    if (CurrentSequence) CurrentSequence->SetSeqName(SeqNameBytes(ui->PlanoraNameTxt->text()));
}

void TMainFrm::CommentEdtExit() {
    if (CurrentSequence) CurrentSequence->SetComment(ui->CommentEdt->toPlainText().toLocal8Bit().toStdString());
}

// ---------------------------------------------------------------- array type

void TMainFrm::ArrayTypeListClick() {
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    const int index = ui->ArrayTypeList->currentIndex();
    s->SetArrayType(index);
    UpdateRemoteElectrodePanel();
    s->ResetRemoteElectrodes();
    // The edits show the positions just reset, not those of the array left.
    ui->XCaPmTxt->setText(FormatHash2(s->RemoteElectrodes[kRemoteA].X));
    ui->YCaPmTxt->setText(FormatHash2(s->RemoteElectrodes[kRemoteA].Y));
    const TElectrodeXYZ& second = s->RemoteElectrodes[SecondRemoteRole(ArrayTypeOf(s->Grid).Remotes)];
    ui->XCbPnTxt->setText(FormatHash2(second.X));
    ui->YCbPnTxt->setText(FormatHash2(second.Y));

    const int maxChannel = s->GetMaxChannel();
    ui->StdChannelEdnUpDown->setMaximum(maxChannel);
    ui->StdChannelEdn->setText(maxChannel >= 10 ? QStringLiteral("10") : QString::number(maxChannel));
    ui->OptimizationChannelUpDown->setMaximum(s->CheckChannel());
    StdChannelEdnExit();
    if (CurrentSequence != s) return;

    s->ClearQuadripoles();
    ShowSequenceInfo();
    if (OwnVisible(ui->AutomaticCreationBtn)) {
        s->ComputeSpacingLevelDepths(true, 128);
        FillSpacingLevelGrid();
    }

    const bool movable = index != atMixed && OwnEnabled(ui->ComputeBtn);
    ui->MoveComputeBtn->setEnabled(movable);
    ui->CreateNewSeqBtn->setEnabled(movable);
    // "mixed array" has no depth-level grid.
    ui->SpacingLevelGd->setVisible(index != atMixed);
    // The arrays of a fixed Vab (the pole-pole kinds) switch the injection to it.
    if (SurfaceArrayType(index).FixedVab) {
        ui->VabRdBtn->setChecked(true);
        VabRdBtnClick();
    }
    s->NeedsRecompute = 1;
}

void TMainFrm::BoreholeArrayTypeListClick() {
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    const int index = ui->BoreholeArrayTypeList->currentIndex();
    s->SetArrayType(index);
    ui->StdChannelEdnUpDown->setMaximum(s->GetMaxChannel());
    ui->StdChannelEdn->setText(QString::number(s->CheckChannel()));
    ui->OptimizationChannelUpDown->setMaximum(s->CheckChannel());
    s->ChannelOptions.OptimizationChannel = s->CheckChannel();
    ui->OptimizationChannelEdn->setText(QString::number(s->ChannelOptions.OptimizationChannel));
    s->ClearQuadripoles();
    ShowSequenceInfo();
    if (s->Grid.ArrayType != atMixed) s->ComputeSpacingLevelDepths(true, kLevels);
    ui->AutomaticCreationBtn->setVisible(false);
    ui->MoveComputeBtn->setEnabled(false);
    ui->CreateNewSeqBtn->setEnabled(false);
    ui->SpacingLevelGd->setVisible(index != atMixed);
    s->NeedsRecompute = 1;
}

// ---------------------------------------------------------------- remote electrodes

void TMainFrm::UpdateRemoteElectrodePanel() {
    ui->StrapForPopolBtn->setVisible(false);
    ui->StrapPanel->setVisible(false);
    QWidget* second[] = {ui->XCbPnLbl, ui->XCbPnTxt, ui->YCbPnLbl, ui->YCbPnTxt};
    for (QWidget* w : second) w->setVisible(true);
    if (!CurrentSequence) return;
    switch (ArrayTypeOf(CurrentSequence->Grid).Remotes) {
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
        case reNone:
            ui->CaPmCbPnPanel->setVisible(false);
            break;
    }
}

void TMainFrm::XCaPmTxtExit() {
    if (!CurrentSequence) return;
    const std::optional<double> v = DecimalOf(ui->XCaPmTxt->text());
    float& x = CurrentSequence->RemoteElectrodes[kRemoteA].X;
    x = v ? float(*v) : kNoElectrode;
    if (!v) ShowPosition(ui->XCaPmTxt, x);
}

void TMainFrm::YCaPmTxtExit() {
    if (!CurrentSequence) return;
    const std::optional<double> v = DecimalOf(ui->YCaPmTxt->text());
    float& y = CurrentSequence->RemoteElectrodes[kRemoteA].Y;
    y = v ? float(*v) : 0.0f;
    if (!v) ShowPosition(ui->YCaPmTxt, y);
}

// The second remote electrode: B for the gradient array, otherwise N, with M kept on N.
void TMainFrm::StoreSecondRemote(QLineEdit* edit, float TElectrodeXYZ::*coord) {
    if (!CurrentSequence) return;
    TElectSequence& s = *CurrentSequence;
    const std::optional<double> v = DecimalOf(edit->text());
    const float value = v ? float(*v) : kNoElectrode;
    if (SecondRemoteRole(ArrayTypeOf(s.Grid).Remotes) == kRemoteB) {
        s.RemoteElectrodes[kRemoteB].*coord = value;
    } else {
        s.RemoteElectrodes[kRemoteN].*coord = value;
        s.RemoteElectrodes[kRemoteM].*coord = value;
    }
    if (!v) ShowPosition(edit, value);
}

void TMainFrm::XCbPnTxtExit() { StoreSecondRemote(ui->XCbPnTxt, &TElectrodeXYZ::X); }

void TMainFrm::YCbPnTxtExit() { StoreSecondRemote(ui->YCbPnTxt, &TElectrodeXYZ::Y); }

// ---------------------------------------------------------------- multi-channel options

void TMainFrm::MultiChannelOptimizationCbClick() {
    if (!CurrentSequence) return;
    const bool on = ui->MultiChannelOptimizationCb->checkState() != Qt::Unchecked;
    CurrentSequence->ChannelOptions.MultiChannelOptimization = on ? 1 : 0;
    EnableControls(ui->MultiChannelOptimizationGb, on);
}

void TMainFrm::AllowDummyQuadripolesCbClick() {
    if (!CurrentSequence) return;
    CurrentSequence->ChannelOptions.AllowDummyQuadripoles = ui->AllowDummyQuadripolesCb->isChecked() ? 1 : 0;
    CurrentSequence->NeedsRecompute = 1;
}

void TMainFrm::DelPolarEffectCbClick() {
    if (!CurrentSequence) return;
    const bool on = ui->DelPolarEffectCb->isChecked();
    CurrentSequence->ChannelOptions.DelPolarEffect = on ? 1 : 0;
    ui->OptimizationDecreasedLbl->setVisible(on);
    CurrentSequence->NeedsRecompute = 1;
}

// ---------------------------------------------------------------- IP timing

void TMainFrm::IPModeProgBtnClick() {
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    TIPTimeFrm dialog(this);
    const bool programmable = ui->IPModeCB->currentIndex() == ui->IPModeCB->findText("Programmable");
    TStringGrid* grid = dialog.ui->TmStg;
    for (;;) {
        bool error = false;
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
        if (CurrentSequence != s) return;

        s->GetIPTiming(t);
        std::int32_t windows[TIPTimeFrm::kWindows];
        for (int i = 0; i < TIPTimeFrm::kWindows; ++i) windows[i] = std::int32_t(t[3 + i]);
        std::int32_t mdelay = std::int32_t(t[2]);
        if (dialog.ui->MdlyEdt->isEnabled()) {
            mdelay = IntOf(dialog.ui->MdlyEdt->text(), 120);
            // A negative time would wrap round in the 16-bit field: refused like a timing too long.
            if (mdelay < 0) {
                error = true;
                Seam().Beep();
            }
            // The M delay, a fixed 80 ms and the windows must fit in the injection time.
            std::int64_t sum = std::int64_t(mdelay) + 80;
            for (int i = 0; i < TIPTimeFrm::kWindows; ++i) {
                int w = IntOf(dialog.WindowText(i), 0);
                if (w < 0) {
                    w = 0;
                    error = true;
                    Seam().Beep();
                } else {
                    sum += w;
                    if (sum > std::int64_t(t[0])) {
                        w = 0;
                        error = true;
                        Seam().Beep();
                    }
                }
                windows[i] = w;
            }
        }
        if (!error) {
            s->SetIPTiming(std::int32_t(t[0]), std::int32_t(t[1]), mdelay, windows);
            return;
        }
    }
}
