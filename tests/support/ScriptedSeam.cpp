#include "tests/support/ScriptedSeam.h"

#include <QDialog>
#include <QPrinter>

TMsgResult TScriptedSeam::Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                                   std::optional<QPoint> at) {
    Questions.push_back({text, caption, buttons, icon, at});
    if (Answers.empty()) {
        // The negative answer; a question about unsaved changes gets "Don't Save", so that a
        // test closing a changed window still closes it.
        if (buttons == TMsgButtons::YesNo) return TMsgResult::No;
        return buttons == TMsgButtons::SaveDiscardCancel ? TMsgResult::Discard : TMsgResult::Cancel;
    }
    const TMsgResult r = Answers.front();
    Answers.pop_front();
    return r;
}

bool TScriptedSeam::InputQuery(const QString&, const QString&, QString& value) {
    if (Inputs.empty()) return false;
    value = Inputs.front();
    Inputs.pop_front();
    return true;
}

bool TScriptedSeam::ExecuteFileDialog(TFileDialogSetup& dialog) {
    Dialogs.push_back(dialog);
    if (Files.empty()) return false;
    const QString f = Files.front();
    Files.pop_front();
    if (f.isEmpty()) return false;
    dialog.FileName = f;
    if (FilterChosen) dialog.FilterIndex = FilterChosen;
    return true;
}

bool TScriptedSeam::SetupPrinter(QPrinter& printer, QWidget*) {
    ++PrinterDialogs;
    if (PrintTo.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PrintTo);
    return true;
}

int TScriptedSeam::RunModal(QDialog& window) {
    ModalWindows << window.objectName();
    if (WhileModal) WhileModal(window);
    if (window.isVisible()) window.close();
    return window.result();
}
