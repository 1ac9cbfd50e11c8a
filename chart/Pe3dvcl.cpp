#include "chart/Pe3dvcl.h"

#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

using namespace chart;

namespace {

// Read-back texts are cut as the engine's text buffer would cut them, never inside a
// surrogate pair.
QString Cap(const QString& s) {
    qsizetype n = s.indexOf(QChar(0));
    if (n < 0) n = s.size();
    n = std::min<qsizetype>(n, kTextBufferUnits - 1);
    if (n > 0 && n < s.size() && s.at(n - 1).isHighSurrogate()) --n;
    return s.left(n);
}

int32_t ToOrdinal(const PropDef& d, const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        bool numeric = false;
        const int n = v.toString().toInt(&numeric);
        if (numeric) return n;
        const EnumDef* e = d.enumType ? FindEnum(d.enumType) : nullptr;
        return e ? std::max(0, EnumOrdinal(*e, v.toString().toStdString())) : 0;
    }
    return int32_t(v.toLongLong());
}

int32_t ToBool(const QVariant& v) {
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0 && s != QLatin1String("0") && !s.isEmpty();
    }
    return v.toBool() ? 1 : 0;
}

bool IsTALocation(const PropDef& d) { return d.name == std::string_view("TALocation"); }

}  // namespace

Pe3do::Pe3do(QWidget* owner) : QWidget(owner) {
    hObject_ = new ChartEngine(this);
    setMinimumSize(50, 50);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    bars_ = std::make_unique<ChartScrollBars>(this, hObject_, [this] {
        if (isVisible()) setFocus(Qt::OtherFocusReason);
    });
    resize(300, 300);
}

Pe3do::~Pe3do() {
    // The engine goes first so that nothing it reports reaches a half-destroyed control.
    delete hObject_;
    hObject_ = nullptr;
    created_ = false;
}

void Pe3do::Attach() {
    if (created_) return;
    hObject_->SetOwner(this);
    hObject_->SetNumber(id::NotifyWindow, 1);
    connect(hObject_, &ChartEngine::notified, this, &Pe3do::WMCommand);
    connect(hObject_, &ChartEngine::scrolled, this, &Pe3do::EngineScrolled);
    connect(hObject_, &ChartEngine::invalidated, this, [this](const QRect& r) {
        if (r.isNull()) update(); else update(r);
    });
    // A click in the maximised window reads out as a click here does.
    connect(hObject_, &ChartEngine::hotSpotClicked, this, [this](int dbl) { RaiseHotSpot(dbl, hObject_->GetHotSpot()); });
    Layout();
    created_ = true;
    hObject_->TakeProperties();
    hObject_->ResetImage(0, 0);
}

void Pe3do::Loaded() {
    hObject_->TakeProperties();
    hObject_->ResetImage(0, 0);
    update();
}

void Pe3do::ResetandInvalidate() {
    if (!designing_ || !created_) return;
    hObject_->TakeProperties();
    hObject_->ResetImage(0, 0);
    update();
}

// ---- properties by name and by id ----

void Pe3do::SetInt(int id, int32_t v) {
    hObject_->SetNumber(id, v);
    if (const PropDef* d = FindProperty(id); d && (d->flags & kRedrawsInDesigner)) ResetandInvalidate();
}

void Pe3do::SetTextById(int id, const QString& v) {
    hObject_->SetText(id, v);
    if (const PropDef* d = FindProperty(id); d && (d->flags & kRedrawsInDesigner)) ResetandInvalidate();
}

QString Pe3do::Text(int id) const { return Cap(hObject_->GetText(id)); }

void Pe3do::SetZDistance(float v) { SetById(id::ZDistance, v); }

uint32_t Pe3do::GetPointColors(int32_t s, int32_t p) const { return hObject_->GetItem2(id::PointColors, s, p).toUInt(); }

int32_t Pe3do::GetPointTypes(int32_t s, int32_t p) const { return hObject_->GetItem2(id::PointTypes, s, p).toInt(); }

void Pe3do::Set(std::string_view name, const QVariant& v) {
    if (const PropDef* d = FindProperty(name)) SetById(d->id, v);
}
QVariant Pe3do::Get(std::string_view name) const {
    const PropDef* d = FindProperty(name);
    return d ? GetById(d->id) : QVariant();
}
void Pe3do::SetItem(std::string_view name, int index, const QVariant& v) {
    if (const PropDef* d = FindProperty(name)) SetItemById(d->id, index, v);
}
QVariant Pe3do::GetItem(std::string_view name, int index) const {
    const PropDef* d = FindProperty(name);
    return d ? GetItemById(d->id, index) : QVariant();
}
void Pe3do::SetItem2(std::string_view name, int subset, int point, const QVariant& v) {
    if (const PropDef* d = FindProperty(name)) SetItem2ById(d->id, subset, point, v);
}
QVariant Pe3do::GetItem2(std::string_view name, int subset, int point) const {
    const PropDef* d = FindProperty(name);
    return d ? GetItem2ById(d->id, subset, point) : QVariant();
}

