// Acquisition parameter editing: array type, channels, the meter's parameters, the remote
// electrodes, the comment and the multi-channel options. Each control's edit goes to the current
// sequence through its editor (or an engine setter); the controls then show the result.
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

// Applies preset to the current sequence and shows what it set, in Vp mode.
void ShowPreset(TMainFrm& w, const TMeterPreset& preset) {
    w.Edit().ApplyPreset(preset);
    const TReskonPro& d = w.CurrentSequence->Device;
    w.ui->StackMinEdn->setText(QString::number(d.StackMin));
    w.ui->StackMaxEdn->setText(QString::number(d.StackMax));
    w.ui->QMaxEdn->setText(FormatHash2(d.QMax));
    w.ui->VpRdBtn->setChecked(true);
    w.ShowVoltageControls(true);
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
    Edit().SetChannels(v);
    ui->OptimizationChannelUpDown->setMaximum(v);
    // Repaint only: a command run from here could replace the sequence shown.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (CurrentSequence != s) return;
    ui->OptimizationChannelEdn->setText(QString::number(v));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (CurrentSequence != s) return;
    if (corrected) Corrected(ui->StdChannelEdn, QString::number(v));
}

void TMainFrm::OptimizationChannelEdnExit() {
    if (CurrentSequence)
        CommitIntEdit(ui->OptimizationChannelEdn, ui->OptimizationChannelUpDown,
                      [this](int v) { Edit().SetOptimizationChannels(v); });
}

void TMainFrm::QMaxEdnExit() {
    if (!CurrentSequence) return;
    const std::optional<double> read = DecimalOf(ui->QMaxEdn->text());
    double v = read.value_or(0.0);
    bool corrected = !read;
    corrected = Clamp(v, ui->QMaxEdnUpDown) || corrected;
    Edit().SetQMax(float(v));
    if (corrected) Corrected(ui->QMaxEdn, FormatGeneral(v));
}

void TMainFrm::StackMinEdnExit() {
    if (CurrentSequence) CommitIntEdit(ui->StackMinEdn, ui->StackMinEdnUpDown, [this](int v) { Edit().SetStackMin(v); });
}

void TMainFrm::StackMaxEdnExit() {
    if (CurrentSequence) CommitIntEdit(ui->StackMaxEdn, ui->StackMaxEdnUpDown, [this](int v) { Edit().SetStackMax(v); });
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
    Edit().SetRhoIP(false);
    ShowRhoIPControls(false);
}

void TMainFrm::RhoIPRdBtnClick() {
    if (!CurrentSequence) return;
    Edit().SetRhoIP(true);
    ShowRhoIPControls(true);
}

void TMainFrm::ShowRhoIPControls(bool rhoIP) {
    if (!CurrentSequence) return;
    const TReskonPro& d = CurrentSequence->Device;
    for (QWidget* ip : std::initializer_list<QWidget*>{ui->IPModeCB, ui->IPModeLbl, ui->IPModeProgBtn})
        ip->setVisible(rhoIP);
    if (rhoIP) ui->IPModeCB->setCurrentIndex(int(d.IPMode()));
    ui->TimeCB->setCurrentIndex(int(d.TimeIndex()));
}

void TMainFrm::RhoIPRdBtnEnter() {
    if (CurrentSequence) ShowPreset(*this, kRhoIPPreset);
}

void TMainFrm::RhoOnlyRdBtnEnter() {
    if (CurrentSequence) ShowPreset(*this, kRhoOnlyPreset);
}

void TMainFrm::VpRdBtnClick() {
    if (!CurrentSequence) return;
    Edit().ChooseVp();
    ShowVoltageControls(true);
}

void TMainFrm::VabRdBtnClick() {
    if (!CurrentSequence) return;
    Edit().ChooseVab();
    ShowVoltageControls(false);
}

void TMainFrm::ShowVoltageControls(bool vp) {
    if (!CurrentSequence) return;
    const TElectSequence& s = *CurrentSequence;
    ui->VmnCB->setCurrentIndex(int(s.Device.VmnChoice()) - 1);
    ui->VabCB->setCurrentIndex(int(s.Device.VabChoice()) - 1);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->VmnCB, ui->VabMaxEdt, ui->VabMaxLbl, ui->VabMaxEdtUpDown})
        w->setVisible(vp);
    ui->VabCB->setVisible(!vp);
    if (vp) ui->VabMaxEdt->setText(QString::number(s.GetVabMax()));
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
    if (!CurrentSequence) return;
    const int index = ui->ArrayTypeList->currentIndex();
    Edit().ChooseArrayType(index);
    const TElectSequence& s = *CurrentSequence;
    UpdateRemoteElectrodePanel();
    // The edits show the positions just reset, not those of the array left.
    ui->XCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[kRemoteA].X));
    ui->YCaPmTxt->setText(FormatHash2(s.RemoteElectrodes[kRemoteA].Y));
    const TElectrodeXYZ& second = s.RemoteElectrodes[SecondRemoteRole(ArrayTypeOf(s.Grid).Remotes)];
    ui->XCbPnTxt->setText(FormatHash2(second.X));
    ui->YCbPnTxt->setText(FormatHash2(second.Y));
    ShowChannels();

    ShowSequenceInfo();
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

