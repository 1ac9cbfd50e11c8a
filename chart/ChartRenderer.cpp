#include "chart/ChartRenderer.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPolygonF>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "chart/ChartEnums.h"
#include "chart/ChartStore.h"

namespace chart {

namespace {

int Num(const ChartStore& s, const char* name) { return s.GetNumber(FindProperty(name)->id); }
bool Flag(const ChartStore& s, const char* name) { return (Num(s, name) & 0xFF) != 0; }
int Ord(const ChartStore& s, const char* name) { return Num(s, name) & 0xFF; }
double Dbl(const ChartStore& s, const char* name) { return s.GetDouble(FindProperty(name)->id); }
float Sgl(const ChartStore& s, const char* name) { return s.GetSingle(FindProperty(name)->id); }
QString Txt(const ChartStore& s, const char* name) { return s.GetText(FindProperty(name)->id); }

// v when it is a number, else def; then held within lo..hi.
double Fin(double v, double lo, double hi, double def) { return std::isfinite(v) ? std::clamp(v, lo, hi) : def; }

double NiceStep(double range, int target) {
    const double raw = range / std::max(1, target);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / mag;
    const double nice = f < 1.5 ? 1 : f < 3 ? 2 : f < 7 ? 5 : 10;
    return nice * mag;
}

constexpr int kMaxTicks = 200;

// The numbers lo..hi at the multiples of step, and the decimals they need. By index, not by
// adding: at large magnitudes a step can be below the number's precision.
void FillTicks(std::vector<double>& ticks, int& decimals, double lo, double hi, double step, int limit) {
    ticks.clear();
    const double first = std::ceil(lo / step - 1e-9) * step;
    for (int i = 0; i <= limit && std::isfinite(first); ++i) {
        const double t = first + i * step;
        if (!(t <= hi + step * 1e-6)) break;
        ticks.push_back(std::fabs(t) < step * 1e-9 ? 0.0 : t);
    }
    decimals = std::clamp(int(-std::floor(std::log10(step) + 1e-9)), 0, 6);
}

// Range and numbers of one axis: automatic from the data, or the manual ends.
void ScaleAxis(AxisModel& a, double lo, double hi, bool any, int manual, double mmin, double mmax, int target) {
    if (!any) lo = 0, hi = 1;
    // Manual ends that are not numbers, or too large to draw, count as automatic.
    const bool fixMin = (manual == tdManualMin || manual == tdManualMinAndMax) && std::fabs(mmin) < 1e30;
    const bool fixMax = (manual == tdManualMax || manual == tdManualMinAndMax) && std::fabs(mmax) < 1e30;
    if (fixMin) lo = mmin;
    if (fixMax) hi = mmax;
    if (!(hi > lo)) {
        const double pad = std::max(1e-3, std::fabs(lo) * 0.1);
        if (!fixMin) lo -= pad;
        if (!fixMax || !(hi > lo)) hi = lo + 2 * pad;
    }
    const double step = NiceStep(hi - lo, target);
    if (!fixMin) lo = std::floor(lo / step + 1e-9) * step;
    if (!fixMax) hi = std::ceil(hi / step - 1e-9) * step;
    a.min = lo;
    a.max = hi;
    a.target = target;
    FillTicks(a.ticks, a.decimals, lo, hi, step, kMaxTicks);
}

}  // namespace

RenderModel BuildModel(const ChartStore& s) {
    RenderModel m;
    const int subsets = s.Subsets(), points = s.Points();
    const int comparison = std::clamp(s.GetNumber(id::ComparisonSubsets), 0, subsets);
    const int plain = subsets - comparison;
    const float nx = float(Dbl(s, "NullDataValueX")), ny = float(Dbl(s, "NullDataValueY")),
                nz = float(Dbl(s, "NullDataValueZ"));
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    bool any = false;
    auto widen = [&](float x, float y, float z) {
        const float v[3] = {x, y, z};
        for (int i = 0; i < 3; ++i) lo[i] = std::min(lo[i], double(v[i])), hi[i] = std::max(hi[i], double(v[i]));
        any = true;
    };
    m.subsetColour.resize(size_t(subsets));
    m.subsetType.resize(size_t(subsets));
    for (int i = 0; i < subsets; ++i) {
        m.subsetColour[size_t(i)] = s.GetItem(id::SubsetColors, i).toUInt();
        m.subsetType[size_t(i)] = s.GetItem(id::SubsetPointTypes, i).toInt();
    }
    for (int i = 0; i < subsets; ++i) {
        ModelLine line;
        for (int p = 0; p < points; ++p) {
            const float x = s.GetData(id::XData, i, p), y = s.GetData(id::YData, i, p), z = s.GetData(id::ZData, i, p);
            if (x == nx || y == ny || z == nz || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) continue;
            widen(x, y, z);
            if (i < plain)
                m.points.push_back({x, y, z, i, p});
            else
                line.pts.push_back({x, y, z});
        }
        if (i >= plain) {
            line.colour = m.subsetColour[size_t(i)];
            line.lineType = s.GetItem(id::SubsetLineTypes, i).toInt();
            m.lines.push_back(std::move(line));
        }
    }
    struct AxisNames { AxisModel* a; const char *inv, *show, *colour, *manual, *mmin, *mmax; int label, hs, custom, target; };
    const AxisNames axes[3] = {
        {&m.x, "InvertedXAxis", "ShowXAxis", "XAxisColor", "ManualScaleControlX", "ManualMinX", "ManualMaxX",
         id::XAxisLabel, id::AllowGridNumberHotSpotsX, FindProperty("CustomGridNumbersX")->id, 8},
        {&m.y, "InvertedYAxis", "ShowYAxis", "YAxisColor", "ManualScaleControlY", "ManualMinY", "ManualMaxY",
         id::YAxisLabel, id::AllowGridNumberHotSpotsY, id::CustomGridNumbersY, 6},
        {&m.z, "InvertedZAxis", "ShowZAxis", "ZAxisColor", "ManualScaleControlZ", "ManualMinZ", "ManualMaxZ",
         id::ZAxisLabel, id::AllowGridNumberHotSpotsZ, FindProperty("CustomGridNumbersZ")->id, 5},
    };
    for (int i = 0; i < 3; ++i) {
        const AxisNames& n = axes[i];
        n.a->inverted = Flag(s, n.inv);
        n.a->show = Ord(s, n.show);
        n.a->colour = uint32_t(Num(s, n.colour));
        n.a->label = s.GetText(n.label);
        n.a->hotSpots = (s.GetNumber(n.hs) & 0xFF) != 0;
        n.a->custom = (s.GetNumber(n.custom) & 0xFF) != 0;
        ScaleAxis(*n.a, lo[i], hi[i], any, Ord(s, n.manual), Dbl(s, n.mmin), Dbl(s, n.mmax), n.target);
    }
    m.mainTitle = s.GetText(id::MainTitle);
    m.subTitle = s.GetText(id::SubTitle);
    m.mainTitleFont = Txt(s, "MainTitleFont");
    m.subTitleFont = Txt(s, "SubTitleFont");
    m.labelFont = Txt(s, "LabelFont");
    m.mainBold = Flag(s, "MainTitleBold"), m.mainItalic = Flag(s, "MainTitleItalic"), m.mainUnderline = Flag(s, "MainTitleUnderline");
    m.subBold = Flag(s, "SubTitleBold"), m.subItalic = Flag(s, "SubTitleItalic"), m.subUnderline = Flag(s, "SubTitleUnderline");
    m.labelBold = Flag(s, "LabelBold"), m.labelItalic = Flag(s, "LabelItalic"), m.labelUnderline = Flag(s, "LabelUnderline");
    m.deskColour = uint32_t(Num(s, "DeskColor"));
    m.graphBackColour = uint32_t(Num(s, "GraphBackColor"));
    m.graphForeColour = uint32_t(s.GetNumber(id::GraphForeColor));
    m.textColour = uint32_t(Num(s, "TextColor"));
    m.xzBackColour = uint32_t(Num(s, "XZBackColor"));
    m.yBackColour = uint32_t(Num(s, "YBackColor"));
    m.gridLineControl = s.GetNumber(id::GridLineControl) & 0xFF;
    m.gridStyle = Ord(s, "GridStyle");
    m.boundingBox = Ord(s, "ShowBoundingBox");
    m.fontSize = Ord(s, "FontSize");
    m.fontGlobal = Sgl(s, "FontSizeGlobalCntl");
    m.fontTitle = Sgl(s, "FontSizeTitleCntl");
    m.fontNumbers = Sgl(s, "FontSizeGNCntl");
    m.fontLabels = Sgl(s, "FontSizeALCntl");
    m.rotation = Num(s, "DegreeOfRotation");
    m.viewingHeight = Num(s, "ViewingHeight");
    m.zDistance = s.GetSingle(id::ZDistance);
    m.aspectX = Sgl(s, "GridAspectX");
    m.aspectY = Sgl(s, "GridAspectY");
    m.aspectZ = Sgl(s, "GridAspectZ");
    m.pointSize = Ord(s, "PointSize");
    m.hotSpotSize = Ord(s, "HotSpotSize");
    m.allowDataHotSpots = (s.GetNumber(id::AllowDataHotSpots) & 0xFF) != 0;
    m.allowTitleHotSpots = Flag(s, "AllowTitleHotSpots");
    m.allowSubTitleHotSpots = Flag(s, "AllowSubTitleHotSpots");
    m.antiAlias = Flag(s, "AntiAliasGraphics");
    m.monochrome = Ord(s, "ViewingStyle") != tdColor;
    return m;
}

QColor Renderer::ToColor(uint32_t c) {
    const int a = int(c >> 24);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF), a == 0 ? 255 : a);
}

