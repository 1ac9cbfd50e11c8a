#include "ui/Iptime.h"

#include <QApplication>
#include <QHeaderView>
#include <QMetaObject>
#include <QPushButton>
#include <algorithm>

#include "ui/StringGrid.h"
#include "ui_Iptime.h"

namespace {
constexpr int kCols = 4, kRows = 7, kRowHeight = 21, kColWidth = 64;
}

TIPTimeFrm::TIPTimeFrm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(new Ui::TIPTimeFrm) {
    ui->setupUi(this);
    TStringGrid* g = ui->TmStg;
    g->SetColCount(kCols);
    g->SetRowCount(kRows);
    g->SetFixed(0, 1);
    g->SetDefaultColWidth(kColWidth);
    g->SetDefaultRowHeight(kRowHeight);
    g->Strings()->Editable = true;
    g->setEditTriggers(QAbstractItemView::AllEditTriggers);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The columns are as wide as their widest title needs, so none is cut.
    int colWidth = kColWidth;
    for (int c = 0; c < kCols; ++c) {
        g->SetCells(c, 0, ColumnTitle(c));
        colWidth = std::max(colWidth, g->horizontalHeader()->sectionSizeHint(c));
    }
    g->SetDefaultColWidth(colWidth);
    // Room for the title row and the five window rows (row 1 is hidden).
    const int frame = 2 * g->frameWidth();
    g->setFixedSize(kCols * colWidth + frame, g->horizontalHeader()->height() + 5 * kRowHeight + frame);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] {
        // A cell still being edited keeps its text.
        QWidget* editor = QApplication::focusWidget();
        if (editor && ui->TmStg->isAncestorOf(editor))
            QMetaObject::invokeMethod(ui->TmStg, "commitData", Q_ARG(QWidget*, editor));
        accept();
    });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TIPTimeFrm::~TIPTimeFrm() { delete ui; }

QString TIPTimeFrm::ColumnTitle(int c) {
    return "TM " + QString::number(5 * c + 1) + " / " + QString::number(5 * c + 5);
}

QString TIPTimeFrm::WindowText(int i) const { return ui->TmStg->Cells(WindowCol(i), WindowRow(i)); }

void TIPTimeFrm::SetWindowText(int i, const QString& text) { ui->TmStg->SetCells(WindowCol(i), WindowRow(i), text); }