void Pe3do::SetById(int id, const QVariant& v) {
    const PropDef* d = FindProperty(id);
    if (!d) return;
    switch (d->kind) {
    case PropKind::Bool: hObject_->SetNumber(id, ToBool(v)); break;
    case PropKind::Int: hObject_->SetNumber(id, int32_t(v.toLongLong())); break;
    case PropKind::Colour: hObject_->SetNumber(id, int32_t(uint32_t(v.toLongLong()))); break;
    case PropKind::Enum: {
        int32_t o = ToOrdinal(*d, v);
        if (IsTALocation(*d) && (o < 0 || o > 15)) o = 0;
        hObject_->SetNumber(id, o);
        break;
    }
    case PropKind::Double: hObject_->SetDouble(id, v.toDouble()); break;
    case PropKind::Single: hObject_->SetSingle(id, v.toFloat()); break;
    case PropKind::Text: hObject_->SetText(id, v.toString()); break;
    default: return;  // read-only, or an array that needs its index
    }
    if (d->flags & kRedrawsInDesigner) ResetandInvalidate();
}

QVariant Pe3do::GetById(int id) const {
    const PropDef* d = FindProperty(id);
    if (!d) return QVariant();
    switch (d->kind) {
    case PropKind::Bool: return Bool(id);
    case PropKind::Int: case PropKind::ReadOnlyInt: return hObject_->GetNumber(id);
    case PropKind::Colour: return uint32_t(hObject_->GetNumber(id));
    case PropKind::Enum: {
        const int o = Ordinal(id);
        return IsTALocation(*d) && o > 15 ? 0 : o;
    }
    case PropKind::Double: return hObject_->GetDouble(id);
    case PropKind::Single: return hObject_->GetSingle(id);
    case PropKind::Text: return Text(id);
    default: return QVariant();
    }
}

namespace {
QVariant ToElement(const PropDef& d, const QVariant& v) {
    switch (d.kind) {
    case PropKind::ItemBool: case PropKind::Item2Bool: return ToBool(v);
    case PropKind::ItemEnum: case PropKind::Item2Enum: return ToOrdinal(d, v);
    case PropKind::ItemColour: case PropKind::Item2Colour: return uint32_t(v.toLongLong());
    default: return v;
    }
}
QVariant FromElement(const PropDef& d, const QVariant& v) {
    switch (d.kind) {
    case PropKind::ItemBool: case PropKind::Item2Bool: return (v.toInt() & 0xFF) != 0;
    case PropKind::ItemEnum: case PropKind::Item2Enum: return v.toInt() & 0xFF;
    case PropKind::ItemColour: case PropKind::Item2Colour: return v.toUInt();
    case PropKind::ItemText: case PropKind::Item2Text: return Cap(v.toString());
    default: return v;
    }
}
}  // namespace

void Pe3do::SetItemById(int id, int index, const QVariant& v) {
    const PropDef* d = FindProperty(id);
    if (d && IsOneIndex(d->kind)) hObject_->SetItem(id, index, ToElement(*d, v));
}
QVariant Pe3do::GetItemById(int id, int index) const {
    const PropDef* d = FindProperty(id);
    return d && IsOneIndex(d->kind) ? FromElement(*d, hObject_->GetItem(id, index)) : QVariant();
}
void Pe3do::SetItem2ById(int id, int subset, int point, const QVariant& v) {
    const PropDef* d = FindProperty(id);
    if (d && IsTwoIndex(d->kind)) hObject_->SetItem2(id, subset, point, ToElement(*d, v));
}
QVariant Pe3do::GetItem2ById(int id, int subset, int point) const {
    const PropDef* d = FindProperty(id);
    return d && IsTwoIndex(d->kind) ? FromElement(*d, hObject_->GetItem2(id, subset, point)) : QVariant();
}

// ---- actions ----

