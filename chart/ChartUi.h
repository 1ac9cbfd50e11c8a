#pragma once
// The dialogs and messages the chart shows, behind one seam: the program uses the Qt dialogs,
// tests install their own answers and read what the user would have been told.
#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <QWidget>

#include <memory>

#include "chart/ChartScrollBars.h"

class QDialog;
class QScrollBar;
class QPrinter;

namespace chart {

class ChartEngine;

// What the export dialog asks for.
struct ExportRequest {
    int type = 3;       // eExportTypeDef: metafile (PDF here), BMP, JPEG, PNG, text
    int destination = 1;  // eExportDestDef: clipboard, file, printer
    QSize size;         // pixels; empty for the chart's own size
    QString file;
};

class ChartUi {
public:
    virtual ~ChartUi() = default;
    // A failure the user must hear about.
    virtual void Message(QWidget* parent, const QString& text);
    // Print dialog; false when the user cancels.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer);
    // Export dialog; false when the user cancels.
    virtual bool ChooseExport(QWidget* parent, ExportRequest& request);
    // File for the text export; empty when the user cancels.
    virtual QString ChooseTextFile(QWidget* parent, const QString& proposed);
    virtual bool ChooseColor(QWidget* parent, QColor& colour);
    virtual bool ChooseFont(QWidget* parent, QFont& font);
    // Runs the large window of a maximised chart.
    virtual void RunMaximized(QDialog& window);
};

// Never null: the Qt dialogs unless something else was installed.
ChartUi& TheChartUi();
// Installs ui; nullptr restores the Qt dialogs. The caller keeps ownership.
void SetChartUi(ChartUi* ui);

// The maximised window's view of an engine's chart, at the view's own size: it takes the mouse,
// the wheel, the keys and its scroll bars as the control does, and its clicks on hot spots
// reach the control's events.
class ChartView : public QWidget {
public:
    explicit ChartView(ChartEngine* engine, QWidget* parent = nullptr);
    ~ChartView() override;
    ChartEngine* Engine() const { return engine_; }
    QScrollBar* HorzScrollBar() const;
    QScrollBar* VertScrollBar() const;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void Press(QMouseEvent* e, int dblClick);
    void Relayout();

    ChartEngine* engine_;
    std::unique_ptr<ChartScrollBars> bars_;
    bool hotSpotPending_ = false;  // a pressed hot spot, raised when no drag follows
};

}  // namespace chart