Qt::PenStyle Renderer::LineStyle(int lineType, int& width) {
    width = 1;
    switch (lineType) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: width = 2; return Qt::SolidLine;
    case 6: width = 3; return Qt::SolidLine;
    case 7: width = 2; return Qt::DashLine;
    case 8: width = 2; return Qt::DotLine;
    default: return Qt::SolidLine;
    }
}

// Point-type codes: 0 plus, 1 cross, 2 dot, 3 solid dot, 4 square, 5 solid square, 6 diamond,
// 7 solid diamond, 8 up triangle, 9 solid up triangle, 10 down triangle, 11 solid down
// triangle, 12 pixel; any other code draws a solid dot.
void Renderer::DrawSymbol(QPainter& p, int type, QPointF c, qreal r, const QColor& colour) {
    const qreal w = std::max<qreal>(1.0, r / 3.0);
    QPen pen(colour, w);
    pen.setJoinStyle(Qt::MiterJoin);
    const bool solid = type == 3 || type == 5 || type == 7 || type == 9 || type == 11 || type > 12 || type < 0;
    p.setPen(solid ? QPen(colour, 0.5) : pen);
    p.setBrush(solid ? QBrush(colour) : Qt::NoBrush);
    const qreal h = solid ? r : r - w / 2;
    switch (type) {
    case 0:
        p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
        break;
    case 1:
        p.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
        p.drawLine(QPointF(c.x() - r, c.y() + r), QPointF(c.x() + r, c.y() - r));
        break;
    case 4: case 5: p.drawRect(QRectF(c.x() - h, c.y() - h, 2 * h, 2 * h)); break;
    case 6: case 7:
        p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - h * 1.2), QPointF(c.x() + h * 1.2, c.y()),
                                 QPointF(c.x(), c.y() + h * 1.2), QPointF(c.x() - h * 1.2, c.y())}));
        break;
    case 8: case 9:
        p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - h), QPointF(c.x() + h, c.y() + h), QPointF(c.x() - h, c.y() + h)}));
        break;
    case 10: case 11:
        p.drawPolygon(QPolygonF({QPointF(c.x() - h, c.y() - h), QPointF(c.x() + h, c.y() - h), QPointF(c.x(), c.y() + h)}));
        break;
    case 12: p.fillRect(QRectF(c.x() - 0.5, c.y() - 0.5, 1, 1), colour); break;
    default: p.drawEllipse(c, h, h); break;
    }
}

