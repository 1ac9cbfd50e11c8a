#pragma once
// Fixture of the window tests: a home of its own (settings, documents and program folders),
// a scripted seam answering every dialog, and sequences built record by record.
#include <gtest/gtest.h>

#include <QDir>
#include <QPoint>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Electsequence.h"
#include "ui/Main.h"
#include "ui/Seam.h"

class TScriptedSeam : public TUiSeam {
public:
    struct TQuestion {
        QString Text, Caption;
        TMsgButtons Buttons;
        TMsgIcon Icon;
        std::optional<QPoint> At;
    };
    QStringList Messages;
    std::vector<TQuestion> Questions;
    std::deque<TMsgResult> Answers;  // consumed by Question; Cancel / No / Discard when empty
    std::deque<QString> Inputs;      // consumed by InputQuery; cancelled when empty
    std::deque<QString> Files;       // consumed by file dialogs; an empty text cancels
    std::vector<TFileDialogSetup> Dialogs;  // each dialog as it was opened
    int FilterChosen = 0;                   // when not 0, the filter index the "user" picks
    int Beeps = 0;
    QStringList Urls;
    std::vector<int> HelpIds;
    QString Documents, Program;

    void Message(const QString& text) override { Messages << text; }
    TMsgResult Question(const QString& text, const QString& caption, TMsgButtons buttons, TMsgIcon icon,
                        std::optional<QPoint> at) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override;
    bool ExecuteFileDialog(TFileDialogSetup& dialog) override;
    void Beep() override { ++Beeps; }
    void OpenUrl(const QString& url) override { Urls << url; }
    void ShowHelp(int contextId) override { HelpIds.push_back(contextId); }
    QString DocumentsFolder() override { return Documents; }
    QString ProgramFolder() override { return Program; }
};

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window as the program starts it, shown.
    std::unique_ptr<TMainFrm> Start(const QStringList& commandLine = {});
    // Closes it as the user would (settings and list file written).
    void Close(std::unique_ptr<TMainFrm>& w);

    QString WorkFolder() const { return Seam.Documents + "/PlanoraPro/"; }
    QString ListFile() const { return WorkFolder() + "SeqFilePath.lst"; }
    QString Path(const QString& name) const { return Home.path() + '/' + name; }
    QSettings Settings() const;
    void WriteList(const QStringList& lines) const;
    QStringList ReadList() const;

    QTemporaryDir Home;
    TScriptedSeam Seam;
};

// A computed line sequence: electrodes 1..electrodes on a line of spacing dx, count
// quadripoles with depths, levels and spacing coefficients, one depth-level cell per level.
std::unique_ptr<TElectSequence> MakeSequence(int count, float dx = 1.0f, int electrodes = 48);
// Writes s as a .sqz file under path (its FileName becomes path).
void WriteSequence(TElectSequence& s, const QString& path);
// A .sqz file of a computed sequence with count quadripoles; returns its path.
QString WriteSequenceFile(const QString& path, int count = 10);
// Places electrodes on line nodes: electrode e at node e, x = (e - 1) * dx + offset.
void PlaceElectrodes(TElectSequence& s, const std::vector<int>& numbers, float dx = 1.0f, float offset = 0.0f);

// While one lives, any modal window a command opens on its way (the results of a
// computation) is closed as soon as it shows.
class TModalCloser {
public:
    TModalCloser();

private:
    QTimer Timer;
};

// Clicks the up (or down) arrow of an up-down with the mouse.
void ClickArrow(QWidget* upDown, bool up);

template <class T>
T* Find(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}