void Pe3do::SetPEactions(ePEactions v) {
    ChartEngine& e = *hObject_;
    const QSize size(PEnarg1_, PEnarg2_);
    switch (v) {
    case tdReinitAndReset: e.Reinitialize(); e.ResetImage(0, 0); update(); break;
    case tdReinitialize: e.Reinitialize(); break;
    case tdResetImage: e.ResetImage(PEnarg1_, PEnarg2_); break;
    case tdInvalidateImage: update(); break;
    case tdMaximize: e.Maximize(); break;
    case tdCustomize: e.CustomizeDialog(); break;
    case tdExportDialog: e.ExportDialog(); break;
    case tdTextExportDialog: e.TextExportDialog(PEnarg1_, PEstrarg1_); break;
    case tdPrintDialog: e.PrintDialog(PEnarg1_ == 0 && PEnarg2_ == 0 ? 1 : 0, size); break;
    case tdColorDialog: e.ColorDialog(); break;
    case tdFontDialog: e.FontDialog(); break;
    case tdPopupMenu: e.PopupMenu(QPoint(PEnarg1_, PEnarg2_)); break;
    case tdMetaToClip: e.MetaToClipboard(size); break;
    case tdMetaToFile: e.MetaToFile(size, PEstrarg1_); break;
    case tdBmpToClip: e.BmpToClipboard(size); break;
    case tdBmpToFile: e.BmpToFile(size, PEstrarg1_); break;
    case tdOleToClip: break;
    case tdReinitCustoms: e.ReinitCustoms(); break;
    case tdPrintGraph: e.PrintGraph(e.GetNumber(id::DefOrientation)); break;
    case tdReset: e.Reset(); break;
    case tdJpegToClip: e.JpegToClipboard(size); break;
    case tdJpegToFile: e.JpegToFile(size, PEstrarg1_); break;
    case tdPngToClip: e.PngToClipboard(size); break;
    case tdPngToFile: e.PngToFile(size, PEstrarg1_); break;
    default: break;
    }
}

// ---- window ----

void Pe3do::Layout() {
    const QSize s = bars_->Layout();
    hObject_->Resize(s.width(), s.height());
}

void Pe3do::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Attach();
}

void Pe3do::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Layout();
}

void Pe3do::paintEvent(QPaintEvent*) {
    if (!hObject_ || hObject_->GetNumber(id::Painting) != 0) return;
    hObject_->SetNumber(id::Painting, 1);
    QPainter p(this);
    const QRect r = ImageRect();
    const bool prepare = Bool(id::PrepareImages), cache = Bool(id::CacheBmp);
    const int dirty = hObject_->GetNumber(id::ImageDirty);
    if (prepare) {
        if (!cache)
            hObject_->DrawTo(p, r);
        else {
            if (dirty || hObject_->GetImage().isNull()) hObject_->RebuildCachedBitmap();
            hObject_->PlayImage(p, r);
        }
        hObject_->SetNumber(id::ImageDirty, 0);
    } else {
        hObject_->PlayImage(p, r);
    }
    bars_->PaintCorner(p);
    if (hasFocus() && Bool(id::FocalRect)) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(r.left(), r.top(), r.width() - 1, r.height() - 1));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    p.end();
    hObject_->AfterPaint();
    hObject_->SetNumber(id::Painting, 0);
}

void Pe3do::focusInEvent(QFocusEvent* e) {
    update();
    QWidget::focusInEvent(e);
}

void Pe3do::focusOutEvent(QFocusEvent* e) {
    update();
    QWidget::focusOutEvent(e);
}

// ---- input ----

void Pe3do::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (designing_ || e->button() == Qt::RightButton) {  // a right press goes nowhere
        emit OnMouseDown(e->button(), e->modifiers(), pos);
        QWidget::mousePressEvent(e);
        return;
    }
    hObject_->MousePress(pos, e->button());
    if (e->button() == Qt::LeftButton) {
        HotSpot(0, e);
    } else {
        emit OnMouseDown(e->button(), e->modifiers(), pos);
        QWidget::mousePressEvent(e);
    }
}

void Pe3do::mouseDoubleClickEvent(QMouseEvent* e) {
    if (designing_ || e->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(e);
        return;
    }
    hObject_->MousePress(e->position().toPoint(), Qt::LeftButton);
    HotSpot(1, e);
}

void Pe3do::HotSpot(int dbl, QMouseEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers();
    clickPending_ = false;
    hotSpotPending_ = false;
    if (ReachesHotSpots(mods, e->buttons()) && HasHotSpotEvent(hObject_->GetHotSpot().type)) {
        // The second press of a double click is a click already; a single press waits to see
        // whether it becomes a drag.
        if (dbl)
            RaiseHotSpot(dbl, hObject_->GetHotSpot());
        else
            hotSpotPending_ = true;
        return;
    }
    if (dbl) {
        emit OnDblClick();
        QWidget::mouseDoubleClickEvent(e);
    } else {
        clickPending_ = true;
        emit OnMouseDown(e->button(), mods, e->position().toPoint());
        QWidget::mousePressEvent(e);
    }
}

