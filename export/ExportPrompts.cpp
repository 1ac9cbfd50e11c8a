#include "export/ExportPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {
class TQtPrompts final : public TExportPrompts {
public:
    void Message(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationDisplayName(), text);
    }
    QString SaveFileName(QWidget* parent, const TExportSaveRequest& r) override {
        QFileDialog dlg(parent, r.Caption, r.Folder, r.Filter);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setDefaultSuffix(r.DefaultSuffix);
        dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
        if (!r.Name.isEmpty()) dlg.selectFile(QDir(r.Folder).filePath(r.Name));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
        return dlg.selectedFiles().first();
    }
    void Beep() override { QApplication::beep(); }
};

TQtPrompts gQtPrompts;
TExportPrompts* gPrompts = nullptr;
}  // namespace

TExportPrompts& ExportPrompts() { return gPrompts ? *gPrompts : gQtPrompts; }
void SetExportPrompts(TExportPrompts* p) { gPrompts = p; }
