// Export and printing, their failures, and a chart of a dipole-dipole line as an image.
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

#include <cmath>

#include "tests/chart/ChartFixture.h"
#include "tests/support/UserFiles.h"

using namespace chart;

namespace {
int PdfPages(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray b = f.readAll();
    if (!b.startsWith("%PDF")) return -1;
    return int(QString::fromLatin1(b).count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b(?!s)"))));
}
}  // namespace

class ChartOutput : public ChartTest {
protected:
    std::unique_ptr<Pe3do> Small() {
        auto c = MakeChart(320, 240);
        Fill(*c, {{{0, 0, 0}, {10, -5, 0}}, {{5, -2, 0}, {99999, 99999, 99999}}}, 2);
        c->SetPEactions(tdReinitAndReset);
        return c;
    }
};

TEST_F(ChartOutput, ImageFilesDecodeAtTheRequestedSize) {
    auto c = Small();
    const struct { ePEactions action; const char* file; const char* format; } rows[] = {
        {tdPngToFile, "a.png", "png"}, {tdJpegToFile, "a.jpg", "jpeg"}, {tdBmpToFile, "a.bmp", "bmp"}};
    for (const QSize size : {QSize(640, 480), QSize(123, 77), QSize(0, 0)}) {
        c->SetPEnarg1(size.width());
        c->SetPEnarg2(size.height());
        for (const auto& r : rows) {
            QFile::remove(Path(r.file));
            c->SetPEstrarg1(Path(r.file));
            c->SetPEactions(r.action);
            QImageReader reader(Path(r.file));
            EXPECT_EQ(reader.format(), QByteArray(r.format)) << r.file;
            const QImage img = reader.read();
            EXPECT_EQ(img.size(), size.isEmpty() ? c->GethObject()->Size() : size) << r.file;
        }
    }
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(ChartOutput, PdfAndTextExports) {
    auto c = Small();
    ASSERT_TRUE(c->GethObject()->ExportPdf(Path("chart.pdf"), QSize(400, 300)));
    EXPECT_EQ(PdfPages(Path("chart.pdf")), 1);
    ASSERT_TRUE(c->GethObject()->ExportText(Path("chart.txt")));
    QFile f(Path("chart.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    // The null point is left out.
    EXPECT_EQ(lines, QStringList({"Subset\tPoint\tX\tY\tZ", "0\t0\t0\t0\t0", "0\t1\t10\t-5\t0", "1\t0\t5\t-2\t0"}));
}

TEST_F(ChartOutput, TheExportDialogExportsWhatWasChosen) {
    auto c = Small();
    // JPEG to a file of 200 x 100 pixels, the file named through the dialog's browse button.
    seam.Files = {Path("dialog.jpg")};
    seam.WhileModal = [](QDialog& d) {
        d.findChild<QComboBox*>("TypeCb")->setCurrentIndex(tdExportJpeg);
        d.findChild<QComboBox*>("DestinationCb")->setCurrentIndex(tdExportToFile);
        d.findChild<QSpinBox*>("WidthSpn")->setValue(200);
        d.findChild<QSpinBox*>("HeightSpn")->setValue(100);
        d.findChild<QPushButton*>("BrowseBtn")->click();
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
    c->SetPEactions(tdExportDialog);
    ASSERT_EQ(seam.Dialogs.size(), 1u);
    EXPECT_EQ(seam.Dialogs[0].Filter, "JPEG (*.jpg *.jpeg)|*.jpg *.jpeg");  // the type chosen
    EXPECT_EQ(QImageReader(Path("dialog.jpg")).size(), QSize(200, 100));
    // Its choices are offered again next time.
    EXPECT_EQ(c->Get("ExportTypeDef").toInt(), int(tdExportJpeg));
    EXPECT_EQ(c->Get("ExportFileDef").toString(), Path("dialog.jpg"));
    int typeShown = -1;
    QString fileShown;
    seam.WhileModal = [&](QDialog& d) {  // then cancelled: nothing written, nothing said
        typeShown = d.findChild<QComboBox*>("TypeCb")->currentIndex();
        fileShown = d.findChild<QLineEdit*>("FileEdt")->text();
    };
    QFile::remove(Path("dialog.jpg"));
    c->SetPEactions(tdExportDialog);
    EXPECT_EQ(typeShown, int(tdExportJpeg));
    EXPECT_EQ(fileShown, Path("dialog.jpg"));
    EXPECT_FALSE(QFile::exists(Path("dialog.jpg")));
    EXPECT_TRUE(seam.Messages.isEmpty());
}

TEST_F(ChartOutput, AFailedExportTellsTheUser) {
    auto c = Small();
    const QString bad = Path("no/such/folder/file");
    const struct { ePEactions action; const char* ext; } rows[] = {
        {tdPngToFile, ".png"}, {tdJpegToFile, ".jpg"}, {tdBmpToFile, ".bmp"}, {tdMetaToFile, ".pdf"}};
    for (const auto& r : rows) {
        seam.Messages.clear();
        c->SetPEstrarg1(bad + QLatin1String(r.ext));
        c->SetPEactions(r.action);
        ASSERT_EQ(seam.Messages.size(), 1) << r.ext;
        EXPECT_TRUE(seam.Messages[0].contains(bad + QLatin1String(r.ext))) << seam.Messages[0].toStdString();
    }
    seam.Messages.clear();
    c->SetPEstrarg1(QString());
    c->SetPEactions(tdPngToFile);
    EXPECT_EQ(seam.Messages.size(), 1);
    seam.Messages.clear();
    seam.Files = {bad + ".txt"};
    c->SetPEnarg1(0);
    c->SetPEactions(tdTextExportDialog);
    EXPECT_EQ(seam.Messages.size(), 1);
    EXPECT_FALSE(c->GethObject()->ExportText(bad + ".txt"));

    // A size no image can have is refused and told, the file left alone.
    for (const QSize huge : {QSize(100000, 100000), QSize(10001, 10), QSize(9000, 9000)}) {
        seam.Messages.clear();
        c->SetPEnarg1(huge.width());
        c->SetPEnarg2(huge.height());
        c->SetPEstrarg1(Path("huge.png"));
        c->SetPEactions(tdPngToFile);
        EXPECT_EQ(seam.Messages.size(), 1) << huge.width();
        EXPECT_FALSE(QFile::exists(Path("huge.png")));
        c->SetPEactions(tdResetImage);  // the image keeps the chart's own size
        EXPECT_EQ(c->GethObject()->GetImage().size(), c->GethObject()->Size());
    }
}

// An export replaces its file only once it is written whole, and never a file whose permissions
// deny writing (whoever runs the tests, root too).
TEST_F(ChartOutput, AFailedExportKeepsTheFileItWasToReplace) {
    auto c = Small();
    const QByteArray old(3000, 'o');
    const struct { ePEactions action; const char* file; } rows[] = {
        {tdPngToFile, "a.png"}, {tdJpegToFile, "a.jpg"}, {tdBmpToFile, "a.bmp"}, {tdMetaToFile, "a.pdf"}};
    auto writeOld = [&](const QString& file, QFileDevice::Permissions permissions) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
        f.close();
        f.setPermissions(permissions);
    };
    auto readAll = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file);
        const QString file = Path(r.file);
        writeOld(file, readOnly | QFileDevice::WriteOwner);
        seam.Messages.clear();
        c->SetPEstrarg1(file);
        {
            const TFullDisk disk(old.size() / 10);
            c->SetPEactions(r.action);
        }
        ASSERT_EQ(seam.Messages.size(), 1);
        EXPECT_EQ(seam.Messages[0], "The chart could not be exported to \"" + file + "\": File too large");
        EXPECT_EQ(readAll(file), old);

        QFile::remove(file);
        writeOld(file, readOnly);
        seam.Messages.clear();
        c->SetPEactions(r.action);
        ASSERT_EQ(seam.Messages.size(), 1);
        EXPECT_EQ(seam.Messages[0], "The chart could not be exported to \"" + file + "\": the file is write-protected");
        EXPECT_EQ(readAll(file), old);
        EXPECT_EQ(ModeOf(QFile::encodeName(file).toStdString()), mode_t(0444));
    }
    const QString text = Path("a.txt");
    writeOld(text, readOnly | QFileDevice::WriteOwner);
    {
        const TFullDisk disk(8);
        EXPECT_FALSE(c->GethObject()->ExportText(text));
    }
    EXPECT_EQ(readAll(text), old);
    EXPECT_TRUE(QDir(dir.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ChartOutput, PrintingMakesOnePageAndAFailureIsTold) {
    auto c = Small();
    seam.PrintTo = Path("printed.pdf");
    c->SetPEactions(tdPrintDialog);  // both arguments 0: the chart fills the page
    EXPECT_EQ(PdfPages(Path("printed.pdf")), 1);
    c->SetPEnarg1(400);
    c->SetPEnarg2(100);
    seam.PrintTo = Path("printed2.pdf");
    c->SetPEactions(tdPrintDialog);
    EXPECT_EQ(PdfPages(Path("printed2.pdf")), 1);
    EXPECT_TRUE(seam.Messages.isEmpty());

    seam.PrintTo = Path("no/such/folder/p.pdf");  // the printer cannot start
    c->SetPEactions(tdPrintDialog);
    EXPECT_EQ(seam.Messages.size(), 1);
    seam.PrintTo.clear();  // the user cancels: that is the user's own choice
    c->SetPEactions(tdPrintDialog);
    EXPECT_EQ(seam.Messages.size(), 1);
}

// A dipole-dipole line: 48 electrodes 5 m apart, spacing coefficients 1 and 2, levels 1 to 6,
// laid out as the main window lays out its chart. The images stay beside the test program.
TEST_F(ChartOutput, DipoleDipoleLineImage) {
    auto c = MakeChart(1000, 700);
    const int electrodes = 48;
    const double dx = 5;
    struct Q { double x, depth; int a; };
    std::vector<Q> quads;
    for (int a = 1; a <= 2; ++a)
        for (int n = 1; n <= 6; ++n)
            for (int first = 0; first + 2 * a + n * a <= electrodes - 1; ++first) {
                // A = first, B = first + a, M = B + n a, N = M + a; report point at the centre.
                const double xa = first * dx, xn = (first + 2 * a + n * a) * dx;
                quads.push_back({(xa + xn) / 2, a * dx * n * 0.2 + 0.5 * a * dx * 0.2, a});
            }
    const int groups = 2, points = int(quads.size()) + 1;
    c->SetCustomGridNumbersY(true);
    c->SetMainTitle(QStringLiteral("DD line   Line (m): 0 - 240 < ddline.sqz >"));
    c->SetSubTitle(QStringLiteral("48 Nodes  - X spacing: 5m , Quadripole/Injection: %1/%1").arg(quads.size()));
    c->SetXAxisLabel(QStringLiteral("X spacing (m)"));
    c->SetYAxisLabel(QStringLiteral("Report point (m)"));
    c->SetZAxisLabel(QStringLiteral("Y spacing (m)"));
    c->SetShowZAxis(tdEmpty);
    c->SetSubsets(groups + 2);
    c->SetPoints(points);
    c->SetPEactions(tdReinitAndReset);
    const uint32_t colours[] = {0x0000FF, 0x00FF00};
    for (int s = 0; s < groups + 2; ++s) {
        c->SetSubsetPointTypes(s, 3);
        if (s < groups) c->SetSubsetColors(s, colours[s]);
        for (int p = 0; p < points; ++p) c->SetXData(s, p, 99999), c->SetYData(s, p, 99999), c->SetZData(s, p, 99999);
    }
    std::vector<int> number(groups, 0);
    for (const Q& q : quads) {
        const int s = q.a - 1, p = number[size_t(s)]++;
        c->SetXData(s, p, float(-q.x));
        c->SetYData(s, p, float(-q.depth));
        c->SetZData(s, p, 0);
    }
    c->SetSubsetPointTypes(groups, 0);
    c->SetSubsetColors(groups, 0x800000);
    for (int e = 1; e <= electrodes; ++e)
        c->SetXData(groups, e, float(-(e - 1) * dx)), c->SetYData(groups, e, 0), c->SetZData(groups, e, 0);
    c->SetSubsetColors(groups + 1, 0xFFFFFF);
    c->SetSubsetPointTypes(groups + 1, 1);
    c->SetXData(groups + 1, points - 1, float(-quads.back().x));
    c->SetYData(groups + 1, points - 1, float(-quads.back().depth));
    c->SetZData(groups + 1, points - 1, -0.1f);
    c->SetPEactions(tdInvalidateImage);
    c->SetPEactions(tdResetImage);
    // A reference line, as a click on a Y number adds it.
    c->SetSubsets(groups + 3);
    c->SetComparisonSubsets(1);
    c->SetSubsetColors(groups + 2, 0x800000);
    c->SetSubsetLineTypes(groups + 2, 4);
    for (int p = 0; p < points; ++p) {
        c->SetXData(groups + 2, p, c->GetXData(groups, p));
        c->SetYData(groups + 2, p, -4);
        c->SetZData(groups + 2, p, 0);
    }
    c->SetPEactions(tdReinitAndReset);

    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/dipole_dipole_line.png");
    ASSERT_TRUE(c->GethObject()->ExportImage(file, ImageFormat::Png, QSize(1000, 700)));
    const QImage img(file);
    ASSERT_EQ(img.size(), QSize(1000, 700));
    // Both spacing coefficients are drawn, shallow ones above deep ones, and points inside the image.
    const auto red = Find(img, 0x0000FF), green = Find(img, 0x00FF00);
    ASSERT_TRUE(red && green);
    EXPECT_LT(red->y(), green->y());
    EXPECT_GT(Count(img, 0x0000FF), 100);

    // The same line turned and seen from above, with grid lines and the Z axis.
    c->Set("DegreeOfRotation", 35);
    c->Set("ViewingHeight", 25);
    c->SetGraphForeColor(0xC0C0C0);
    c->SetGridLineControl(tdYPlusXAxis);
    c->SetShowZAxis(tdGridPlusAxisLabels);
    c->SetPEactions(tdReinitAndReset);
    const QString turned = QCoreApplication::applicationDirPath() + QStringLiteral("/dipole_dipole_line_turned.png");
    ASSERT_TRUE(c->GethObject()->ExportImage(turned, ImageFormat::Png, QSize(1000, 700)));
    const QImage img2(turned);
    EXPECT_EQ(img2.size(), QSize(1000, 700));
    EXPECT_GT(Count(img2, 0xC0C0C0), 1000);  // the grid
    EXPECT_GT(Count(img2, 0x0000FF), 100);
}
