#include "ui/Seam.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include "ui/Help.h"

namespace {
TQtSeam qtSeam;
TUiSeam* current = &qtSeam;

QWidget* DialogParent() { return QApplication::activeWindow(); }
}  // namespace

TUiSeam& Seam() { return *current; }
void SetSeam(TUiSeam* s) { current = s ? s : &qtSeam; }

QStringList QtFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString desc = parts[i];
        const QString pattern = parts[i + 1];
        // Qt takes the pattern from the parentheses of the entry, and matches it with case on
        // Linux: "(*.Sqz)" would hide every .sqz file, so the entry shows the real pattern.
        const QString shown = '(' + pattern + ')';
        const qsizetype at = desc.indexOf(shown, 0, Qt::CaseInsensitive);
        out << (at >= 0 ? QString(desc).replace(at, shown.size(), shown) : desc + ' ' + shown);
    }
    return out;
}

QString WithDefaultExt(const QString& name, const QString& ext) {
    if (name.isEmpty() || ext.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
    return name + (ext.startsWith('.') ? ext : '.' + ext);
}

void TQtSeam::Message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, DialogParent());
    box.exec();
}

TMsgResult TQtSeam::Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                             std::optional<QPoint> at) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
        case TMsgIcon::Information: qicon = QMessageBox::Information; break;
        case TMsgIcon::Warning: qicon = QMessageBox::Warning; break;
        case TMsgIcon::Question: qicon = QMessageBox::Question; break;
        case TMsgIcon::Error: qicon = QMessageBox::Critical; break;
        case TMsgIcon::None: break;
    }
    QMessageBox box(qicon, caption, text, QMessageBox::NoButton, DialogParent());
    QAbstractButton* yes = nullptr;
    QAbstractButton* ok = nullptr;
    QAbstractButton* save = nullptr;
    QAbstractButton* discard = nullptr;
    switch (buttons) {
        case TMsgButtons::Ok: ok = box.addButton(QMessageBox::Ok); break;
        case TMsgButtons::OkCancel:
            ok = box.addButton(QMessageBox::Ok);
            box.addButton(QMessageBox::Cancel);
            break;
        case TMsgButtons::YesNo:
            // The confirmation boxes carry these captions.
            yes = box.addButton("&Oui", QMessageBox::YesRole);
            box.addButton("&Non", QMessageBox::NoRole);
            break;
        case TMsgButtons::SaveDiscardCancel:
        {
            QPushButton* saveButton = box.addButton(QMessageBox::Save);
            save = saveButton;
            discard = box.addButton("Do&n't Save", QMessageBox::DestructiveRole);
            box.setEscapeButton(box.addButton(QMessageBox::Cancel));
            box.setDefaultButton(saveButton);
            break;
        }
    }
    if (at) {
        box.adjustSize();
        box.move(*at);
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (buttons == TMsgButtons::YesNo) return clicked && clicked == yes ? TMsgResult::Yes : TMsgResult::No;
    if (buttons == TMsgButtons::SaveDiscardCancel) {
        if (clicked && clicked == save) return TMsgResult::Save;
        return clicked && clicked == discard ? TMsgResult::Discard : TMsgResult::Cancel;
    }
    return clicked && clicked == ok ? TMsgResult::Ok : TMsgResult::Cancel;
}

bool TQtSeam::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), caption, prompt, QLineEdit::Normal, value, &ok);
    if (ok) value = text;
    return ok;
}

bool TQtSeam::ExecuteFileDialog(TFileDialogSetup& d) {
    QFileDialog dlg(DialogParent());
    dlg.setAcceptMode(d.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(d.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !d.OverwritePrompt);
    dlg.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = QtFilters(d.Filter);
    dlg.setNameFilters(filters);
    if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[d.FilterIndex - 1]);
    QString ext = d.DefaultExt;
    if (ext.startsWith('.')) ext.remove(0, 1);
    dlg.setDefaultSuffix(ext);
    if (!d.InitialDir.isEmpty()) dlg.setDirectory(d.InitialDir);
    if (!d.FileName.isEmpty()) dlg.selectFile(d.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = dlg.selectedFiles().first();
    const int used = int(filters.indexOf(dlg.selectedNameFilter()));
    if (used >= 0) d.FilterIndex = used + 1;
    return true;
}

void TQtSeam::Beep() { QApplication::beep(); }

void TQtSeam::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void TQtSeam::ShowHelp(int contextId) { THelpFrm::ShowContext(contextId); }

QString TQtSeam::DocumentsFolder() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

QString TQtSeam::ProgramFolder() { return QCoreApplication::applicationDirPath(); }
