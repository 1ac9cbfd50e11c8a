#include "ui/Viewupload.h"

#include <QCloseEvent>
#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "link/Ports.h"
#include "ui_Viewupload.h"

TViewUploadFrm::TViewUploadFrm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), ui(new Ui::TViewUploadFrm) {
    ui->setupUi(this);
    setFixedSize(430, 286);
    ViewUploadNameLbl = ui->ViewUploadNameLbl;
    UploadListTxt = ui->UploadListTxt;
    OkBtn = ui->OkBtn;
    CancelBtn = ui->CancelBtn;
    connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    setModal(false);
    if (owner) {
        const QRect o = owner->geometry();
        move(o.center() - QPoint(width() / 2, height() / 2));
    }
    Tag = 0;
}

TViewUploadFrm::~TViewUploadFrm() { delete ui; }

void TViewUploadFrm::OkBtnClick() { Tag = 1; }

void TViewUploadFrm::CancelBtnClick() {
    if (ActivePort) ActivePort->Close();
    Tag = 2;
}

void TViewUploadFrm::reject() {
    if (!CancelBtn->isHidden()) CancelBtn->click();
}

void TViewUploadFrm::closeEvent(QCloseEvent* event) { event->ignore(); }

void TViewUploadFrm::ShowLinkState(const std::string& text) { ViewUploadNameLbl->setText(QString::fromStdString(text)); }

void TViewUploadFrm::ClearLog() {
    UploadListTxt->clear();
    LogEmpty = true;
}

void TViewUploadFrm::AddLine(const std::string& text) {
    QTextCursor c(UploadListTxt->document());
    c.movePosition(QTextCursor::End);
    if (!LogEmpty) c.insertBlock();
    LogEmpty = false;
    c.setBlockCharFormat(Format);
    c.insertText(QString::fromStdString(text), Format);
    UploadListTxt->setTextCursor(c);
    UploadListTxt->ensureCursorVisible();
}

void TViewUploadFrm::SetLogColor(TLogColor color) { Format.setForeground(QColor(color.Red, color.Green, color.Blue)); }

void TViewUploadFrm::SetLogBold() { Format.setFontWeight(QFont::Bold); }

QStringList TViewUploadFrm::LogLines() const {
    if (LogEmpty) return {};
    QStringList lines;
    for (QTextBlock b = UploadListTxt->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
    return lines;
}
