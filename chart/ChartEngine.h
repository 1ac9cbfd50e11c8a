#pragma once
// Our charting engine: the property store, the rendered image, the actions and the input
// that turns the view. It stays invisible; the control paints its image and forwards input.
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <stdexcept>

#include "chart/ChartProperties.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartStore.h"

class QPrinter;

namespace chart {

// Scroll codes of the engine's scroll reports and requests.
enum ScrollCode { SbLineUp = 0, SbLineDown, SbPageUp, SbPageDown, SbThumbPosition, SbThumbTrack, SbTop, SbBottom, SbEndScroll };

struct ScrollRange {
    int min = 0, max = 0, pos = 0;
};

enum class ImageFormat { Png, Jpeg, Bmp };

// Only a plain left click reaches a hot spot: with Shift or Ctrl, or with another button held,
// it is a plain click of the window.
inline bool ReachesHotSpots(Qt::KeyboardModifiers mods, Qt::MouseButtons held) {
    return !(mods & (Qt::ShiftModifier | Qt::ControlModifier)) && !(held & (Qt::RightButton | Qt::MiddleButton));
}

// The refusal of a viewing distance the chart cannot be shown from (ShowableDistance).
class EViewingDistance : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class ChartEngine : public QObject {
    Q_OBJECT
public:
    explicit ChartEngine(QObject* parent = nullptr);
    ~ChartEngine() override;

    // The control's window: parent of the dialogs.
    void SetOwner(QWidget* w) { owner_ = w; }
    QWidget* Owner() const { return owner_; }

    // ---- property store (ids of the one table, plus the engine's own ids) ----
    void SetNumber(int id, int32_t v);
    int32_t GetNumber(int id) const;
    void SetDouble(int id, double v) { store_.SetDouble(id, v); }
    double GetDouble(int id) const { return store_.GetDouble(id); }
    void SetSingle(int id, float v) { store_.SetSingle(id, v); }
    float GetSingle(int id) const { return store_.GetSingle(id); }
    void SetText(int id, const QString& v) { store_.SetText(id, v); }
    QString GetText(int id) const { return store_.GetText(id); }
    void SetItem(int id, int index, const QVariant& v) { store_.SetItem(id, index, v); }
    QVariant GetItem(int id, int index) const;
    void SetItem2(int id, int subset, int point, const QVariant& v) { store_.SetItem2(id, subset, point, v); }
    QVariant GetItem2(int id, int subset, int point) const { return store_.GetItem2(id, subset, point); }
    ChartStore& Store() { return store_; }
    const ChartStore& Store() const { return store_; }
    // Records read and written as blocks.
    HotSpotRecord GetHotSpot() const { return hotSpot_; }
    CustomGridNumberRecord GetCustomGridNumber() const { return custom_; }
    void SetCustomGridNumber(const CustomGridNumberRecord& r) { custom_ = r; }

    // ---- rendering ----
    // Takes the properties in: later changes show only after the next call. A viewing distance
    // beyond what the chart can show (ShowableDistance) is refused with EViewingDistance, and
    // then nothing changes.
    void Reinitialize();
    // The same without refusing: a distance that cannot be shown leaves the one shown.
    void TakeProperties();
    // Renders the image anew at the engine's size, or at width x height when both are given.
    void ResetImage(int width, int height);
    // What the chart took in at its last re-initialisation: data, scales, titles.
    const RenderModel& Model() const { return model_; }
    // The last rendered image (null before the first one), and what it shows where.
    const QImage& GetImage() const { return frame_.image; }
    const Frame& GetFrame() const { return frame_; }
    // Brings per-point colour and type changes into the image (or renders it when it has none).
    void RebuildCachedBitmap();
    // Paints the image into rect, first bringing it up to date as RebuildCachedBitmap does.
    void DrawTo(QPainter& p, const QRect& rect);
    // Paints the image as it is.
    void PlayImage(QPainter& p, const QRect& rect) const;
    // Tells the engine a paint of the control is over.
    void AfterPaint() { emit painted(); }
    // Draws the chart anew at any size and on any device (printer, PDF, the maximised window).
    void RenderTo(QPainter& p, const QRect& target);
    QImage RenderImage(QSize size);
    // The control's size; while the chart is maximised, the large window's size is drawn.
    void Resize(int width, int height);
    void ResizeMaximized(QSize size);
    QSize Size() const { return size_; }
    // Hot spot at pos of the current image.
    HotSpotArea HitTest(QPoint pos) const { return Renderer::HitTest(frame_, model_, pos); }
    int RenderCount() const { return renders_; }
    bool IsAutoRotating() const { return rotateTimer_.isActive(); }