namespace {

// Where everything goes for one target rectangle.
struct Layout {
    const RenderModel& m;
    QRectF area;
    double base = 10, lineWidth = 1;
    QFont mainFont, subFont, numFont, labelFont;
    double cx = 0, cy = 0, S = 1;
    double cr = 1, sr = 0, ce = 1, se = 0;
    double ax = 1, ay = 0.6, az = 0.6;
    int r = 3;
    double titleBottom = 0;
    double gap = 4;   // between an axis and its numbers, clear of the symbols on its edge
    double zoom = 1;  // 1 when the box fills the plot area
    QRectF plot;      // where the box goes at zoom 1, and the axes at every zoom
    QRectF clip;      // the plot with room for the symbols on its edges: nothing of the plot leaves it

    explicit Layout(const RenderModel& model, const QRectF& target) : m(model), area(target) {
        const double h = target.height(), w = target.width();
        const double sizeFactor = m.fontSize == tdLarge ? 1.3 : m.fontSize == tdMedium ? 1.15 : 1.0;
        base = std::max(7.0, std::min(h, w * 0.75) * 0.022 * sizeFactor * Fin(m.fontGlobal, 0.2, 5, 1));
        lineWidth = std::max(1.0, base / 14);
        auto font = [&](const QString& family, double px, bool b, bool i, bool u) {
            QFont f(family.trimmed().isEmpty() ? QStringLiteral("Sans Serif") : family);
            f.setPixelSize(std::max(6, int(std::lround(px))));
            f.setBold(b);
            f.setItalic(i);
            f.setUnderline(u);
            return f;
        };
        const double title = Fin(m.fontTitle, 0.2, 5, 1);
        mainFont = font(m.mainTitleFont, base * 1.45 * title, m.mainBold, m.mainItalic, m.mainUnderline);
        subFont = font(m.subTitleFont, base * 1.1 * title, m.subBold, m.subItalic, m.subUnderline);
        numFont = font(m.labelFont, base * Fin(m.fontNumbers, 0.2, 5, 1), false, false, false);
        labelFont = font(m.labelFont, base * 1.05 * Fin(m.fontLabels, 0.2, 5, 1), m.labelBold, m.labelItalic,
                         m.labelUnderline);

        double top = target.top() + base * 0.6;
        if (!m.mainTitle.isEmpty()) top += QFontMetricsF(mainFont).height() * 1.15;
        if (!m.subTitle.isEmpty()) top += QFontMetricsF(subFont).height() * 1.15;
        titleBottom = top;
        const double numH = QFontMetricsF(numFont).height(), labH = QFontMetricsF(labelFont).height();
        const double left = base * 6.5 + (m.y.HasLabel() ? labH * 1.4 : 0);
        const double bottom = numH * 1.6 + (m.x.HasLabel() ? labH * 1.4 : 0) + base * 0.5;
        const double right = base * 1.5 + (m.z.show != tdEmpty ? base * 6 : 0);
        plot = QRectF(target.left() + left, top + base * 0.8, std::max(10.0, w - left - right),
                      std::max(10.0, target.bottom() - bottom - top - base * 0.8));

        ax = Fin(m.aspectX, 0.05, 20, 1);
        ay = Fin(m.aspectY, 0.05, 20, 0.7);
        az = Fin(m.aspectZ, 0.05, 20, 0.6);
        const double rot = (m.rotation % 360) * M_PI / 180.0;
        const double elev = std::clamp(m.viewingHeight, -90, 90) * M_PI / 180.0;
        cr = std::cos(rot), sr = std::sin(rot), ce = std::cos(elev), se = std::sin(elev);
        // Fit the box for every rotation about the vertical, so turning it does not resize it.
        const double hx = std::sqrt(ax * ax + az * az);
        const double hy = ay * std::fabs(ce) + hx * std::fabs(se);
        zoom = kDefaultDistance / Fin(m.zDistance, kFarthestDistance, kNearestDistance, kDefaultDistance);
        S = std::min(plot.width() / (2 * hx), plot.height() / (2 * hy)) * zoom;
        cx = plot.center().x();
        cy = plot.center().y();
        const double scale = std::min(h, w * 0.75) / 700.0;
        const int sizes[] = {3, 4, 6, 1};
        r = std::max(1, int(std::lround(sizes[std::clamp(m.pointSize, 0, 3)] * std::max(0.4, scale))));
        // Room for a symbol on the box's edge while the box fits; closer, the plot ends on the
        // axes. Whole pixels, so that the painted plot and the blended points end on one edge.
        const int room = r + 1, edge = zoom > 1 ? 0 : room;
        QRect whole = plot.toAlignedRect().adjusted(-edge, -edge, edge, edge);
        whole.setTop(std::max(whole.top(), int(std::ceil(titleBottom))));
        clip = QRectF(whole);
        gap = std::max(base * 0.4, room + 1.0);
    }

