#include "chart/ChartEngine.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QScreen>
#include <QTextStream>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "chart/ChartEnums.h"
#include "chart/ChartExportDialog.h"
#include "chart/ChartView.h"
#include "seam/Seam.h"
#include "seam/UserFile.h"

namespace chart {

namespace {
int Id(const char* name) { return FindProperty(name)->id; }
const int kRotation = Id("DegreeOfRotation");
const int kHeight = Id("ViewingHeight");
}  // namespace

ChartEngine::ChartEngine(QObject* parent) : QObject(parent) {
    connect(&rotateTimer_, &QTimer::timeout, this, &ChartEngine::RotateStep);
}

ChartEngine::~ChartEngine() = default;

bool ChartEngine::Allowed(const char* flag) const { return (store_.GetNumber(Id(flag)) & 0xFF) != 0; }

void ChartEngine::SetNumber(int id, int32_t v) { store_.SetNumber(id, v); }

int32_t ChartEngine::GetNumber(int id) const { return store_.GetNumber(id); }

QVariant ChartEngine::GetItem(int id, int index) const {
    if (id == id::GridNumberValues)
        return index >= 0 && index < int(frame_.gridNumbers.size()) ? frame_.gridNumbers[size_t(index)] : 0.0;
    return store_.GetItem(id, index);
}

OverrideFn ChartEngine::Overrides() const {
    return [this](int subset, int point, uint32_t& colour, int& type) {
        store_.PointColor(subset, point, colour);
        int32_t t;
        if (store_.PointType(subset, point, t)) type = t;
    };
}

NumberTextFn ChartEngine::NumberTexts() {
    return [this](int axisType, int axisIndex, double value, QString& text) {
        custom_ = {};
        custom_.nAxisType = axisType;
        custom_.nAxisIndex = axisIndex;
        custom_.dNumber = value;
        const int n = std::min<int>(int(text.size()), 99);
        std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), n, custom_.szData);
        custom_.szData[n] = 0;
        emit notified(notify::CustomGridNumbers);
        custom_.szData[99] = 0;
        text = QString::fromUtf16(custom_.szData);
    };
}

void ChartEngine::Reinitialize() {
    if (!ShowableDistance(store_.GetSingle(id::ZDistance)))
        throw EViewingDistance("The chart cannot be shown from that distance.");
    TakeProperties();
}

void ChartEngine::TakeProperties() {
    const float shown = Distance();
    model_ = BuildModel(store_);
    model_.zDistance = shown;
    stale_ = true;
    SyncAutoRotation();
    emit notified(notify::ParamsChanged);
}

float ChartEngine::Distance() const {
    const float d = store_.GetSingle(id::ZDistance);
    return ShowableDistance(d) ? d : ShowableDistance(model_.zDistance) ? model_.zDistance : kDefaultDistance;
}

void ChartEngine::RenderFrame(QSize size) {
    store_.TakeOverrideChanges();  // the new image shows them all
    Renderer::Render(model_, Overrides(), NumberTexts(), size, frame_);
    ++renders_;
    store_.SetNumber(id::ImageDirty, 1);
}

namespace {
// Beyond this an image would take gigabytes; such a request is refused, not attempted.
bool Drawable(QSize s) {
    return s.width() > 0 && s.height() > 0 && s.width() <= 10000 && s.height() <= 10000 &&
           qint64(s.width()) * s.height() <= 40'000'000;
}
}  // namespace

void ChartEngine::Tell(const QString& text) { Seam().Message(text, QObject::tr("Chart"), TMsgIcon::Warning, owner_); }

bool ChartEngine::CheckSize(QSize s) {
    if (Drawable(s)) return true;
    Tell(tr("The chart cannot be made %1 x %2 pixels large.").arg(s.width()).arg(s.height()));
    return false;
}

void ChartEngine::ResetImage(int width, int height) {
    const QSize asked(width, height);
    RenderFrame(Drawable(asked) ? asked : size_);
    stale_ = false;
}

void ChartEngine::RebuildCachedBitmap() {
    SyncAutoRotation();
    if (stale_ || !frame_.valid) {
        ResetImage(0, 0);
        return;
    }
    ChartStore::OverrideChanges changes = store_.TakeOverrideChanges();
    if (changes.all)
        RenderFrame(frame_.image.size());
    else if (!changes.points.empty())
        Renderer::Repair(frame_, model_, Overrides(), changes.points);
}

