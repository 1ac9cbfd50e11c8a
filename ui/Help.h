#pragma once
// The help window: our own HTML pages, shipped as resources, opened by context id.
#include <QString>
#include <QWidget>

class QTextBrowser;

class THelpFrm : public QWidget {
    Q_OBJECT
public:
    // Context ids of the pages.
    static constexpr int HelpTopics = 100;
    static constexpr int AutomaticCreation = 1200;
    static constexpr int NodeShift = 1300;

    // Resource path of the page of a context id; the topics page for an unknown id.
    static QString PageOf(int contextId);
    // Shows the one help window on the page of the id (creates it when needed).
    static THelpFrm* ShowContext(int contextId);
    // Closes the help window when there is one.
    static void CloseAll();
    static THelpFrm* Current();

    QTextBrowser* Browser() const { return View; }

private:
    THelpFrm();
    ~THelpFrm() override;
    QTextBrowser* View;
};
