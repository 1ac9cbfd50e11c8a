#pragma once
// Everything the program asks of the desktop that a test cannot click through: message boxes,
// questions, input queries, file dialogs, the printer, colour and font dialogs, modal windows,
// the beep, links, help and the folders. The window, the chart and the export dialog reach the
// user through it alone. The program runs on Qt's own dialogs (TQtSeam); tests install a
// scripted one. Where a dialog takes a parent, null means the active window.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QColor;
class QDialog;
class QFont;
class QPrinter;
class QWidget;

// SaveDiscardCancel: "Save", "Don't Save" and "Cancel", for changes that would be lost.
enum class TMsgButtons { Ok, OkCancel, YesNo, SaveDiscardCancel };
enum class TMsgIcon { None, Information, Warning, Question, Error };
enum class TMsgResult { Ok, Cancel, Yes, No, Save, Discard };

// One open or save dialog, kept between uses as the form keeps its dialog components.
// Filter is in the "description|pattern|description|pattern" form; FilterIndex is 1-based.
struct TFileDialogSetup {
    bool Save = false;
    QString Title;         // empty: the dialog's own title
    QString InitialDir;
    QString FileName;      // in: proposed name; out: the name the user confirmed
    QString Filter;
    int FilterIndex = 1;   // in: selected filter; out: the filter used
    QString DefaultExt;    // ".sqz": an extension is appended when the chosen name has none (AddedExt)
    bool OverwritePrompt = true;
    QWidget* Parent = nullptr;
};

class TUiSeam {
public:
    virtual ~TUiSeam() = default;
    // Plain message box with an OK button, the program's name as its caption.
    void Message(const QString& text) { Message(text, QString(), TMsgIcon::None, nullptr); }
    // Message box with an OK button over parent; an empty caption is the program's name.
    virtual void Message(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) = 0;
    // Message box with a caption, an icon and a set of buttons; at = its top-left corner.
    virtual TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons,
                                TMsgIcon icon, std::optional<QPoint> at = std::nullopt) = 0;
    // Text input; false when cancelled (value is then unchanged).
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
    // False when cancelled.
    virtual bool ExecuteFileDialog(TFileDialogSetup& dialog) = 0;
    // The printer set-up dialog on printer; false when cancelled.
    virtual bool SetupPrinter(QPrinter& printer, QWidget* parent) = 0;
    // Colour and font dialogs starting from the value given; false (value unchanged) when cancelled.
    virtual bool ChooseColor(QColor& colour, QWidget* parent) = 0;
    virtual bool ChooseFont(QFont& font, QWidget* parent) = 0;
    // Runs window modally until it closes; its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& window) = 0;
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
    using TUiSeam::Message;
    void Message(const QString& text, const QString& caption, TMsgIcon icon, QWidget* parent) override;
    TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                        std::optional<QPoint> at = std::nullopt) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool ExecuteFileDialog(TFileDialogSetup& dialog) override;
    bool SetupPrinter(QPrinter& printer, QWidget* parent) override;
    bool ChooseColor(QColor& colour, QWidget* parent) override;
    bool ChooseFont(QFont& font, QWidget* parent) override;
    int RunModal(QDialog& window) override;
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

// The help window belongs to the program, above this library: the program hands the Qt seam
// the function that shows a help page by its context id. Without one, help shows nothing.
void SetHelpViewer(std::function<void(int contextId)> viewer);

// "a|*.x|b|*.y" as Qt's "a (*.x);;b (*.y)" list.
QStringList QtFilters(const QString& filter);
// The name with the extension appended when it has none (extension with its dot).
QString WithDefaultExt(const QString& name, const QString& ext);
// The extension (dot included) that the dialog appends to a name typed without one: that of the
// file type chosen in its list (FilterIndex) when the type names a single one, else DefaultExt.
// A dialog without DefaultExt appends none.
QString AddedExt(const TFileDialogSetup& dialog);
// The name the user confirmed, with the extension of the chosen type when it has none.
QString ChosenFileName(const TFileDialogSetup& dialog);
