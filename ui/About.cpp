#include "ui/About.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>

#include "seam/Seam.h"
#include "ui/Artwork.h"
#include "ui/Help.h"
#include "ui/Placement.h"
#include "ui_About.h"

namespace {
constexpr int kIconSide = 64;
}

QStringList PlanoraAbout::Comments() {
    return {QStringLiteral("Plans the measurement sequences of multi-electrode resistivity and induced-polarisation meters.")};
}

QString VersionText(int major, int minor, int release) {
    return QString::asprintf("V%02d.%02d.%02d", major, minor, release);
}

TAboutBoxFrm::TAboutBoxFrm(QWidget* owner) : QDialog(owner, Qt::Tool), ui(new Ui::TAboutBoxFrm) {
    ui->setupUi(this);
    setFixedSize(532, 311);
    CentreOnScreen(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    ui->Label4->installEventFilter(this);
    FormCreate();
}

TAboutBoxFrm::~TAboutBoxFrm() { delete ui; }

void TAboutBoxFrm::FormCreate() {
    ui->Version->setText(VersionText(PLANORA_VERSION_MAJOR, PLANORA_VERSION_MINOR, PLANORA_VERSION_PATCH));
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = ProgramIcon();
    ui->Image1->setPixmap(icon.pixmap(kIconSide, kIconSide));
    ui->Memo1->clear();
    for (const QString& line : PlanoraAbout::Comments()) ui->Memo1->appendPlainText(line);
    ui->Copyright->setText(PlanoraAbout::LegalCopyright);
    ui->ProductName->setText(PlanoraAbout::ProductName);
    ui->Label4->setText(PlanoraAbout::HelpLink);
}

void TAboutBoxFrm::Label4Click() {
    accept();
    Seam().ShowHelp(THelpFrm::HelpTopics);
}

bool TAboutBoxFrm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == ui->Label4) {
            Label4Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
