#include "About.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QStyle>

#include "Seam.h"
#include "ui_About.h"

QStringList PlanoraAbout::Comments() {
    return {QStringLiteral("Plans the measurement sequences of multi-electrode resistivity and induced-polarisation meters.")};
}

QString VersionText(int major, int minor, int release) {
    return QString::asprintf("V%02d.%02d.%02d", major, minor, release);
}

TAboutBoxFrm::TAboutBoxFrm(QWidget* owner) : QDialog(owner, Qt::Tool), ui(new Ui::TAboutBoxFrm) {
    ui->setupUi(this);
    setFixedSize(532, 311);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    ui->Label3->installEventFilter(this);
    ui->Label4->installEventFilter(this);
    FormCreate();
}

TAboutBoxFrm::~TAboutBoxFrm() { delete ui; }

void TAboutBoxFrm::FormCreate() {
    ui->Version->setText(VersionText(PLANORA_VERSION_MAJOR, PLANORA_VERSION_MINOR, PLANORA_VERSION_PATCH));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    ui->Image1->setPixmap(icon.pixmap(48, 48));
    ui->Memo1->clear();
    for (const QString& line : PlanoraAbout::Comments()) ui->Memo1->appendPlainText(line);
    ui->Copyright->setText(PlanoraAbout::LegalCopyright);
    ui->ProductName->setText(PlanoraAbout::ProductName);
    ui->Label3->setText(PlanoraAbout::SupportMail);
    ui->Label4->setText(PlanoraAbout::WebPage);
}

void TAboutBoxFrm::Label3Click() { Seam().OpenUrl(QStringLiteral("mailto:") + PlanoraAbout::SupportMail); }

void TAboutBoxFrm::Label4Click() { Seam().OpenUrl(ui->Label4->text()); }

bool TAboutBoxFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Label3) {
            Label3Click();
            return true;
        }
        if (watched == ui->Label4) {
            Label4Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