void ChartEngine::DrawTo(QPainter& p, const QRect& rect) {
    RebuildCachedBitmap();
    PlayImage(p, rect);
}

void ChartEngine::PlayImage(QPainter& p, const QRect& rect) const {
    if (frame_.image.isNull()) return;
    if (frame_.image.size() == rect.size())
        p.drawImage(rect.topLeft(), frame_.image);
    else
        p.drawImage(rect, frame_.image);
}

void ChartEngine::RenderTo(QPainter& p, const QRect& target) {
    Renderer::Paint(p, target, model_, Overrides(), NumberTexts());
}

QImage ChartEngine::RenderImage(QSize size) {
    Frame f;
    Renderer::Render(model_, Overrides(), NumberTexts(), OrDefault(size), f);
    return f.image;
}

void ChartEngine::Resize(int width, int height) {
    controlSize_ = QSize(std::max(50, width), std::max(50, height));
    if (!maximized_) SetSize(controlSize_);
}

void ChartEngine::ResizeMaximized(QSize size) {
    if (maximized_) SetSize(size.expandedTo(QSize(50, 50)));
}

void ChartEngine::SetSize(QSize s) {
    if (s == size_) return;
    size_ = s;
    stale_ = true;
}

QSize ChartEngine::OrDefault(QSize s) const {
    return s.width() > 0 && s.height() > 0 ? s : size_;
}

// ---- view and input ----

void ChartEngine::ViewChanged() {
    model_.rotation = store_.GetNumber(kRotation);
    model_.viewingHeight = store_.GetNumber(kHeight);
    model_.zDistance = Distance();
    ResetImage(0, 0);
    emit notified(notify::ParamsChanged);
    emit invalidated(QRect());
}

void ChartEngine::SyncAutoRotation() {
    const bool on = Allowed("AutoRotation") && Allowed("AllowRotation");
    const int interval = std::clamp(store_.GetNumber(id::RotationSpeed), 10, 5000);
    if (!on) {
        rotateTimer_.stop();
    } else if (!rotateTimer_.isActive() || rotateTimer_.interval() != interval) {
        rotateTimer_.start(interval);
    }
}

void ChartEngine::RotateStep() {
    static const int kSteps[] = {15, 10, 5, 2, 1, -1, -2, -5, -10, -15};
    const int inc = kSteps[std::clamp(store_.GetNumber(Id("RotationIncrement")) & 0xFF, 0, 9)];
    store_.SetNumber(kRotation, (store_.GetNumber(kRotation) % 360 + inc + 360) % 360);
    ViewChanged();
    SyncAutoRotation();
}

void ChartEngine::KeyDown(int key, Qt::KeyboardModifiers) {
    const int ui = store_.GetNumber(Id("AllowUserInterface")) & 0xFF;
    if (ui == tdNoInterface || ui == tdNoKeyboard) return;
    const bool rotate = Allowed("AllowRotation");
    int rot = store_.GetNumber(kRotation) % 360, height = std::clamp(store_.GetNumber(kHeight), -90, 90);
    float zd = Distance();
    switch (key) {
    case Qt::Key_Left: if (rotate) rot -= 5; break;
    case Qt::Key_Right: if (rotate) rot += 5; break;
    case Qt::Key_Up: if (rotate) height = std::min(90, height + 5); break;
    case Qt::Key_Down: if (rotate) height = std::max(-90, height - 5); break;
    case Qt::Key_PageUp: case Qt::Key_Plus: zd = std::min(kNearestDistance, zd + 1); break;
    case Qt::Key_PageDown: case Qt::Key_Minus: zd = std::max(kFarthestDistance, zd - 1); break;
    default: return;
    }
    store_.SetNumber(kRotation, (rot % 360 + 360) % 360);
    store_.SetNumber(kHeight, height);
    store_.SetSingle(id::ZDistance, zd);
    ViewChanged();
}

void ChartEngine::Wheel(int delta) {
    const int ui = store_.GetNumber(Id("AllowUserInterface")) & 0xFF;
    if (ui == tdNoInterface || ui == tdNoMouse) return;
    if ((store_.GetNumber(Id("MouseWheelFunction")) & 0xFF) == tdMouseWheelDisabled) return;
    const int steps = delta / 120 != 0 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    if (steps == 0) return;
    store_.SetSingle(id::ZDistance, std::clamp(Distance() + float(steps), kFarthestDistance, kNearestDistance));
    ViewChanged();
}

