#pragma once
// The chart's export dialog: what to export (type), where (clipboard, file, printer), at which
// size and into which file. The engine runs it through the seam and exports what was chosen.
#include <QDialog>
#include <QSize>
#include <QString>

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace chart {

// What the export dialog asks for.
struct ExportRequest {
    int type = 3;       // eExportTypeDef: metafile (PDF here), BMP, JPEG, PNG, text
    int destination = 1;  // eExportDestDef: clipboard, file, printer
    QSize size;         // pixels; empty for the chart's own size
    QString file;
};

class ChartExportDialog : public QDialog {
public:
    // Shows request; controls named TypeCb, DestinationCb, WidthSpn, HeightSpn, FileEdt, BrowseBtn.
    ChartExportDialog(const ExportRequest& request, QWidget* parent);
    // What the controls hold now.
    ExportRequest Request() const;

private:
    // The save dialog for the file, offering the chosen type.
    void Browse();

    QComboBox* type_;
    QComboBox* destination_;
    QSpinBox* width_;
    QSpinBox* height_;
    QLineEdit* file_;
};

}  // namespace chart