void TMainFrm::BoreholeArrayTypeListClick() {
    if (!CurrentSequence) return;
    const int index = ui->BoreholeArrayTypeList->currentIndex();
    Edit().ChooseBoreholeArrayType(index);
    ShowChannels();
    ShowSequenceInfo();
    ui->AutomaticCreationBtn->setVisible(false);
    ui->MoveComputeBtn->setEnabled(false);
    ui->CreateNewSeqBtn->setEnabled(false);
    ui->SpacingLevelGd->setVisible(index != atMixed);
}

void TMainFrm::ShowChannels() {
    const TElectSequence& s = *CurrentSequence;
    ui->StdChannelEdnUpDown->setMaximum(s.GetMaxChannel());
    ui->StdChannelEdn->setText(QString::number(s.Device.Channels));
    ui->OptimizationChannelUpDown->setMaximum(s.Device.Channels);
    ui->OptimizationChannelEdn->setText(QString::number(s.ChannelOptions.OptimizationChannel));
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
    Edit().SetRemoteA(&TElectrodeXYZ::X, v ? float(*v) : kNoElectrode);
    if (!v) ShowPosition(ui->XCaPmTxt, CurrentSequence->RemoteElectrodes[kRemoteA].X);
}

void TMainFrm::YCaPmTxtExit() {
    if (!CurrentSequence) return;
    const std::optional<double> v = DecimalOf(ui->YCaPmTxt->text());
    Edit().SetRemoteA(&TElectrodeXYZ::Y, v ? float(*v) : 0.0f);
    if (!v) ShowPosition(ui->YCaPmTxt, CurrentSequence->RemoteElectrodes[kRemoteA].Y);
}

// The second remote electrode: B for the gradient array, otherwise N, with M kept on N.
void TMainFrm::StoreSecondRemote(QLineEdit* edit, float TElectrodeXYZ::*coord) {
    if (!CurrentSequence) return;
    const std::optional<double> v = DecimalOf(edit->text());
    const float value = v ? float(*v) : kNoElectrode;
    Edit().SetSecondRemote(coord, value);
    if (!v) ShowPosition(edit, value);
}

void TMainFrm::XCbPnTxtExit() { StoreSecondRemote(ui->XCbPnTxt, &TElectrodeXYZ::X); }

void TMainFrm::YCbPnTxtExit() { StoreSecondRemote(ui->YCbPnTxt, &TElectrodeXYZ::Y); }

// ---------------------------------------------------------------- multi-channel options

void TMainFrm::MultiChannelOptimizationCbClick() {
    if (!CurrentSequence) return;
    const bool on = ui->MultiChannelOptimizationCb->checkState() != Qt::Unchecked;
    Edit().SetMultiChannelOptimization(on);
    EnableControls(ui->MultiChannelOptimizationGb, on);
}

void TMainFrm::AllowDummyQuadripolesCbClick() {
    if (CurrentSequence) Edit().SetAllowDummyQuadripoles(ui->AllowDummyQuadripolesCb->isChecked());
}

void TMainFrm::DelPolarEffectCbClick() {
    if (!CurrentSequence) return;
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

void TMainFrm::IPModeProgBtnClick() {
    TElectSequence* s = CurrentSequence;
    if (!s) return;
    TIPTimeFrm dialog(this);
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
        if (CurrentSequence != s) return;
        // Outside the programmable mode the timing is only shown.
        if (!dialog.ui->MdlyEdt->isEnabled()) return;

        std::int32_t windows[kIPWindows];
        for (int i = 0; i < kIPWindows; ++i) windows[i] = IntOf(dialog.WindowText(i), 0);
        const TIPTimingCheck check = Edit().SetProgrammedIPTiming(IntOf(dialog.ui->MdlyEdt->text(), kDefaultMDelay), windows);
        for (int k = 0; k < check.Refused; ++k) Seam().Beep();
        if (check.Fits()) return;
    }
}