void ChartEngine::MousePress(QPoint pos, Qt::MouseButton button) {
    if (button == Qt::LeftButton) {
        // An image made at another size is shown stretched: find the spot on the image itself.
        const QSize img = frame_.image.size();
        const QPoint at = img.isEmpty() || img == size_ ? pos
                                                        : QPoint(int(qint64(pos.x()) * img.width() / size_.width()),
                                                                 int(qint64(pos.y()) * img.height() / size_.height()));
        const HotSpotArea a = HitTest(at);
        hotSpot_ = {a.rect.left(), a.rect.top(), a.rect.right() + 1, a.rect.bottom() + 1, a.type, a.first, a.second};
        if (a.type == hotspot::None) hotSpot_ = {};
        pressed_ = true;
        dragging_ = false;
        dragFrom_ = pos;
        dragRotation_ = store_.GetNumber(kRotation) % 360;
        dragHeight_ = std::clamp(store_.GetNumber(kHeight), -90, 90);
    } else if (button == Qt::RightButton) {
        if (Allowed("AllowPopup")) PopupMenu(pos);
    }
}

bool ChartEngine::MouseRelease(QPoint, Qt::MouseButton button) {
    if (button != Qt::LeftButton) return false;
    const bool click = pressed_ && !dragging_;
    pressed_ = dragging_ = false;
    return click;
}

void ChartEngine::MouseMove(QPoint pos, Qt::MouseButtons buttons) {
    const int ui = store_.GetNumber(Id("AllowUserInterface")) & 0xFF;
    if (!pressed_ || !(buttons & Qt::LeftButton) || ui == tdNoInterface || ui == tdNoMouse || !Allowed("AllowRotation"))
        return;
    const QPoint d = pos - dragFrom_;
    if (!dragging_ && d.manhattanLength() < 5) return;
    dragging_ = true;
    store_.SetNumber(kRotation, ((dragRotation_ + d.x() / 2) % 360 + 360) % 360);
    store_.SetNumber(kHeight, std::clamp(dragHeight_ + d.y() / 2, -90, 90));
    ViewChanged();
}

ScrollRange ChartEngine::Range(Qt::Orientation o) const {
    if (!Allowed("AllowRotation")) return {};
    if (o == Qt::Horizontal)
        return Allowed("AllowHorzScrollBar") ? ScrollRange{0, 359, (store_.GetNumber(kRotation) % 360 + 360) % 360}
                                             : ScrollRange{};
    return Allowed("AllowVertScrollBar") ? ScrollRange{0, 180, 90 - std::clamp(store_.GetNumber(kHeight), -90, 90)}
                                         : ScrollRange{};
}

void ChartEngine::Scroll(Qt::Orientation o, int code, int pos) {
    const ScrollRange r = Range(o);
    if (r.max == 0) return;
    emit notified(o == Qt::Horizontal ? notify::PreHScroll : notify::PreVScroll);
    int p = r.pos;
    switch (code) {
    case SbLineUp: p -= 1; break;
    case SbLineDown: p += 1; break;
    case SbPageUp: p -= 15; break;
    case SbPageDown: p += 15; break;
    case SbThumbPosition: case SbThumbTrack: p = pos; break;
    case SbTop: p = r.min; break;
    case SbBottom: p = r.max; break;
    default: return;
    }
    p = std::clamp(p, r.min, r.max);
    if (o == Qt::Horizontal)
        store_.SetNumber(kRotation, p);
    else
        store_.SetNumber(kHeight, 90 - p);
    ViewChanged();
    emit scrolled(o, code, p);
}

// ---- actions ----

void ChartEngine::Reset() {
    const int32_t window = store_.GetNumber(id::NotifyWindow);
    store_.Reset();
    store_.SetNumber(id::NotifyWindow, window);
    TakeProperties();
}

void ChartEngine::Maximize() {
    if (!Allowed("AllowMaximization")) return;
    // While the large window is open the chart is drawn, and clicked, at its size.
    maximized_ = true;
    {
        QDialog window(owner_);
        window.setObjectName(QStringLiteral("ChartMaximizedDlg"));
        window.setWindowTitle(owner_ ? owner_->window()->windowTitle() : QString());
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new ChartView(this, &window);
        layout->addWidget(view);
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        window.resize(avail.size() * 0.9);
        view->setFocus();
        Seam().RunModal(window);
    }
    maximized_ = false;
    SetSize(controlSize_);
    emit invalidated(QRect());
}

