#pragma once
// Fixture of the window tests: a home of its own (settings, documents and program folders),
// a scripted seam answering every dialog, and sequences built record by record.
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <vector>

#include "engine/Electsequence.h"
#include "tests/support/ScriptedSeam.h"
#include "ui/Main.h"

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

// The focus leaves w (or comes to it) for the reason given, as w sees it.
void Leave(QWidget* w, Qt::FocusReason reason = Qt::TabFocusReason);
void Enter(QWidget* w, Qt::FocusReason reason = Qt::TabFocusReason);

// The component of the window (or of any widget) with this name.
template <class T>
T* Find(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}
template <class T>
T* Find(QWidget& w, const char* name) {
    return Find<T>(&w, name);
}
template <class T, class W>
T* Find(const std::unique_ptr<W>& w, const char* name) {
    return Find<T>(w.get(), name);
}