    static double Norm(const AxisModel& a, double v) {
        const double t = (v - a.min) / (a.max - a.min) * 2 - 1;
        return a.inverted ? -t : t;
    }
    // Normalised box coordinates (-1..1 each) to the image, with the depth (larger is farther).
    QPointF Project(double u, double v, double w, double* depth = nullptr) const {
        const double x = u * ax, y = v * ay, z = w * az;
        const double x1 = x * cr + z * sr, z1 = -x * sr + z * cr;
        const double y2 = y * ce + z1 * se;
        if (depth) *depth = z1 * ce - y * se;
        return QPointF(cx + S * x1, cy - S * y2);
    }
    QPointF ProjectData(double x, double y, double z, double* depth = nullptr) const {
        return Project(Norm(m.x, x), Norm(m.y, y), Norm(m.z, z), depth);
    }
    double Depth(double u, double v, double w) const {
        double d;
        Project(u, v, w, &d);
        return d;
    }
};

// The numbers of an axis in a view zoom times closer: finer steps as the box grows, so that a
// zoomed view still shows its scale.
struct TickSet {
    std::vector<double> ticks;
    int decimals = 0;
};

TickSet Ticks(const AxisModel& a, double zoom) {
    TickSet t{a.ticks, a.decimals};
    if (!(zoom > 1)) return t;
    const double step = NiceStep(a.max - a.min, int(std::lround(a.target * zoom)));
    if (!(step > 0) || !std::isfinite(step)) return t;
    FillTicks(t.ticks, t.decimals, a.min, a.max, step, kMaxTicks * 5);
    return t;
}

// Where an axis is drawn: along its box edge, or, once the zoom has taken the edge out of the
// plot area, moved straight back to the area's border (in a parallel projection the numbers
// along any line parallel to the edge are the same).
struct AxisPath {
    bool shown = false;
    QPointF from, to;  // the part of the moved edge that lies across the plot area
    QPointF shift;
};

AxisPath PlaceAxis(QPointF a0, QPointF a1, const QRectF& plot, bool moveVertically) {
    auto across = [&](QPointF q) { return moveVertically ? q.x() : q.y(); };
    auto along = [&](QPointF q) { return moveVertically ? q.y() : q.x(); };
    const double lo = moveVertically ? plot.left() : plot.top();
    const double hi = moveVertically ? plot.right() : plot.bottom();
    const double c0 = across(a0), c1 = across(a1);
    double t0 = 0, t1 = 1;
    if (std::fabs(c1 - c0) < 1e-9) {
        if (c0 < lo - 1e-6 || c0 > hi + 1e-6) return {};
    } else {
        double ta = (lo - c0) / (c1 - c0), tb = (hi - c0) / (c1 - c0);
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(0.0, ta);
        t1 = std::min(1.0, tb);
        if (!(t0 <= t1)) return {};
    }
    const QPointF p0 = a0 + (a1 - a0) * t0, p1 = a0 + (a1 - a0) * t1;
    const double g0 = std::min(along(p0), along(p1)), g1 = std::max(along(p0), along(p1));
    const double far0 = moveVertically ? plot.top() : plot.left();
    const double far1 = moveVertically ? plot.bottom() : plot.right();
    // Half of it at least stays on the area: once its middle would leave, the edge stops there.
    const double mid = (g0 + g1) / 2;
    double d = 0;
    if (mid > far1)
        d = far1 - mid;
    else if (mid < far0)
        d = far0 - mid;
    const QPointF shift = moveVertically ? QPointF(0, d) : QPointF(d, 0);
    return {true, p0 + shift, p1 + shift, shift};
}

constexpr double kOtherAxisPad = 1.0;

struct Number {
    int index;  // in the axis's tick set
    QRectF rect;  // where it is drawn (and clicked)
    QRectF ink;   // what it covers
    QString text;
};

constexpr int kMaxNudges = 40;  // steps a number may be moved to clear another axis's

// The numbers to draw: every k-th of the axis, with k the smallest that keeps them pad apart,
// less those that would touch a number of an axis placed before (where two axes meet, their
// end numbers sit close by design). An axis keeps one number at least, whatever the font's
// widths: when all of those touch, the first other number that is free, else the first one
// moved clear within room.
std::vector<Number> Thin(const std::vector<Number>& all, const std::vector<QRectF>& taken, double pad,
                         const QRectF& room) {
    auto apart = [](const QRectF& a, const QRectF& b, double by) {
        return !a.adjusted(-by, -by, by, by).intersects(b);
    };
    auto touch = [&](const QRectF& a, const QRectF& b) { return !apart(a, b, pad); };
    auto free = [&](const QRectF& ink) {
        return std::none_of(taken.begin(), taken.end(), [&](const QRectF& t) { return !apart(t, ink, kOtherAxisPad); });
    };
    std::vector<Number> kept;
    if (all.empty()) return kept;
    for (int k = 1; k <= all.back().index + 1; ++k) {
        kept.clear();
        bool clash = false;
        for (const Number& n : all) {
            if (n.index % k != 0) continue;
            clash = std::any_of(kept.begin(), kept.end(), [&](const Number& o) { return touch(o.ink, n.ink); });
            if (clash) break;
            kept.push_back(n);
        }
        if (!clash && !kept.empty()) break;
    }
    if (kept.empty()) kept.push_back(all.front());
    std::erase_if(kept, [&](const Number& n) { return !free(n.ink); });
    if (!kept.empty()) return kept;
    for (const Number& n : all)
        if (free(n.ink)) return {n};
    const Number& first = all.front();
    const double step = std::max(1.0, pad);
    for (int i = 1; i <= kMaxNudges; ++i)
        for (const QPointF dir : {QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0), QPointF(0, -1)}) {
            Number moved = first;
            moved.rect.translate(dir * (step * i));
            moved.ink.translate(dir * (step * i));
            if (room.contains(moved.rect) && free(moved.ink)) return {moved};
        }
    return {first};
}

// A side wall or the floor: its colour laid thinly over the graph's background, so that grid
// lines and points, often of that same colour, stay visible on it.
QColor WallColour(uint32_t wall, uint32_t back, double strength) {
    const QColor w = Renderer::ToColor(wall), b = Renderer::ToColor(back);
    auto mix = [strength](int x, int y) { return int(std::lround(y + (x - y) * strength)); };
    return QColor(mix(w.red(), b.red()), mix(w.green(), b.green()), mix(w.blue(), b.blue()));
}
constexpr double kSideWallStrength = 0.6, kFloorStrength = 0.5;