void ChartEngine::CustomizeDialog() {
    if (Allowed("AllowCustomization")) emit notified(notify::CustomizeDialog);
}

void ChartEngine::PopupMenu(QPoint) { emit notified(notify::PopupMenu); }

void ChartEngine::ColorDialog() {
    QColor c = Renderer::ToColor(uint32_t(store_.GetNumber(Id("GraphBackColor"))));
    if (!Seam().ChooseColor(c, owner_)) return;
    store_.SetNumber(Id("GraphBackColor"), int32_t(uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16));
    TakeProperties();
    ResetImage(0, 0);
    emit invalidated(QRect());
}

void ChartEngine::FontDialog() {
    QFont f(store_.GetText(Id("LabelFont")));
    if (!Seam().ChooseFont(f, owner_)) return;
    store_.SetText(Id("LabelFont"), f.family());
    TakeProperties();
    ResetImage(0, 0);
    emit invalidated(QRect());
}

void ChartEngine::ExportDialog() {
    if (!Allowed("AllowExporting")) return;
    ExportRequest req;
    req.type = store_.GetNumber(Id("ExportTypeDef")) & 0xFF;
    req.destination = store_.GetNumber(Id("ExportDestDef")) & 0xFF;
    req.file = store_.GetText(Id("ExportFileDef"));
    req.size = size_;
    ChartExportDialog dialog(req, owner_);
    if (Seam().RunModal(dialog) != QDialog::Accepted) return;
    req = dialog.Request();
    store_.SetNumber(Id("ExportTypeDef"), req.type);
    store_.SetNumber(Id("ExportDestDef"), req.destination);
    store_.SetText(Id("ExportFileDef"), req.file);
    const QSize size = OrDefault(req.size);
    if (req.destination == tdExportToPrinter) {
        QPrinter printer(QPrinter::HighResolution);
        if (Seam().SetupPrinter(printer, owner_)) Print(printer, size);
        return;
    }
    if (req.destination == tdExportToClipboard) {
        if (req.type == tdExportText) {
            if (QClipboard* cb = QGuiApplication::clipboard()) cb->setText(DataAsText());
        } else {
            ImageToClipboard(size);
        }
        return;
    }
    switch (req.type) {
    case tdExportMetafile: ExportPdf(req.file, size); break;
    case tdExportBmp: ExportImage(req.file, ImageFormat::Bmp, size); break;
    case tdExportJpeg: ExportImage(req.file, ImageFormat::Jpeg, size); break;
    case tdExportText: ExportText(req.file); break;
    default: ExportImage(req.file, ImageFormat::Png, size); break;
    }
}

void ChartEngine::TextExportDialog(int number, const QString& text) {
    if (number == 1) {
        if (QClipboard* cb = QGuiApplication::clipboard()) cb->setText(DataAsText());
        return;
    }
    TFileDialogSetup dialog;
    dialog.Save = true;
    dialog.Title = tr("Export data");
    dialog.FileName = text;
    dialog.Filter = tr("Text (*.txt)|*.txt");
    dialog.Parent = owner_;
    if (Seam().ExecuteFileDialog(dialog)) ExportText(dialog.FileName);
}

void ChartEngine::PrintDialog(int flag, QSize size) {
    QPrinter printer(QPrinter::HighResolution);
    const int orientation = store_.GetNumber(id::DefOrientation) & 0xFF;
    if (orientation == tdLandscape) printer.setPageOrientation(QPageLayout::Landscape);
    if (orientation == tdPortrait) printer.setPageOrientation(QPageLayout::Portrait);
    if (!Seam().SetupPrinter(printer, owner_)) return;
    Print(printer, flag ? QSize() : size);
}

void ChartEngine::PrintGraph(int orientation) {
    QPrinter printer(QPrinter::HighResolution);
    if ((orientation & 0xFF) == tdLandscape) printer.setPageOrientation(QPageLayout::Landscape);
    if ((orientation & 0xFF) == tdPortrait) printer.setPageOrientation(QPageLayout::Portrait);
    Print(printer, QSize());
}

