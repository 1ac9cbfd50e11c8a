#include "ui/Viewcomputed.h"

#include <QShowEvent>

#include "ui_Viewcomputed.h"

TViewComputedFRm::TViewComputedFRm(QWidget* owner) : QDialog(owner, Qt::Tool), ui(new Ui::TViewComputedFRm) {
    ui->setupUi(this);
    connect(ui->OkBtn, &QPushButton::clicked, this, &QDialog::accept);
}

TViewComputedFRm::~TViewComputedFRm() { delete ui; }

void TViewComputedFRm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A tool window is not placed by the window manager: centre it on its owner.
    if (QWidget* owner = parentWidget(); owner && !event->spontaneous()) {
        adjustSize();
        const QRect o = owner->frameGeometry();
        move(o.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}
