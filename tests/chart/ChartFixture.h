#pragma once
// Shared helpers of the chart tests: a control with the main window's form values, a
// recorder in place of the dialogs, and a way to find drawn points by their colour.
#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "chart/ChartUi.h"
#include "chart/Pe3dvcl.h"

// Answers the chart's dialogs as a test wants and remembers what the user was told.
struct RecordingUi : chart::ChartUi {
    QStringList messages;
    int printerAsked = 0, exportAsked = 0, textFileAsked = 0, colourAsked = 0, fontAsked = 0, maximized = 0;
    QString printTo;                // PDF file the printer writes; empty: cancel
    std::optional<chart::ExportRequest> exportAnswer;  // nullopt: cancel
    QString textFile, textFileProposed;
    chart::ChartEngine* maximizedEngine = nullptr;
    QSize maximizedSize;
    std::function<void(QDialog&)> whileMaximized;  // drives the large window while it is open

    void Message(QWidget*, const QString& text) override { messages << text; }
    bool ChoosePrinter(QWidget*, QPrinter& printer) override {
        ++printerAsked;
        if (printTo.isEmpty()) return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printTo);
        return true;
    }
    bool ChooseExport(QWidget*, chart::ExportRequest& r) override {
        ++exportAsked;
        if (!exportAnswer) return false;
        r = *exportAnswer;
        return true;
    }
    QString ChooseTextFile(QWidget*, const QString& proposed) override {
        ++textFileAsked;
        textFileProposed = proposed;
        return textFile;
    }
    bool ChooseColor(QWidget*, QColor&) override { return ++colourAsked, false; }
    bool ChooseFont(QWidget*, QFont&) override { return ++fontAsked, false; }
    void RunMaximized(QDialog& w) override;
};

inline void RecordingUi::RunMaximized(QDialog& w) {
    ++maximized;
    auto* view = w.findChild<chart::ChartView*>();
    maximizedEngine = view ? view->Engine() : nullptr;
    maximizedSize = w.size();
    if (whileMaximized) whileMaximized(w);
}

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        chart::SetChartUi(&ui);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { chart::SetChartUi(nullptr); }

    // A shown control of the given size with the main window's form values.
    std::unique_ptr<Pe3do> MakeChart(int w = 400, int h = 300) {
        auto c = std::make_unique<Pe3do>();
        c->resize(w, h);
        ApplyMainFormChartValues(*c);
        c->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(c.get()));
        return c;
    }
    // Subsets of points given as (x, y, z), all other points null.
    static void Fill(Pe3do& c, const std::vector<std::vector<std::array<float, 3>>>& subsets, int points) {
        c.SetSubsets(int(subsets.size()));
        c.SetPoints(points);
        for (int s = 0; s < int(subsets.size()); ++s)
            for (int p = 0; p < points; ++p) {
                const bool has = p < int(subsets[size_t(s)].size());
                c.SetXData(s, p, has ? subsets[size_t(s)][size_t(p)][0] : 99999.0f);
                c.SetYData(s, p, has ? subsets[size_t(s)][size_t(p)][1] : 99999.0f);
                c.SetZData(s, p, has ? subsets[size_t(s)][size_t(p)][2] : 99999.0f);
            }
    }
    static QImage Grab(Pe3do& c) { return c.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Centre of the pixels of exactly this colour (0x00BBGGRR), nullopt when there are none.
    static std::optional<QPoint> Find(const QImage& img, uint32_t bgr) {
        const QRgb want = qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
        long sx = 0, sy = 0, n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF)) sx += x, sy += y, ++n;
        if (n == 0) return std::nullopt;
        return QPoint(int(sx / n), int(sy / n));
    }
    static int Count(const QImage& img, uint32_t bgr) {
        const QRgb want = qRgb(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
        return n;
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    RecordingUi ui;
    QTemporaryDir dir;
};
