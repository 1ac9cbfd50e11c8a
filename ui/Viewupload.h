#pragma once
// The upload window: the link state, the running log of the exchange and the button that
// ends it. Its Tag is the result word: 0 running, 1 OK, 2 cancelled. The exchange reports to it.
#include <QDialog>
#include <QTextCharFormat>

#include "link/UploadSession.h"

namespace Ui {
class TViewUploadFrm;
}
class QLabel;
class QPushButton;
class QTextEdit;

class TViewUploadFrm : public QDialog, public TUploadLog {
    Q_OBJECT
public:
    explicit TViewUploadFrm(QWidget* owner);
    ~TViewUploadFrm() override;

    int Tag = 0;

    QLabel* ViewUploadNameLbl;
    QTextEdit* UploadListTxt;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

    void OkBtnClick();
    // Closes the port, which ends the wait the exchange is in.
    void CancelBtnClick();

    // The link state and the log: lines are added with the colour and weight last set (as a
    // rich edit keeps its attributes at the caret).
    void ShowLinkState(const std::string& text) override;
    void ClearLog() override;
    void AddLine(const std::string& text) override;
    void SetLogColor(TLogColor color) override;
    void SetLogBold() override;
    QStringList LogLines() const;

protected:
    // Escape answers Cancel while it is shown; the window has no close box of its own.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    Ui::TViewUploadFrm* ui;
    QTextCharFormat Format;
    bool LogEmpty = true;
};
