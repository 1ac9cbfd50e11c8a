#pragma once
// Drawing of the 3-D scatter chart with QPainter, and the geometry of what was drawn
// (point positions, axis-number and title rectangles) for hit tests and quick repairs.
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace chart {

class ChartStore;

// Viewing distances (ZDistance): at the default the box fills the plot area; the chart shows
// it from eleven times closer down to half that size, and nothing beyond.
constexpr float kDefaultDistance = -22.0f;
constexpr float kNearestDistance = -2.0f;
constexpr float kFarthestDistance = -44.0f;
inline bool ShowableDistance(float d) { return d <= kNearestDistance && d >= kFarthestDistance; }

// One axis as taken from the store when the chart was re-initialised.
struct AxisModel {
    double min = 0, max = 1;     // range after scaling
    std::vector<double> ticks;   // numbers shown, in increasing order
    int decimals = 0;
    int target = 5;              // how many numbers the axis aims at when the box fills the plot
    bool inverted = false;
    int show = 0;                // eShowAxis ordinal
    uint32_t colour = 0;
    QString label;
    bool hotSpots = false;       // numbers are hot spots
    bool custom = false;         // numbers go through the custom grid-number notification
    bool HasNumbers() const { return show == 0 || show == 2; }
    bool HasLine() const { return show <= 3; }
    bool HasLabel() const { return show == 0 || show == 1 || show == 4; }
};

struct ModelPoint {
    float x, y, z;
    int subset, point;
};

struct ModelLine {
    std::vector<std::array<float, 3>> pts;
    uint32_t colour = 0;
    int lineType = 0;
};

// Everything the renderer needs, copied out of the store by a re-initialisation so that
// later property changes show only after the next one. Per-point overrides are read live.
struct RenderModel {
    std::vector<ModelPoint> points;  // plain subsets, null points left out, in (subset, point) order
    std::vector<uint32_t> subsetColour;
    std::vector<int> subsetType;
    std::vector<ModelLine> lines;    // comparison subsets
    AxisModel x, y, z;
    QString mainTitle, subTitle;
    QString mainTitleFont, subTitleFont, labelFont;
    bool mainBold = false, mainItalic = false, mainUnderline = false;
    bool subBold = false, subItalic = false, subUnderline = false;
    bool labelBold = false, labelItalic = false, labelUnderline = false;
    uint32_t deskColour = 0xFFFFFF, graphBackColour = 0xFFFFFF, graphForeColour = 0, textColour = 0;
    uint32_t xzBackColour = 0xC0C0C0, yBackColour = 0xC0C0C0;  // floor; back and side walls
    int gridLineControl = 0, gridStyle = 0, boundingBox = 2;
    int fontSize = 2;  // eFontSize
    float fontGlobal = 1, fontTitle = 1, fontNumbers = 1, fontLabels = 1;
    int rotation = 0, viewingHeight = 0;
    float zDistance = -22;
    float aspectX = 1, aspectY = 0.7f, aspectZ = 0.6f;
    int pointSize = 0, hotSpotSize = 0;
    bool allowDataHotSpots = true, allowTitleHotSpots = false, allowSubTitleHotSpots = false;
    bool antiAlias = true;
    bool monochrome = false;
};

// Builds the model from the store (the work of a re-initialisation).
RenderModel BuildModel(const ChartStore& store);

struct HotSpotArea {
    QRect rect;
    int type, first, second;
};

struct DrawnPoint {
    float sx, sy;      // centre on the image
    float depth;       // larger is farther
    int model;         // index into RenderModel::points
    int r;             // half size of the symbol as last drawn
    int type;          // point type as last drawn
    uint32_t colour;   // colour as last drawn
};

// Per-point overrides as the store holds them at drawing time.
using OverrideFn = std::function<void(int subset, int point, uint32_t& colour, int& type)>;
// Text of an axis number (custom grid numbers): axis type, axis index, value, text in/out.
using NumberTextFn = std::function<void(int axisType, int axisIndex, double value, QString& text)>;

// A rendered image and what it shows.
struct Frame {
    QImage image;       // the chart
    QImage background;  // the chart without its points (for repairs)
    std::vector<DrawnPoint> drawn;   // in drawing order (far to near)
    std::vector<int> drawnOfModel;   // model index -> position in drawn
    QRect titleArea;                 // the band of the titles, across the top
    QRect plotArea;                  // everything of the plot stays inside it
    std::vector<HotSpotArea> areas;  // titles and axis numbers
    std::vector<double> gridNumbers; // values of the axis numbers, by hot-spot datum
    std::vector<QRectF> numberInk;   // what each axis number drawn covers, of every axis
    std::vector<QRect> clearOfPoints;  // the numbers on the plot area, which points leave alone
    // Spatial buckets of drawn points for hit tests and repairs.
    int cell = 16, cols = 0, rows = 0;
    std::vector<std::vector<int>> buckets;
    bool valid = false;
};

class Renderer {
public:
    // Full render into frame.image at size.
    static void Render(const RenderModel& m, const OverrideFn& ov, const NumberTextFn& nt, QSize size,
                       Frame& frame);
    // Draws the whole chart with vector symbols on any paint device (printer, PDF, widget).
    static void Paint(QPainter& p, const QRect& target, const RenderModel& m, const OverrideFn& ov,
                      const NumberTextFn& nt);
    // Redraws the given model points of a rendered frame with their current overrides.
    static void Repair(Frame& frame, const RenderModel& m, const OverrideFn& ov,
                       const std::vector<std::pair<int, int>>& changed);
    // Hot spot under pos, type 0 when there is none.
    static HotSpotArea HitTest(const Frame& frame, const RenderModel& m, QPoint pos);

    static QColor ToColor(uint32_t bgr);
    static void DrawSymbol(QPainter& p, int type, QPointF c, qreal r, const QColor& colour);
    // Line types: 0 thin solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 medium solid,
    // 6 thick solid, 7 medium dash, 8 medium dot; any other type is thin solid.
    static Qt::PenStyle LineStyle(int lineType, int& width);
};

}  // namespace chart