void Pe3do::RaiseHotSpot(int dbl, const HotSpotRecord& h) {
    switch (h.type) {
    case hotspot::Data: emit OnDataHotSpot(dbl, h.first, h.second); break;
    case hotspot::Subset: emit OnSubsetHotSpot(dbl, h.first); break;
    case hotspot::Point: emit OnPointHotSpot(dbl, h.first); break;
    case hotspot::GridNumberY: case hotspot::GridNumberX: case hotspot::GridNumberZ: {
        const double v = hObject_->GetItem(id::GridNumberValues, h.second).toDouble();
        const int type = h.type == hotspot::GridNumberY ? 0 : h.type == hotspot::GridNumberX ? 1 : 4;
        emit OnGridNumber(dbl, type, v);
        break;
    }
    case hotspot::MainTitle: emit OnMainTitle(dbl); break;
    case hotspot::SubTitle: emit OnSubTitle(dbl); break;
    case hotspot::MultiSubTitle: emit OnMultiSubTitle(dbl, h.first, h.second); break;
    case hotspot::MultiBottomTitle: emit OnMultiBottomTitle(dbl, h.first, h.second); break;
    case hotspot::GraphAnnotation: emit OnGraphAnnotHotSpot(dbl, h.first); break;
    default:
        if (HasHotSpotEvent(h.type)) emit OnTableAnnotation(dbl, h.type - hotspot::TableAnnotationFirst, h.first, h.second);
        break;
    }
}

void Pe3do::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    bool click = false;
    if (!designing_) {
        // The engine hears of a right click when the button comes up.
        if (e->button() == Qt::RightButton)
            hObject_->MousePress(pos, Qt::RightButton);
        else
            click = hObject_->MouseRelease(pos, e->button());
    }
    // A press that turned the view is no click: no hot spot, no click event.
    if (e->button() == Qt::LeftButton && hotSpotPending_ && click) RaiseHotSpot(0, hObject_->GetHotSpot());
    emit OnMouseUp(e->button(), e->modifiers(), pos);
    if (e->button() == Qt::LeftButton && clickPending_ && click && rect().contains(pos)) emit OnClick();
    if (e->button() == Qt::LeftButton) clickPending_ = hotSpotPending_ = false;
    QWidget::mouseReleaseEvent(e);
}

void Pe3do::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (!designing_ && (!movedOnce_ || pos != lastMovePos_ || e->buttons() != lastMoveButtons_)) {
        movedOnce_ = true;
        lastMovePos_ = pos;
        lastMoveButtons_ = e->buttons();
        hObject_->MouseMove(pos, e->buttons());
    }
    QWidget::mouseMoveEvent(e);
}

bool Pe3do::focusNextPrevChild(bool next) {
    if (designing_ || !hObject_) return QWidget::focusNextPrevChild(next);
    return false;
}

void Pe3do::keyPressEvent(QKeyEvent* e) {
    emit OnKeyDown(e->key(), e->modifiers());
    if (!designing_) hObject_->KeyDown(e->key(), e->modifiers());
    e->accept();
}

void Pe3do::keyReleaseEvent(QKeyEvent* e) {
    emit OnKeyUp(e->key(), e->modifiers());
    e->accept();
}

void Pe3do::wheelEvent(QWheelEvent* e) {
    if (isVisible()) setFocus(Qt::MouseFocusReason);
    hObject_->Wheel(e->angleDelta().y());
    e->accept();
}

// ---- scrolling and notifications ----

void Pe3do::EngineScrolled(Qt::Orientation o, int code, int pos) {
    if (code == SbEndScroll) return;
    bars_->Show(o, pos);
    int reported = pos;  // a changed position is not used
    if (o == Qt::Horizontal)
        emit OnHorzScroll(code, reported);
    else
        emit OnVertScroll(code, reported);
}

void Pe3do::MirrorScrollBars() {
    if (bars_->Mirror()) Layout();
}

void Pe3do::WMCommand(int code) {
    if (sender() != hObject_) return;
    switch (code) {
    case notify::CustomGridNumbers:
        if (isSignalConnected(QMetaMethod::fromSignal(&Pe3do::OnCustomGridnumbers))) {
            CustomGridNumberRecord r = hObject_->GetCustomGridNumber();
            emit OnCustomGridnumbers(r.nAxisType, r.nAxisIndex, r.dNumber, r.szData);
            r.szData[99] = 0;
            hObject_->SetCustomGridNumber(r);
        }
        break;
    case notify::CustomMenu:
        emit OnCustomMenu(hObject_->GetNumber(id::CustomMenuIndex), hObject_->GetNumber(id::CustomSubmenuIndex));
        break;
    case notify::PreHScroll: emit OnPreHScroll(); break;
    case notify::PreVScroll: emit OnPreVScroll(); break;
    case notify::CustomizeDialog: emit OnCustomizeDlg(); break;
    case notify::PopupMenu: emit OnPopupMenu(); break;
    case notify::ParamsChanged:
        MirrorScrollBars();
        emit OnParamUpdate();
        break;
    default: break;
    }
}

void ApplyMainFormChartValues(Pe3do& chart) {
    for (int i = 0; i < kMainFormChartValueCount; ++i)
        chart.Set(kMainFormChartValues[i].name, QString::fromUtf8(kMainFormChartValues[i].value));
    chart.Loaded();
}