    // ---- input ----
    void MouseMove(QPoint pos, Qt::MouseButtons buttons);
    // A left press notes the hot spot under pos; moving with the button held turns the view.
    void MousePress(QPoint pos, Qt::MouseButton button);
    // Ends a press: true when it was a click, false after a drag that turned the view.
    bool MouseRelease(QPoint pos, Qt::MouseButton button);
    void KeyDown(int key, Qt::KeyboardModifiers mods);
    void Wheel(int delta);
    ScrollRange Range(Qt::Orientation o) const;
    void Scroll(Qt::Orientation o, int code, int pos);

    // ---- actions ----
    void Reset();
    void Maximize();
    void CustomizeDialog();
    void ExportDialog();
    void TextExportDialog(int number, const QString& text);
    void PrintDialog(int flag, QSize size);
    void ColorDialog();
    void FontDialog();
    void PopupMenu(QPoint at);
    void MetaToClipboard(QSize size);
    void MetaToFile(QSize size, const QString& file) { ExportPdf(file, size); }
    void BmpToClipboard(QSize size) { ImageToClipboard(size); }
    void BmpToFile(QSize size, const QString& file) { ExportImage(file, ImageFormat::Bmp, size); }
    void JpegToClipboard(QSize size) { ImageToClipboard(size); }
    void JpegToFile(QSize size, const QString& file) { ExportImage(file, ImageFormat::Jpeg, size); }
    void PngToClipboard(QSize size) { ImageToClipboard(size); }
    void PngToFile(QSize size, const QString& file) { ExportImage(file, ImageFormat::Png, size); }
    void ReinitCustoms() { Reinitialize(); }
    void PrintGraph(int orientation);
    int AppendFromUrl(const QString&) { return 0; }

    // Non-interactive export and printing; a failure is told to the user and gives false.
    // An empty size means the engine's own size.
    bool ExportImage(const QString& file, ImageFormat format, QSize size);
    bool ExportPdf(const QString& file, QSize size);
    bool ExportText(const QString& file);
    QString DataAsText() const;
    bool Print(QPrinter& printer, QSize size);

public slots:
    // One step of the automatic rotation.
    void RotateStep();

signals:
    // Engine notifications (the codes of namespace notify).
    void notified(int code);
    // The engine scrolled its view.
    void scrolled(Qt::Orientation o, int code, int pos);
    // Repaint rect, or everything when it is null.
    void invalidated(const QRect& rect);
    void painted();
    // A click in the maximised window hit the hot spot that GetHotSpot now holds.
    void hotSpotClicked(int dblClick);

private:
    OverrideFn Overrides() const;
    NumberTextFn NumberTexts();
    void RenderFrame(QSize size);
    void SetSize(QSize s);
    // The stored distance when the chart can show it, else the one shown.
    float Distance() const;
    void ViewChanged();
    void SyncAutoRotation();
    void ImageToClipboard(QSize size);
    QSize OrDefault(QSize s) const;
    // A failure the user must hear about, in a warning box over the control.
    void Tell(const QString& text);
    // Writes an export's bytes to file through the writer of the user's files; false, after
    // failure (with the file and the reason for %1 and %2), when nothing was written.
    bool WriteExport(const QString& file, const QByteArray& bytes, const QString& failure);
    // False, and the user is told, when an image of that size cannot be made.
    bool CheckSize(QSize s);
    bool Allowed(const char* flag) const;

    ChartStore store_;
    RenderModel model_;
    Frame frame_;
    QSize size_{300, 300};
    QSize controlSize_{300, 300};
    bool maximized_ = false;
    bool stale_ = true;  // the image no longer matches the size
    HotSpotRecord hotSpot_{};
    CustomGridNumberRecord custom_{};
    QPointer<QWidget> owner_;
    QTimer rotateTimer_;
    QPoint dragFrom_;
    bool dragging_ = false, pressed_ = false;
    int dragRotation_ = 0, dragHeight_ = 0;
    int renders_ = 0;
};

}  // namespace chart
