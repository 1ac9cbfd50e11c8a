// Renders the main window at 1024 x 600 with a computed sequence, one PNG per tab, then the
// strap hint of a pole-pole array, the About box, the IP timing dialog and the results window:
//   ui_screenshot <output folder>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>

#include "ui/About.h"
#include "ui/App.h"
#include "ui/Iptime.h"
#include "ui/Viewcomputed.h"
#include "ui/Main.h"
#include "tests/ui/UiTest.h"
#include "ui_Iptime.h"
#include "ui_Viewcomputed.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    TPlanoraApp app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    TScriptedSeam seam;
    seam.Documents = home.path() + "/Documents";
    seam.Program = home.path();
    SetSeam(&seam);
    QDir().mkpath(seam.Documents + "/PlanoraPro/Sequence");
    const QString folder = seam.Documents + "/PlanoraPro/Sequence/";
    QStringList list;
    for (const char* name : {"wenner-north.sqz", "dipole-dipole-48.sqz", "a-very-long-survey-name-of-the-east-line.sqz"}) {
        WriteSequenceFile(folder + name, 620);
        list << folder + name;
    }
    {
        QFile f(seam.Documents + "/PlanoraPro/SeqFilePath.lst");
        f.open(QIODevice::WriteOnly);
        for (const QString& l : list) f.write(l.toLocal8Bit() + "\r\n");
    }
    TMainFrm w;
    w.show();
    QApplication::processEvents();
    w.resize(1024, 600);
    QApplication::processEvents();
    Find<QListWidget>(w, "SeqFileLb")->item(0)->setCheckState(Qt::Checked);
    const char* names[] = {"creation", "configuration", "graph", "sheet"};
    for (int i = 0; i < 4; ++i) {
        Find<QTabWidget>(w, "PageControl1")->setCurrentIndex(i);
        QApplication::processEvents();
        w.grab().save(out + "/mainwin-" + names[i] + ".png");
    }
    // A pole-pole array shows the strap hint below its button.
    Find<QTabWidget>(w, "PageControl1")->setCurrentIndex(1);
    Find<QComboBox>(w, "ArrayTypeList")->setCurrentIndex(9);
    emit Find<QComboBox>(w, "ArrayTypeList")->activated(9);
    QApplication::processEvents();
    w.grab().save(out + "/mainwin-strap.png");
    Find<QTabWidget>(w, "PageControl1")->setCurrentIndex(0);
    {
        TAboutBoxFrm about(&w);
        about.show();
        QApplication::processEvents();
        about.grab().save(out + "/about.png");
    }
    {
        TIPTimeFrm timing(&w);
        for (int c = 0; c < 4; ++c) timing.ui->TmStg->SetCells(c, 0, TIPTimeFrm::ColumnTitle(c));
        for (int i = 0; i < TIPTimeFrm::kWindows; ++i) timing.SetWindowText(i, QString::number(20 * (i + 1)));
        timing.show();
        QApplication::processEvents();
        timing.grab().save(out + "/iptime.png");
    }
    {
        TViewComputedFRm computed(&w);
        computed.ui->OriginalQuadMaxLblx->setText("620");
        computed.ui->OriginalInjectionLblx->setText("620");
        computed.ui->NumberOfChannelLblx->setText("1");
        computed.ui->EstimatedAcquisitionTimeTxt->setText("00:42:40");
        computed.ui->OptimizedQuadMaxLblx->setText("620");
        computed.ui->OptimizedStepCountLblx->setText("70");
        computed.ui->OptimizedChanUsedLblx->setText("10");
        computed.ui->OptimizedEstimatedAcquisitionTimeTxt->setText("00:05:10");
        computed.show();
        QApplication::processEvents();
        computed.grab().save(out + "/computed.png");
    }
    SetSeam(nullptr);
    return 0;
}