void ChartEngine::MetaToClipboard(QSize size) { ImageToClipboard(size); }

void ChartEngine::ImageToClipboard(QSize size) {
    if (!CheckSize(OrDefault(size))) return;
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->setImage(RenderImage(size));
}

bool ChartEngine::WriteExport(const QString& file, const QByteArray& bytes, const QString& failure) {
    // Written beside the file and renamed over it: a failed write keeps the old file whole.
    QString why;
    if (!file.isEmpty() && WriteUserFile(file, bytes, &why)) return true;
    Tell(failure.arg(file, file.isEmpty() ? tr("no file name") : why));
    return false;
}

bool ChartEngine::ExportImage(const QString& file, ImageFormat format, QSize size) {
    if (!CheckSize(OrDefault(size))) return false;
    const QString failure = tr("The chart could not be exported to \"%1\": %2");
    if (file.isEmpty()) return WriteExport(file, {}, failure);
    const QImage img = RenderImage(size);
    const char* kind = format == ImageFormat::Png ? "png" : format == ImageFormat::Jpeg ? "jpeg" : "bmp";
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QImageWriter writer(&bytes, kind);
    if (format == ImageFormat::Jpeg) writer.setQuality(std::clamp(store_.GetNumber(Id("JpgQuality")), 1, 100));
    if (!writer.write(img)) {
        Tell(failure.arg(file, writer.errorString()));
        return false;
    }
    return WriteExport(file, bytes.data(), failure);
}

bool ChartEngine::ExportPdf(const QString& file, QSize size) {
    if (!CheckSize(OrDefault(size))) return false;
    const QString failure = tr("The chart could not be exported to \"%1\": %2");
    if (file.isEmpty()) return WriteExport(file, {}, failure);
    const QSize s = OrDefault(size);
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(96);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(s.width() * 25.4 / 96, s.height() * 25.4 / 96), QPageSize::Millimeter));
        QPainter p;
        if (!p.begin(&pdf)) {
            Tell(tr("The chart could not be exported to \"%1\".").arg(file));
            return false;
        }
        RenderTo(p, QRect(QPoint(0, 0), p.viewport().size()));
        p.end();
    }
    return WriteExport(file, bytes.data(), failure);
}

QString ChartEngine::DataAsText() const {
    static const QChar kDelimiters[] = {u'\t', u',', u';', u' '};
    const QChar sep = kDelimiters[std::clamp(store_.GetNumber(Id("Delimiter")), 0, 3)];
    const float nx = float(store_.GetDouble(Id("NullDataValueX"))), ny = float(store_.GetDouble(Id("NullDataValueY"))),
                nz = float(store_.GetDouble(Id("NullDataValueZ")));
    QString out;
    QTextStream ts(&out);
    ts << "Subset" << sep << "Point" << sep << "X" << sep << "Y" << sep << "Z\n";
    for (int s = 0; s < store_.Subsets(); ++s)
        for (int p = 0; p < store_.Points(); ++p) {
            const float x = store_.GetData(id::XData, s, p), y = store_.GetData(id::YData, s, p),
                        z = store_.GetData(id::ZData, s, p);
            if (x == nx || y == ny || z == nz) continue;
            ts << s << sep << p << sep << QString::number(x, 'g', 7) << sep << QString::number(y, 'g', 7) << sep
               << QString::number(z, 'g', 7) << '\n';
        }
    return out;
}

bool ChartEngine::ExportText(const QString& file) {
    return WriteExport(file, DataAsText().toUtf8(), tr("The chart data could not be exported to \"%1\": %2"));
}

bool ChartEngine::Print(QPrinter& printer, QSize size) {
    QPainter p;
    if (!p.begin(&printer)) {
        Tell(tr("The chart could not be printed: the printer could not be opened."));
        return false;
    }
    QRect page = p.viewport();
    if (size.width() > 0 && size.height() > 0) {
        // Keep the requested shape, as large as the page allows.
        const QSize fit = size.scaled(page.size(), Qt::KeepAspectRatio);
        page = QRect(page.topLeft(), fit);
    }
    RenderTo(p, page);
    const bool ended = p.end();
    if (!ended || printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted) {
        Tell(tr("The chart could not be printed: the printer stopped or was cancelled."));
        return false;
    }
    return true;
}

}  // namespace chart
