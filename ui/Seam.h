#pragma once
// Everything the window asks of the desktop that a test cannot click through: message
// boxes, questions, input queries, file dialogs, the beep, links, help and the folders.
// The program runs on Qt's own dialogs (TQtSeam); tests install a scripted one.
#include <QPoint>
#include <QString>
#include <optional>

// SaveDiscardCancel: "Save", "Don't Save" and "Cancel", for changes that would be lost.
enum class TMsgButtons { Ok, OkCancel, YesNo, SaveDiscardCancel };
enum class TMsgIcon { None, Information, Warning, Question, Error };
enum class TMsgResult { Ok, Cancel, Yes, No, Save, Discard };

// One open or save dialog, kept between uses as the form keeps its dialog components.
// Filter is in the "description|pattern|description|pattern" form; FilterIndex is 1-based.
struct TFileDialogSetup {
    bool Save = false;
    QString InitialDir;
    QString FileName;      // in: proposed name; out: the name the user confirmed
    QString Filter;
    int FilterIndex = 1;   // in: selected filter; out: the filter used
    QString DefaultExt;    // ".sqz": appended when the chosen name has no extension
    bool OverwritePrompt = true;
};

class TUiSeam {
public:
    virtual ~TUiSeam() = default;
    // Plain message box with an OK button.
    virtual void Message(const QString& text) = 0;
    // Message box with a caption, an icon and a set of buttons; at = its top-left corner.
    virtual TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons,
                                TMsgIcon icon, std::optional<QPoint> at = std::nullopt) = 0;
    // Text input; false when cancelled (value is then unchanged).
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    // False when cancelled.
    virtual bool ExecuteFileDialog(TFileDialogSetup& dialog) = 0;
    virtual void Beep() = 0;
    virtual void OpenUrl(const QString& url) = 0;
    virtual void ShowHelp(int contextId) = 0;
    virtual QString DocumentsFolder() = 0;
    // Folder of the running program (second place of the list file).
    virtual QString ProgramFolder() = 0;
};

// The seam of Qt's own dialogs.
class TQtSeam : public TUiSeam {
public:
    void Message(const QString& text) override;
    TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                        std::optional<QPoint> at = std::nullopt) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool ExecuteFileDialog(TFileDialogSetup& dialog) override;
    void Beep() override;
    void OpenUrl(const QString& url) override;
    void ShowHelp(int contextId) override;
    QString DocumentsFolder() override;
    QString ProgramFolder() override;
};

// Never null: the Qt seam unless another one is installed.
TUiSeam& Seam();
// Installs s; nullptr restores the Qt seam. The caller keeps ownership.
void SetSeam(TUiSeam* s);

// "a|*.x|b|*.y" as Qt's "a (*.x);;b (*.y)" list.
QStringList QtFilters(const QString& filter);
// The name with the extension appended when it has none (extension with its dot).
QString WithDefaultExt(const QString& name, const QString& ext);
