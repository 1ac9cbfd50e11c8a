#include "ui/Help.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

static void InitHelpPages() { Q_INIT_RESOURCE(help); }

namespace {
THelpFrm* helpWindow = nullptr;
}

QString THelpFrm::PageOf(int contextId) {
    InitHelpPages();
    switch (contextId) {
        case AutomaticCreation: return QStringLiteral("qrc:/help/depthlevel.html");
        case NodeShift: return QStringLiteral("qrc:/help/rollalong.html");
        default: return QStringLiteral("qrc:/help/mainwindow.html");
    }
}

THelpFrm::THelpFrm() : QWidget(nullptr, Qt::Window), View(new QTextBrowser(this)) {
    setObjectName("HelpFrm");
    setWindowTitle("Planora Pro Help");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(View);
    View->setObjectName("HelpBrowser");
    View->setOpenExternalLinks(true);
    View->setSearchPaths({QStringLiteral(":/help")});
    resize(720, 560);
}

THelpFrm::~THelpFrm() {
    if (helpWindow == this) helpWindow = nullptr;
}

THelpFrm* THelpFrm::ShowContext(int contextId) {
    if (!helpWindow) helpWindow = new THelpFrm;
    helpWindow->View->setSource(QUrl(PageOf(contextId)));
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
    return helpWindow;
}

void THelpFrm::CloseAll() {
    if (helpWindow) {
        THelpFrm* w = helpWindow;
        helpWindow = nullptr;
        w->close();
        delete w;
    }
}

THelpFrm* THelpFrm::Current() { return helpWindow; }