void DrawScene(QPainter& p, const Layout& L, const RenderModel& m, const NumberTextFn& nt, Frame* geom) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, m.antiAlias);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.fillRect(L.area, Renderer::ToColor(m.deskColour));
    const QColor text = Renderer::ToColor(m.textColour);

    // Titles.
    double y = L.area.top() + L.base * 0.6;
    auto title = [&](const QString& t, const QFont& f, bool hot, int type) {
        if (t.isEmpty()) return;
        p.setFont(f);
        p.setPen(text);
        const QFontMetricsF fm(f);
        const QRectF r(L.area.left(), y, L.area.width(), fm.height());
        p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, t);
        if (hot && geom) {
            const double tw = std::min(fm.horizontalAdvance(t), L.area.width());
            geom->areas.push_back({QRectF(r.center().x() - tw / 2, r.top(), tw, r.height()).toAlignedRect(), type, 0, 0});
        }
        y += fm.height() * 1.15;
    };
    title(m.mainTitle, L.mainFont, m.allowTitleHotSpots, hotspot::MainTitle);
    title(m.subTitle, L.subFont, m.allowSubTitleHotSpots, hotspot::SubTitle);

    const TickSet tx = Ticks(m.x, L.zoom), ty = Ticks(m.y, L.zoom), tz = Ticks(m.z, L.zoom);
    const bool showZ = m.z.show != tdEmpty;

    // The plot itself stays inside its area at every zoom: the titles and the axes stay readable.
    p.save();
    p.setClipRect(L.clip);
    // Back walls: the one of each pair that lies farther from the eye.
    const double wb = L.Depth(0, 0, 1) >= L.Depth(0, 0, -1) ? 1 : -1;
    const double ub = L.Depth(1, 0, 0) >= L.Depth(-1, 0, 0) ? 1 : -1;
    const double vb = L.Depth(0, -1, 0) >= L.Depth(0, 1, 0) ? -1 : 1;
    auto plane = [&](auto corner) {
        QPolygonF poly;
        for (int i = 0; i < 4; ++i) poly << corner(i);
        return poly;
    };
    const double su[4] = {-1, 1, 1, -1}, sv[4] = {-1, -1, 1, 1};
    const QPolygonF xy = plane([&](int i) { return L.Project(su[i], sv[i], wb); });
    const QPolygonF yz = plane([&](int i) { return L.Project(ub, sv[i], su[i]); });
    const QPolygonF xz = plane([&](int i) { return L.Project(su[i], vb, sv[i]); });
    // The wall behind the data is the graph's background, as in a flat chart; the side wall and
    // the floor take their own colours, so that a turned chart reads as a box.
    const struct { const QPolygonF* poly; uint32_t colour; double strength; } walls[] = {
        {&xy, m.graphBackColour, 1.0}, {&yz, m.yBackColour, kSideWallStrength},
        {&xz, m.xzBackColour, kFloorStrength}};
    p.setPen(Qt::NoPen);
    for (const auto& w : walls) {
        p.setBrush(WallColour(w.colour, m.graphBackColour, w.strength));
        p.drawPolygon(*w.poly);
    }
    // Their edges in the walls' own colours: the box shows even without grid lines.
    p.setBrush(Qt::NoBrush);
    for (const auto& w : walls) {
        p.setPen(QPen(Renderer::ToColor(w.colour), L.lineWidth));
        p.drawPolygon(*w.poly);
    }

    // Grid lines in the graph's fore colour.
    const bool gridY = m.gridLineControl == tdYPlusXAxis || m.gridLineControl == tdYAxis;
    const bool gridX = m.gridLineControl == tdYPlusXAxis || m.gridLineControl == tdXAxis;
    QPen grid(Renderer::ToColor(m.graphForeColour), L.lineWidth * (m.gridStyle == tdThick ? 2 : 1));
    if (m.gridStyle == tdDot || m.gridStyle == tdPixel) grid.setStyle(Qt::DotLine);
    if (m.gridStyle == tdDash) grid.setStyle(Qt::DashLine);
    p.setPen(grid);
    if (m.gridLineControl != tdNoGrid) {
        for (const auto& w : walls) p.drawPolygon(*w.poly);
        if (gridY && m.y.HasNumbers())
            for (double t : ty.ticks) {
                const double v = Layout::Norm(m.y, t);
                p.drawLine(L.Project(-1, v, wb), L.Project(1, v, wb));
                if (showZ) p.drawLine(L.Project(ub, v, -1), L.Project(ub, v, 1));
            }
        if (gridX && m.x.HasNumbers())
            for (double t : tx.ticks) {
                const double u = Layout::Norm(m.x, t);
                p.drawLine(L.Project(u, -1, wb), L.Project(u, 1, wb));
                if (showZ) p.drawLine(L.Project(u, vb, -1), L.Project(u, vb, 1));
            }
        if (gridX && m.z.HasNumbers() && showZ)
            for (double t : tz.ticks) {
                const double w = Layout::Norm(m.z, t);
                p.drawLine(L.Project(ub, -1, w), L.Project(ub, 1, w));
                p.drawLine(L.Project(-1, vb, w), L.Project(1, vb, w));
            }
    }
    if (m.boundingBox == tdAlways) {
        p.setPen(QPen(Renderer::ToColor(m.x.colour), L.lineWidth));
        for (int i = 0; i < 8; ++i) {
            const double a[3] = {i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0};
            for (int k = 0; k < 3; ++k)
                if (a[k] < 0) {
                    double b[3] = {a[0], a[1], a[2]};
                    b[k] = 1;
                    p.drawLine(L.Project(a[0], a[1], a[2]), L.Project(b[0], b[1], b[2]));
                }
        }
    }
    // Comparison subsets as lines.
    for (const ModelLine& line : m.lines) {
        if (line.pts.size() < 2) continue;
        int width = 1;
        const Qt::PenStyle style = Renderer::LineStyle(line.lineType, width);
        QPen pen(Renderer::ToColor(line.colour), L.lineWidth * width, style);
        p.setPen(pen);
        QPolygonF poly;
        poly.reserve(qsizetype(line.pts.size()));
        for (const auto& q : line.pts) {
            const QPointF pt = L.ProjectData(q[0], q[1], q[2]);
            poly << QPointF(Fin(pt.x(), -1e6, 1e6, -1e6), Fin(pt.y(), -1e6, 1e6, -1e6));
        }
        p.drawPolyline(poly);
    }
    p.restore();

    // Axes: X along the nearer bottom edge, Y up the leftmost edge, Z along the rightmost bottom edge.
    const double wx = L.Depth(0, -1, -1) <= L.Depth(0, -1, 1) ? -1 : 1;
    double yu = -1, yw = -1;
    {
        double best = 1e300;
        for (double u : {-1.0, 1.0})
            for (double w : {-1.0, 1.0}) {
                const double sx = L.Project(u, 0, w).x() + L.Depth(u, 0, w) * 1e-6;
                if (sx < best) best = sx, yu = u, yw = w;
            }
    }
    double zu = 1;
    {
        const double a = L.Project(-1, -1, 0).x() - L.Depth(-1, -1, 0) * 1e-6;
        const double b = L.Project(1, -1, 0).x() - L.Depth(1, -1, 0) * 1e-6;
        zu = a > b ? -1 : 1;
    }
    const QFontMetricsF nfm(L.numFont), lfm(L.labelFont);
    const double gap = L.gap;
    // Room between two numbers; at least two pixels, so that they stay apart once rounded.
    const double pad = std::max(2.0, gap * 0.5);
    std::vector<QRectF> taken;  // numbers placed so far, of every axis
    int axisIndex = 0;
    struct DrawnAxis {
        AxisPath path;
        double widest = 0;  // of its numbers drawn
        QRectF numbers;     // all of them
    };
    // One axis: its line, and its numbers thinned out so that none covers another. A flat axis
    // has its numbers below it and moves up or down into the plot area, any other beside it.
    auto axis = [&](const AxisModel& a, const TickSet& t, int axisType, int hsType, auto at, bool flat, auto place) {
        DrawnAxis d;
        d.path = PlaceAxis(at(-1.0), at(1.0), L.plot, flat);
        if (!d.path.shown) d.path = PlaceAxis(at(-1.0), at(1.0), L.plot, !flat);  // beside the area: moved across
        const AxisPath& path = d.path;
        if (path.shown && a.HasLine()) {
            p.save();
            p.setClipRect(L.clip);
            p.setPen(QPen(Renderer::ToColor(a.colour), L.lineWidth));
            p.drawLine(at(-1.0) + path.shift, at(1.0) + path.shift);
            p.restore();
        }
        if (!a.HasNumbers()) return d;
        if (path.shown) {
            const QRectF inside = L.plot.adjusted(-1, -1, 1, 1);
            std::vector<Number> all;
            for (size_t i = 0; i < t.ticks.size(); ++i) {
                const QPointF pt = at(Layout::Norm(a, t.ticks[i])) + path.shift;
                if (!inside.contains(pt)) continue;
                QString s = QString::number(t.ticks[i], 'f', t.decimals);
                if (a.custom && nt) nt(axisType, int(i), t.ticks[i], s);
                const QRectF r = place(pt, QSizeF(nfm.horizontalAdvance(s), nfm.height()));
                all.push_back({int(i), r, nfm.tightBoundingRect(s).translated(r.left(), r.top() + nfm.ascent()), s});
            }
            p.setFont(L.numFont);
            p.setPen(text);
            for (const Number& n : Thin(all, taken, pad, L.area)) {
                p.drawText(n.rect, Qt::AlignCenter | Qt::TextSingleLine, n.text);
                if (a.hotSpots && geom) {
                    geom->areas.push_back({n.rect.toAlignedRect(), hsType, axisIndex, int(geom->gridNumbers.size())});
                    geom->gridNumbers.push_back(t.ticks[size_t(n.index)]);
                }
                taken.push_back(n.ink);
                if (geom) geom->numberInk.push_back(n.ink);
                d.widest = std::max(d.widest, n.rect.width());
                d.numbers |= n.rect;
            }
        }
        ++axisIndex;
        return d;
    };
    auto below = [&](QPointF pt, QSizeF sz) { return QRectF(pt.x() - sz.width() / 2, pt.y() + gap, sz.width(), sz.height()); };
    // A label goes to the first of its places that is free, inside the image and below the
    // titles; when none is, to the first one, moved inside.
    auto label = [&](const AxisModel& a, std::initializer_list<QRectF> places) {
        const QRectF room(L.area.left(), L.titleBottom, L.area.width(), L.area.bottom() - L.titleBottom);
        QRectF r = *places.begin();
        for (const QRectF& c : places)
            if (room.contains(c) &&
                std::none_of(taken.begin(), taken.end(), [&](const QRectF& t) { return t.intersects(c); })) {
                r = c;
                break;
            }
        r.moveLeft(std::clamp(r.left(), room.left(), std::max(room.left(), room.right() - r.width())));
        r.moveTop(std::clamp(r.top(), room.top(), std::max(room.top(), room.bottom() - r.height())));
        p.setFont(L.labelFont);
        p.setPen(text);
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, a.label);
    };
    // Below a flat axis, centred on the part of it that shows.
    auto underneath = [&](const AxisModel& a, const DrawnAxis& d) {
        const double top = std::max(d.path.from.y(), d.path.to.y()) + gap + (a.HasNumbers() ? nfm.height() * 1.2 : 0);
        const double mid = (d.path.from.x() + d.path.to.x()) / 2, tw = lfm.horizontalAdvance(a.label);
        return QRectF(mid - tw / 2, top, tw, lfm.height());
    };
    // X
    const DrawnAxis dx = axis(m.x, tx, 1, hotspot::GridNumberX, [&](double u) { return L.Project(u, -1, wx); }, true, below);
    if (dx.path.shown && m.x.HasLabel() && !m.x.label.isEmpty()) label(m.x, {underneath(m.x, dx)});
    // Y
    const DrawnAxis dy = axis(
        m.y, ty, 0, hotspot::GridNumberY, [&](double v) { return L.Project(yu, v, yw); }, false,
        [&](QPointF pt, QSizeF sz) {
            return QRectF(pt.x() - gap - sz.width(), pt.y() - sz.height() / 2, sz.width(), sz.height());
        });
    if (dy.path.shown && m.y.HasLabel() && !m.y.label.isEmpty()) {
        const QPointF y0 = dy.path.from, y1 = dy.path.to;
        const double tw = lfm.horizontalAdvance(m.y.label), th = lfm.height();
        const double lx = std::max(L.area.left() + th / 2, std::min(y0.x(), y1.x()) - gap * 2 - dy.widest - th / 2);
        const double ly = std::clamp((y0.y() + y1.y()) / 2, L.titleBottom + tw / 2,
                                     std::max(L.titleBottom + tw / 2, L.area.bottom() - tw / 2));
        p.save();
        p.setFont(L.labelFont);
        p.setPen(text);
        p.translate(lx, ly);
        p.rotate(-90);
        p.drawText(QRectF(-tw / 2, -th / 2, tw, th), Qt::AlignCenter | Qt::TextSingleLine, m.y.label);
        p.restore();
    }
    // Z: seen from the side it runs across the image and is labelled as X is; otherwise its
    // numbers and label go to its right.
    if (showZ) {
        auto at = [&](double w) { return L.Project(zu, -1, w); };
        const QPointF run = at(1.0) - at(-1.0);
        const bool flat = std::fabs(run.x()) > 2 * std::fabs(run.y());
        const DrawnAxis dz =
            flat ? axis(m.z, tz, 4, hotspot::GridNumberZ, at, true, below)
                 : axis(m.z, tz, 4, hotspot::GridNumberZ, at, false, [&](QPointF pt, QSizeF sz) {
                       return QRectF(pt.x() + gap, pt.y(), sz.width(), sz.height());
                   });
        if (dz.path.shown && m.z.HasLabel() && !m.z.label.isEmpty()) {
            const double tw = lfm.horizontalAdvance(m.z.label);
            const QPointF mid = (dz.path.from + dz.path.to) / 2;
            const QRectF beside(mid.x() + gap * 3 + dz.widest, mid.y() + (m.z.HasNumbers() ? nfm.height() * 0.5 : 0), tw,
                                lfm.height());
            const QRectF under = dz.numbers.isEmpty()
                                     ? underneath(m.z, dz)
                                     : QRectF(dz.numbers.center().x() - tw / 2, dz.numbers.bottom() + gap, tw, lfm.height());
            if (flat)
                label(m.z, {underneath(m.z, dz), under});
            else
                label(m.z, {beside, under});
        }
    }
    p.restore();
}

