#include "ui/App.h"

#include <exception>

#include "seam/Seam.h"
#include "ui/Artwork.h"
#include "ui/Help.h"

TPlanoraApp::TPlanoraApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Planora Pro");
    setOrganizationName("Olvane Zerarezizuz");
    setApplicationVersion(PLANORA_VERSION);
    setWindowIcon(ProgramIcon());
    // The installed desktop entry: it gives the window its icon and name on the desktop.
    setDesktopFileName(QStringLiteral("planorapro"));
    SetHelpViewer([](int contextId) { THelpFrm::ShowContext(contextId); });
}

bool TPlanoraApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The application's error dialog: whatever a handler did not expect is told here, and
        // the loop goes on with the next event.
        ShowCurrentException();
    }
    return false;
}

void ShowCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        const QString text = QString::fromLocal8Bit(e.what());
        Seam().Message(text.isEmpty() ? QStringLiteral("An unexpected error occurred.") : text);
    } catch (...) {
        // Not a standard exception: there is no text to show, only that it happened.
        Seam().Message(QStringLiteral("An unexpected error occurred."));
    }
}
