// Renders the main window with a computed sequence, one PNG per tab:
//   ui_screenshot <output folder>
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include "App.h"
#include "Main.h"
#include "UiTest.h"
#include "ui_Main.h"

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
    w.ui->SeqFileLb->item(0)->setCheckState(Qt::Checked);
    const char* names[] = {"creation", "configuration", "graph", "sheet"};
    for (int i = 0; i < 4; ++i) {
        w.ui->PageControl1->setCurrentIndex(i);
        QApplication::processEvents();
        w.grab().save(out + "/mainwin-" + names[i] + ".png");
    }
    w.ui->PageControl1->setCurrentIndex(0);
    SetSeam(nullptr);
    return 0;
}