// Projects the points, sorts them far to near and notes what each will look like.
void PlacePoints(const Layout& L, const RenderModel& m, const OverrideFn& ov, Frame& f) {
    const size_t n = m.points.size();
    f.drawn.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const ModelPoint& mp = m.points[i];
        double depth = 0;
        QPointF s = L.ProjectData(mp.x, mp.y, mp.z, &depth);
        // Far outside the image (a manual scale, a deep zoom): kept where integers still hold it.
        s = QPointF(Fin(s.x(), -1e6, 1e6, -1e6), Fin(s.y(), -1e6, 1e6, -1e6));
        if (!std::isfinite(depth)) depth = 0;
        uint32_t colour = m.subsetColour[size_t(mp.subset)];
        int type = m.subsetType[size_t(mp.subset)];
        if (ov) ov(mp.subset, mp.point, colour, type);
        f.drawn[i] = {float(s.x()), float(s.y()), float(depth), int(i), L.r, type, colour};
    }
    // A stable sort keeps subset order among points at the same depth.
    std::stable_sort(f.drawn.begin(), f.drawn.end(),
                     [](const DrawnPoint& a, const DrawnPoint& b) { return a.depth > b.depth + 1e-9f; });
    f.drawnOfModel.assign(n, 0);
    for (size_t i = 0; i < n; ++i) f.drawnOfModel[size_t(f.drawn[i].model)] = int(i);
}

