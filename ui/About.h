#pragma once
// The About box, also the splash screen while the first sequence is shown.
#include <QDialog>
#include <QStringList>

namespace Ui {
class TAboutBoxFrm;
}

// The texts of the version block. There is no support address to write to and no web site of
// ours, so the box has no e-mail line and its web link, like the Help menu's "Home page" and
// "Product support", leads to the program's own help pages.
namespace PlanoraAbout {
inline constexpr const char* HelpLink = "Planora Pro help pages";
inline constexpr const char* ProductName = "Planora Pro";
inline constexpr const char* LegalCopyright = "Copyright (C) 2026 Olvane Zerarezizuz";
// One line per translation of the version block.
QStringList Comments();
}  // namespace PlanoraAbout

// "V" and the major, minor and release numbers, two digits each: 2.9.1 gives V02.09.01.
QString VersionText(int major, int minor, int release);

class TAboutBoxFrm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBoxFrm(QWidget* owner = nullptr);
    ~TAboutBoxFrm() override;

    void FormCreate();
    // Closes the box (a modal box would block the help window) and shows the help topics.
    void Label4Click();

    Ui::TAboutBoxFrm* ui;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
