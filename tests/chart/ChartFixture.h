#pragma once
// Shared helpers of the chart tests: a control with the main window's form values, the scripted
// seam in place of the dialogs, and a way to find drawn points by their colour.
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

#include "chart/Pe3dvcl.h"
#include "tests/support/ScriptedSeam.h"

class ChartTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSeam(&seam);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { SetSeam(nullptr); }

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

    TScriptedSeam seam;
    QTemporaryDir dir;
};
