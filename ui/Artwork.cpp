#include "ui/Artwork.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

static void InitArtwork() { Q_INIT_RESOURCE(art); }

namespace {
QPixmap Render(QSvgRenderer& svg, QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    svg.render(&painter, QRectF(QPointF(), QSizeF(size)));
    return pixmap;
}
}  // namespace

QIcon ProgramIcon() {
    InitArtwork();
    QSvgRenderer svg(QStringLiteral(":/art/planorapro.svg"));
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addPixmap(Render(svg, QSize(side, side), 1.0));
    return icon;
}

QPixmap StrapPicture(qreal devicePixelRatio) {
    InitArtwork();
    QSvgRenderer svg(QStringLiteral(":/art/strap.svg"));
    return Render(svg, svg.defaultSize(), devicePixelRatio);
}
