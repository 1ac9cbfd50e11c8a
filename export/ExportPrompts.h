#pragma once
// The export dialog's way to the user: message boxes, the save dialog and the beep. Tests
// install a scripted implementation.
#include <QString>

class QWidget;

struct TExportSaveRequest {
    QString Caption;
    QString Folder;          // where the dialog starts
    QString Name;            // proposed name, no folder
    QString Filter;          // "Description (*.ext)"
    QString DefaultSuffix;   // without the dot
};

class TExportPrompts {
public:
    virtual ~TExportPrompts() = default;
    virtual void Message(QWidget* parent, const QString& text) = 0;
    // The chosen full name, or an empty text when the user cancels. Asks before an existing
    // file is replaced.
    virtual QString SaveFileName(QWidget* parent, const TExportSaveRequest& request) = 0;
    virtual void Beep() = 0;
};

// Never null: the Qt dialogs unless a replacement is installed.
TExportPrompts& ExportPrompts();
// Installs p; nullptr restores the Qt dialogs. The caller keeps ownership.
void SetExportPrompts(TExportPrompts* p);
