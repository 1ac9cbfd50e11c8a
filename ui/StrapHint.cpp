#include "ui/StrapHint.h"

#include <QEvent>
#include <algorithm>

namespace {
constexpr int kGap = 2;  // between the button and the hint
}

// Opaque: it hides what lies below it while it shows.
TStrapHint::TStrapHint(QWidget* parent) : QFrame(parent) { setAutoFillBackground(true); }

void TStrapHint::SetAnchor(QWidget* anchor) {
    if (Anchor) Anchor->removeEventFilter(this);
    Anchor = anchor;
    if (Anchor) Anchor->installEventFilter(this);
    Place();
}

void TStrapHint::Place() {
    QWidget* page = parentWidget();
    if (!page || !Anchor) return;
    resize(sizeHint());
    const QPoint below = Anchor->mapTo(page, QPoint(0, Anchor->height() + kGap));
    // Whole inside the page, however narrow the window.
    const int x = std::max(0, std::min(below.x(), page->width() - width()));
    const int y = std::max(0, std::min(below.y(), page->height() - height()));
    move(x, y);
    raise();
}

bool TStrapHint::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
            Place();
            break;
        case QEvent::Enter:
            hide();
            break;
        default:
            break;
    }
    return QFrame::event(event);
}

bool TStrapHint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Anchor && (event->type() == QEvent::Move || event->type() == QEvent::Resize) && isVisible())
        Place();
    return QFrame::eventFilter(watched, event);
}
