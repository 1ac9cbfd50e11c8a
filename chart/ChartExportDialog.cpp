#include "chart/ChartExportDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <array>

#include "chart/ChartEnums.h"
#include "seam/Seam.h"

namespace chart {

namespace {
// Sides the dialog offers, in pixels, and the size it proposes when the chart has none.
constexpr int kMinSide = 50;
constexpr int kMaxSide = 10000;
constexpr QSize kProposedSize(800, 600);
// The save dialog's filter of each export type, in the order of eExportTypeDef.
constexpr std::array<const char*, 5> kFilters = {"PDF (*.pdf)|*.pdf", "BMP (*.bmp)|*.bmp",
                                                 "JPEG (*.jpg *.jpeg)|*.jpg *.jpeg", "PNG (*.png)|*.png",
                                                 "Text (*.txt)|*.txt"};
}  // namespace

ChartExportDialog::ChartExportDialog(const ExportRequest& request, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ChartExportDlg"));
    setWindowTitle(QObject::tr("Export"));
    auto* form = new QFormLayout(this);
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("TypeCb"));
    type_->addItems({QObject::tr("PDF"), QObject::tr("BMP"), QObject::tr("JPEG"), QObject::tr("PNG"), QObject::tr("Text")});
    type_->setCurrentIndex(std::clamp(request.type, int(tdExportMetafile), int(tdExportText)));
    destination_ = new QComboBox(this);
    destination_->setObjectName(QStringLiteral("DestinationCb"));
    destination_->addItems({QObject::tr("Clipboard"), QObject::tr("File"), QObject::tr("Printer")});
    destination_->setCurrentIndex(std::clamp(request.destination, int(tdExportToClipboard), int(tdExportToPrinter)));
    width_ = new QSpinBox(this);
    width_->setObjectName(QStringLiteral("WidthSpn"));
    height_ = new QSpinBox(this);
    height_->setObjectName(QStringLiteral("HeightSpn"));
    for (QSpinBox* s : {width_, height_}) s->setRange(kMinSide, kMaxSide);
    width_->setValue(request.size.width() > 0 ? request.size.width() : kProposedSize.width());
    height_->setValue(request.size.height() > 0 ? request.size.height() : kProposedSize.height());
    file_ = new QLineEdit(request.file, this);
    file_->setObjectName(QStringLiteral("FileEdt"));
    auto* browse = new QPushButton(QObject::tr("..."), this);
    browse->setObjectName(QStringLiteral("BrowseBtn"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file_);
    fileRow->addWidget(browse);
    form->addRow(QObject::tr("Type"), type_);
    form->addRow(QObject::tr("Destination"), destination_);
    form->addRow(QObject::tr("Width (pixels)"), width_);
    form->addRow(QObject::tr("Height (pixels)"), height_);
    form->addRow(QObject::tr("File"), fileRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    QObject::connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
}

ExportRequest ChartExportDialog::Request() const {
    return ExportRequest{type_->currentIndex(), destination_->currentIndex(), QSize(width_->value(), height_->value()),
                         file_->text()};
}

void ChartExportDialog::Browse() {
    TFileDialogSetup dialog;
    dialog.Save = true;
    dialog.Title = QObject::tr("Export");
    dialog.FileName = file_->text();
    dialog.Filter = QString::fromLatin1(kFilters[size_t(type_->currentIndex())]);
    dialog.Parent = this;
    if (Seam().ExecuteFileDialog(dialog)) file_->setText(dialog.FileName);
}

}  // namespace chart
