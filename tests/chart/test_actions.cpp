// Setters and actions: nothing is drawn until an action asks for it; every action row.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSignalSpy>

#include "chart/ChartView.h"
#include "tests/chart/ChartFixture.h"

using namespace chart;

class ChartActions : public ChartTest {
protected:
    std::unique_ptr<Pe3do> Small() {
        auto c = MakeChart(240, 180);
        Fill(*c, {{{0, 0, 0}, {10, -5, 0}}}, 2);
        c->SetSubsetColors(0, 0x0000FF);
        c->SetPEactions(tdReinitAndReset);
        return c;
    }
};

TEST_F(ChartActions, SettersNeverRenderUntilAnAction) {
    auto c = Small();
    const QImage before = Grab(*c);
    const int renders = c->GethObject()->RenderCount();
    c->SetMainTitle(QStringLiteral("A different title"));
    c->SetZDistance(-24);
    c->SetSubsetColors(0, 0x00FF00);
    c->Set("DeskColor", 0x0000FFFFu);
    c->SetXData(0, 0, 5);
    c->resize(260, 190);  // a new size draws the old properties anew
    c->resize(240, 180);
    EXPECT_EQ(Grab(*c), before);
    c->SetPEactions(tdInvalidateImage);  // repaints the image it has
    EXPECT_EQ(Grab(*c), before);
    EXPECT_FALSE(Find(Grab(*c), 0x00FF00).has_value());
    const int batch = c->GethObject()->RenderCount();
    EXPECT_GT(batch, renders);  // the new size was drawn, from the old properties
    c->SetPEactions(tdReinitAndReset);  // one action after the batch: one render
    EXPECT_NE(Grab(*c), before);
    EXPECT_EQ(c->GethObject()->RenderCount(), batch + 1);
    EXPECT_TRUE(Find(Grab(*c), 0x00FF00).has_value());
}

TEST_F(ChartActions, InTheDesignerScalarSettersRenderAtOnce) {
    auto c = Small();
    c->SetDesigning(true);
    const int renders = c->GethObject()->RenderCount();
    c->SetZDistance(-12);
    EXPECT_EQ(c->GethObject()->RenderCount(), renders + 1);
    c->SetXData(0, 0, 3);     // arrays never do
    c->SetFocalRect(false);   // nor the settings that leave the image alone
    c->Set("AllowExporting", false);
    EXPECT_EQ(c->GethObject()->RenderCount(), renders + 1);
}

TEST_F(ChartActions, ActionsKeepTheirArgumentsAndAreNotStored) {
    auto c = Small();
    c->SetPEnarg1(120);
    c->SetPEnarg2(80);
    c->SetPEstrarg1(Path("one.png"));
    c->SetPEactions(tdPngToFile);
    c->SetPEactions(tdExportDialog);
    EXPECT_EQ(c->GetPEactions(), tdReinitAndReset);
    EXPECT_EQ(c->GetPEnarg1(), 120);
    EXPECT_EQ(c->GetPEnarg2(), 80);
    EXPECT_EQ(c->GetPEstrarg1(), Path("one.png"));
    c->SetPEstrarg1(Path("two.bmp"));
    c->SetPEactions(tdBmpToFile);  // the sizes set for the first export still hold
    for (const char* f : {"one.png", "two.bmp"}) {
        QImageReader r(Path(f));
        EXPECT_EQ(r.size(), QSize(120, 80)) << f;
    }
}