void BuildBuckets(Frame& f, QSize size) {
    f.cols = size.width() / f.cell + 1;
    f.rows = size.height() / f.cell + 1;
    f.buckets.assign(size_t(f.cols) * size_t(f.rows), {});
    for (size_t i = 0; i < f.drawn.size(); ++i) {
        const DrawnPoint& d = f.drawn[i];
        const int c = int(std::floor(d.sx)) / f.cell, r = int(std::floor(d.sy)) / f.cell;
        if (d.sx < 0 || d.sy < 0 || c >= f.cols || r >= f.rows) continue;
        f.buckets[size_t(r) * size_t(f.cols) + size_t(c)].push_back(int(i));
    }
}

// Pre-drawn symbols, blended into the image by hand: far quicker than thousands of paths.
const QImage& Sprite(int type, uint32_t colour, int r) {
    static std::unordered_map<uint64_t, QImage> cache;
    const uint64_t key = (uint64_t(uint32_t(type) & 0xFFFF) << 48) | (uint64_t(r & 0xFFFF) << 32) | colour;
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() > 4096) cache.clear();
    const int n = 2 * r + 3;
    QImage img(n, n, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        Renderer::DrawSymbol(p, type, QPointF(n / 2.0, n / 2.0), r, Renderer::ToColor(colour));
    }
    return cache.emplace(key, std::move(img)).first->second;
}

QRect PointRect(const DrawnPoint& d) {
    const int n = 2 * d.r + 3;
    return QRect(int(std::floor(d.sx)) - d.r - 1, int(std::floor(d.sy)) - d.r - 1, n, n);
}

// Axis numbers among the points (a zoomed or turned view): the points leave them readable.
std::vector<QRect> ClearOfPoints(const Frame& f) {
    QRect points;
    for (const DrawnPoint& d : f.drawn) points |= PointRect(d);
    points &= f.plotArea;
    std::vector<QRect> out;
    for (const QRectF& ink : f.numberInk) {
        const QRect r = ink.toAlignedRect().adjusted(-1, -1, 1, 1);
        if (r.intersects(points)) out.push_back(r);
    }
    return out;
}

// QRect::intersects, inline: it runs for every point of every frame.
bool Overlap(const QRect& a, const QRect& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() && b.top() <= a.bottom();
}

void Blend(QImage& dst, const DrawnPoint& d, const QRect& clip, const std::vector<QRect>& clear) {
    const QImage& s = Sprite(d.type, d.colour, d.r);
    const QRect pr = PointRect(d);
    const QRect r = pr.intersected(clip).intersected(dst.rect());
    if (r.isEmpty()) return;
    const bool masked = std::any_of(clear.begin(), clear.end(), [&](const QRect& c) { return Overlap(c, r); });
    auto hidden = [&](int x, int y) {
        return masked && std::any_of(clear.begin(), clear.end(), [&](const QRect& c) { return c.contains(x, y); });
    };
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(s.constScanLine(y - pr.top())) + (r.left() - pr.left());
        QRgb* out = reinterpret_cast<QRgb*>(dst.scanLine(y)) + r.left();
        for (int x = 0; x < r.width(); ++x) {
            const QRgb c = src[x];
            const uint a = qAlpha(c);
            if (a == 0 || hidden(r.left() + x, y)) continue;
            if (a == 255) {
                out[x] = c;
                continue;
            }
            const QRgb o = out[x];
            const uint ia = 255 - a;
            out[x] = qRgb(int(qRed(c) + qRed(o) * ia / 255), int(qGreen(c) + qGreen(o) * ia / 255),
                          int(qBlue(c) + qBlue(o) * ia / 255));
        }
    }
}

}  // namespace

