// Planora Pro: the main window and its message loop.
#include <QProcessEnvironment>
#include <cstdio>

#include "ui/About.h"
#include "ui/App.h"
#include "ui/Main.h"

int main(int argc, char** argv) {
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains("DISPLAY") && !env.contains("WAYLAND_DISPLAY") && !env.contains("QT_QPA_PLATFORM")) {
        std::fprintf(stderr,
                     "Planora Pro needs a display and none was found.\n"
                     "Run it under a virtual display:  xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    try {
        TPlanoraApp app(argc, argv);
        TMainFrm mainFrm;
        if (mainFrm.State().AnotherCopyRunning) return 0;
        TAboutBoxFrm aboutBox(&mainFrm);
        aboutBox.hide();
        QStringList args = QCoreApplication::arguments();
        args.removeFirst();
        mainFrm.SetCommandLine(args);
        mainFrm.show();
        app.exec();
    } catch (...) {
        // What escapes the set-up or the end of the message loop is told as the loop tells it.
        ShowCurrentException();
    }
    return 0;
}
