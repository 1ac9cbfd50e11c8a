#pragma once
// The seam the window, chart and export tests install: it answers every dialog from a script
// and keeps what the user would have been shown.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "seam/Seam.h"

class TScriptedSeam : public TUiSeam {
public:
    struct TQuestion {
        QString Text, Caption;
        TMsgButtons Buttons;
        TMsgIcon Icon;
        std::optional<QPoint> At;
    };
    QStringList Messages;  // every message box's text, whoever showed it
    std::vector<TQuestion> Questions;
    std::deque<TMsgResult> Answers;  // consumed by Question; Cancel / No / Discard when empty
    std::deque<QString> Inputs;      // consumed by InputQuery; cancelled when empty
    std::deque<QString> Files;       // consumed by file dialogs; an empty text cancels
    std::vector<TFileDialogSetup> Dialogs;  // each file dialog as it was opened
    int FilterChosen = 0;                   // when not 0, the filter index the "user" picks
    QString PrintTo;  // the printer dialog prints to this PDF file; empty: cancelled
    int PrinterDialogs = 0;
    int ColourDialogs = 0, FontDialogs = 0;  // both cancelled
    QStringList ModalWindows;  // the object name of each modal window run
    // Drives a modal window while it runs (and closes it); unset, the window is closed at once.
    // RunModal returns the window's result.
    std::function<void(QDialog&)> WhileModal;
    int Beeps = 0;
    QStringList Urls;
    std::vector<int> HelpIds;
    QString Documents, Program;

    using TUiSeam::Message;
    void Message(const QString& text, const QString&, TMsgIcon, QWidget*) override { Messages << text; }
    TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                        std::optional<QPoint> at) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool ExecuteFileDialog(TFileDialogSetup& dialog) override;
    bool SetupPrinter(QPrinter& printer, QWidget* parent) override;
    bool ChooseColor(QColor&, QWidget*) override { return ++ColourDialogs, false; }
    bool ChooseFont(QFont&, QWidget*) override { return ++FontDialogs, false; }
    int RunModal(QDialog& window) override;
    void Beep() override { ++Beeps; }
    void OpenUrl(const QString& url) override { Urls << url; }
    void ShowHelp(int contextId) override { HelpIds.push_back(contextId); }
    QString DocumentsFolder() override { return Documents; }
    QString ProgramFolder() override { return Program; }
};