void Renderer::Render(const RenderModel& m, const OverrideFn& ov, const NumberTextFn& nt, QSize size, Frame& f) {
    size = size.expandedTo(QSize(1, 1));
    f.areas.clear();
    f.gridNumbers.clear();
    f.numberInk.clear();
    if (f.background.size() != size) f.background = QImage(size, QImage::Format_RGB32);
    if (f.background.isNull()) {  // out of memory: no image rather than a broken one
        f = Frame{};
        return;
    }
    {
        QPainter p(&f.background);
        const Layout L(m, QRectF(QPointF(0, 0), QSizeF(size)));
        DrawScene(p, L, m, nt, &f);
        PlacePoints(L, m, ov, f);
        f.plotArea = L.clip.toRect().intersected(f.background.rect());
        f.titleArea = QRect(0, 0, size.width(), int(std::ceil(L.titleBottom))).intersected(f.background.rect());
    }
    f.image = f.background.copy();
    f.clearOfPoints = ClearOfPoints(f);
    for (const DrawnPoint& d : f.drawn) Blend(f.image, d, f.plotArea, f.clearOfPoints);
    BuildBuckets(f, size);
    f.valid = true;
}

void Renderer::Paint(QPainter& p, const QRect& target, const RenderModel& m, const OverrideFn& ov,
                     const NumberTextFn& nt) {
    Frame f;
    const Layout L(m, QRectF(target));
    DrawScene(p, L, m, nt, &f);
    PlacePoints(L, m, ov, f);
    f.plotArea = L.clip.toRect().intersected(target);
    QRegion visible(f.plotArea);
    for (const QRect& r : ClearOfPoints(f)) visible -= r;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipRegion(visible);
    for (const DrawnPoint& d : f.drawn) DrawSymbol(p, d.type, QPointF(d.sx, d.sy), d.r, ToColor(d.colour));
    p.restore();
}

void Renderer::Repair(Frame& f, const RenderModel& m, const OverrideFn& ov,
                      const std::vector<std::pair<int, int>>& changed) {
    if (!f.valid) return;
    std::vector<int> near;
    for (const auto& [subset, point] : changed) {
        // Model points are in (subset, point) order.
        auto it = std::lower_bound(m.points.begin(), m.points.end(), std::make_pair(subset, point),
                                   [](const ModelPoint& a, const std::pair<int, int>& k) {
                                       return std::make_pair(a.subset, a.point) < k;
                                   });
        if (it == m.points.end() || it->subset != subset || it->point != point) continue;
        DrawnPoint& d = f.drawn[size_t(f.drawnOfModel[size_t(it - m.points.begin())])];
        uint32_t colour = m.subsetColour[size_t(subset)];
        int type = m.subsetType[size_t(subset)];
        if (ov) ov(subset, point, colour, type);
        if (colour == d.colour && type == d.type) continue;
        const QRect rect = PointRect(d).intersected(f.plotArea);
        d.colour = colour;
        d.type = type;
        if (rect.isEmpty()) continue;
        // Background back in, then every point touching the rectangle in drawing order.
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(f.background.constScanLine(y)) + rect.left(), rect.width(),
                        reinterpret_cast<QRgb*>(f.image.scanLine(y)) + rect.left());
        near.clear();
        const int reach = d.r + 2;
        const int c0 = std::max(0, (rect.left() - reach) / f.cell), c1 = std::min(f.cols - 1, (rect.right() + reach) / f.cell);
        const int r0 = std::max(0, (rect.top() - reach) / f.cell), r1 = std::min(f.rows - 1, (rect.bottom() + reach) / f.cell);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (int i : f.buckets[size_t(r) * size_t(f.cols) + size_t(c)])
                    if (PointRect(f.drawn[size_t(i)]).intersects(rect)) near.push_back(i);
        std::sort(near.begin(), near.end());
        for (int i : near) Blend(f.image, f.drawn[size_t(i)], rect, f.clearOfPoints);
    }
}

HotSpotArea Renderer::HitTest(const Frame& f, const RenderModel& m, QPoint pos) {
    if (!f.valid) return {QRect(), hotspot::None, 0, 0};
    // Points cut off by the plot area's edge are not there to be clicked.
    if (m.allowDataHotSpots && !f.drawn.empty() && f.plotArea.contains(pos)) {
        const int extra = m.hotSpotSize == tdLargeHotSpots ? 4 : m.hotSpotSize == tdMediumHotSpots ? 2 : 1;
        const int reach = f.drawn.front().r + extra;
        int best = -1;
        const int c0 = std::max(0, (pos.x() - reach - 1) / f.cell), c1 = std::min(f.cols - 1, (pos.x() + reach + 1) / f.cell);
        const int r0 = std::max(0, (pos.y() - reach - 1) / f.cell), r1 = std::min(f.rows - 1, (pos.y() + reach + 1) / f.cell);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (int i : f.buckets[size_t(r) * size_t(f.cols) + size_t(c)]) {
                    const DrawnPoint& d = f.drawn[size_t(i)];
                    const double dx = pos.x() + 0.5 - (std::floor(d.sx) + 0.5), dy = pos.y() + 0.5 - (std::floor(d.sy) + 0.5);
                    if (std::fabs(dx) <= reach && std::fabs(dy) <= reach && i > best &&
                        f.plotArea.contains(int(std::floor(d.sx)), int(std::floor(d.sy))))
                        best = i;
                }
        if (best >= 0) {
            const DrawnPoint& d = f.drawn[size_t(best)];
            const ModelPoint& mp = m.points[size_t(d.model)];
            return {PointRect(d), hotspot::Data, mp.subset, mp.point};
        }
    }
    for (const HotSpotArea& a : f.areas)
        if (a.rect.contains(pos)) return a;
    return {QRect(), hotspot::None, 0, 0};
}

}  // namespace chart