// Each row: what the action does that can be seen from outside.
TEST_F(ChartActions, EveryActionRunsItsRow) {
    auto c = Small();
    ChartEngine* e = c->GethObject();
    QSignalSpy customize(c.get(), &Pe3do::OnCustomizeDlg);
    QSignalSpy popup(c.get(), &Pe3do::OnPopupMenu);
    QSignalSpy params(c.get(), &Pe3do::OnParamUpdate);
    c->SetPEnarg1(0);
    c->SetPEnarg2(0);

    int renders = e->RenderCount();
    c->SetPEactions(tdReinitialize);  // takes the properties in, draws nothing
    EXPECT_EQ(e->RenderCount(), renders);
    EXPECT_EQ(params.count(), 1);
    c->SetPEactions(tdResetImage);
    EXPECT_EQ(e->RenderCount(), renders + 1);
    EXPECT_EQ(e->GetImage().size(), e->Size());
    c->SetPEnarg1(100);
    c->SetPEnarg2(60);
    c->SetPEactions(tdResetImage);  // the arguments give the image's size
    EXPECT_EQ(e->GetImage().size(), QSize(100, 60));
    c->SetPEnarg1(0);
    c->SetPEnarg2(0);

    renders = e->RenderCount();
    c->SetPEactions(tdInvalidateImage);
    EXPECT_EQ(e->RenderCount(), renders);

    ChartEngine* maximizedEngine = nullptr;
    seam.WhileModal = [&](QDialog& w) {
        if (auto* view = w.findChild<ChartView*>()) maximizedEngine = view->Engine();
    };
    c->SetPEactions(tdMaximize);
    EXPECT_EQ(seam.ModalWindows, QStringList{"ChartMaximizedDlg"});
    EXPECT_EQ(maximizedEngine, e);  // a large window on the same engine
    seam.WhileModal = nullptr;
    c->Set("AllowMaximization", false);
    c->SetPEactions(tdMaximize);
    EXPECT_EQ(seam.ModalWindows.size(), 1);

    c->SetPEactions(tdCustomize);
    EXPECT_EQ(customize.count(), 1);
    c->SetPEactions(tdExportDialog);
    EXPECT_EQ(seam.ModalWindows, (QStringList{"ChartMaximizedDlg", "ChartExportDlg"}));
    c->SetPEstrarg1(QStringLiteral("proposed.txt"));
    c->SetPEactions(tdTextExportDialog);
    ASSERT_EQ(seam.Dialogs.size(), 1u);
    EXPECT_EQ(seam.Dialogs[0].FileName, QStringLiteral("proposed.txt"));
    c->SetPEactions(tdPrintDialog);
    EXPECT_EQ(seam.PrinterDialogs, 1);
    c->SetPEactions(tdColorDialog);
    EXPECT_EQ(seam.ColourDialogs, 1);
    c->SetPEactions(tdFontDialog);
    EXPECT_EQ(seam.FontDialogs, 1);
    c->SetPEactions(tdPopupMenu);
    EXPECT_EQ(popup.count(), 1);

    // Clipboard rows: a size of {0, 0} is the chart's own size (the control less its scroll bars).
    EXPECT_EQ(e->Size(), c->ImageRect().size());
    QClipboard* clip = QGuiApplication::clipboard();
    for (ePEactions a : {tdMetaToClip, tdBmpToClip, tdJpegToClip, tdPngToClip}) {
        clip->clear();
        c->SetPEactions(a);
        EXPECT_EQ(clip->image().size(), e->Size()) << a;
    }

    // File rows.
    const struct { ePEactions a; const char* file; } files[] = {
        {tdMetaToFile, "c.pdf"}, {tdBmpToFile, "c.bmp"}, {tdJpegToFile, "c.jpg"}, {tdPngToFile, "c.png"}};
    for (const auto& f : files) {
        c->SetPEstrarg1(Path(f.file));
        c->SetPEactions(f.a);
        EXPECT_TRUE(QFile::exists(Path(f.file))) << f.file;
    }

    // Rows that do nothing: no render, no dialog, no message, no file.
    c->SetPEstrarg1(Path("nothing"));
    renders = e->RenderCount();
    for (int a : {16, 24, 25, 255}) c->SetPEactions(ePEactions(a));
    EXPECT_EQ(e->RenderCount(), renders);
    EXPECT_FALSE(QFile::exists(Path("nothing")));
    EXPECT_TRUE(seam.Messages.isEmpty()) << seam.Messages.join('\n').toStdString();

    c->SetPEactions(tdReinitCustoms);
    EXPECT_EQ(e->RenderCount(), renders);

    // Reset: every property back to the engine's own value.
    c->SetMainTitle(QStringLiteral("changed"));
    c->SetPEactions(tdReset);
    EXPECT_EQ(c->GetMainTitle(), QStringLiteral("Main Title"));
    EXPECT_EQ(c->GetSubsets(), 1);
}

TEST_F(ChartActions, PrintGraphGoesToThePrinterOrTellsWhyNot) {
    auto c = Small();
    c->SetPEactions(tdPrintGraph);
    // Without a printer on the machine the user hears of it; with one nothing is said.
    QPrinter probe;
    if (!probe.isValid() || probe.printerName().isEmpty()) {
        EXPECT_EQ(seam.Messages.size(), 1);
    }
    SUCCEED();
}
