#include "seam/Seam.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace {
TQtSeam qtSeam;
TUiSeam* current = &qtSeam;
std::function<void(int)> helpViewer;

QWidget* DialogParent(QWidget* parent = nullptr) { return parent ? parent : QApplication::activeWindow(); }

QMessageBox::Icon QtIcon(TMsgIcon icon) {
    switch (icon) {
        case TMsgIcon::Information: return QMessageBox::Information;
        case TMsgIcon::Warning: return QMessageBox::Warning;
        case TMsgIcon::Question: return QMessageBox::Question;
        case TMsgIcon::Error: return QMessageBox::Critical;
        case TMsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
}  // namespace

TUiSeam& Seam() { return *current; }
void SetSeam(TUiSeam* s) { current = s ? s : &qtSeam; }
void SetHelpViewer(std::function<void(int)> viewer) { helpViewer = std::move(viewer); }

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

QString AddedExt(const TFileDialogSetup& dialog) {
    if (dialog.DefaultExt.isEmpty()) return QString();
    const QStringList parts = dialog.Filter.split('|');
    const qsizetype at = 2 * qsizetype(dialog.FilterIndex) - 1;  // the pattern of the type chosen
    if (dialog.FilterIndex >= 1 && at < parts.size()) {
        // "*.txt" names one extension; "*.*", "*" or "*.jpg *.jpeg" leave it to DefaultExt.
        static const QRegularExpression single(QStringLiteral("^\\*\\.[^*?\\[\\s;]+$"));
        const QString pattern = parts[at].trimmed();
        if (single.match(pattern).hasMatch()) return pattern.mid(1);
    }
    return dialog.DefaultExt.startsWith('.') ? dialog.DefaultExt : '.' + dialog.DefaultExt;
}

QString ChosenFileName(const TFileDialogSetup& dialog) { return WithDefaultExt(dialog.FileName, AddedExt(dialog)); }

void TQtSeam::Message(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) {
    QMessageBox box(QtIcon(icon), caption.isEmpty() ? QApplication::applicationName() : caption, text, QMessageBox::Ok,
                    DialogParent(parent));
    box.exec();
}

TMsgResult TQtSeam::Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                             std::optional<QPoint> at) {
    QMessageBox box(QtIcon(icon), caption, text, QMessageBox::NoButton, DialogParent());
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
    QFileDialog dlg(DialogParent(d.Parent));
    if (!d.Title.isEmpty()) dlg.setWindowTitle(d.Title);
    dlg.setAcceptMode(d.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(d.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !d.OverwritePrompt);
    dlg.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = QtFilters(d.Filter);
    dlg.setNameFilters(filters);
    if (d.FilterIndex >= 1 && d.FilterIndex <= filters.size()) dlg.selectNameFilter(filters[d.FilterIndex - 1]);
    // The type chosen in the list decides the extension added to a name typed without one, and
    // so which file the dialog's own overwrite question is about.
    const auto suffixOf = [&d](int filterIndex) {
        TFileDialogSetup chosen = d;
        chosen.FilterIndex = filterIndex;
        return AddedExt(chosen).mid(1);
    };
    dlg.setDefaultSuffix(suffixOf(d.FilterIndex));
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&](const QString& filter) {
        const qsizetype index = filters.indexOf(filter);
        if (index >= 0) dlg.setDefaultSuffix(suffixOf(int(index) + 1));
    });
    if (!d.InitialDir.isEmpty()) dlg.setDirectory(d.InitialDir);
    if (!d.FileName.isEmpty()) dlg.selectFile(d.FileName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    d.FileName = dlg.selectedFiles().first();
    const int used = int(filters.indexOf(dlg.selectedNameFilter()));
    if (used >= 0) d.FilterIndex = used + 1;
    return true;
}

bool TQtSeam::SetupPrinter(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, DialogParent(parent));
    return dialog.exec() == QDialog::Accepted;
}

bool TQtSeam::ChooseColor(QColor& colour, QWidget* parent) {
    const QColor c = QColorDialog::getColor(colour, DialogParent(parent));
    if (!c.isValid()) return false;
    colour = c;
    return true;
}

bool TQtSeam::ChooseFont(QFont& font, QWidget* parent) {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, font, DialogParent(parent));
    if (ok) font = f;
    return ok;
}

int TQtSeam::RunModal(QDialog& window) { return window.exec(); }

void TQtSeam::Beep() { QApplication::beep(); }

void TQtSeam::OpenUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

void TQtSeam::ShowHelp(int contextId) {
    if (helpViewer) helpViewer(contextId);
}

QString TQtSeam::DocumentsFolder() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

QString TQtSeam::ProgramFolder() { return QCoreApplication::applicationDirPath(); }
