#include "tests/ui/UiTest.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QFileInfo>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <cstring>

#include "engine/Electsequence.h"

void UiTest::SetUp() {
    ASSERT_TRUE(Home.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Home.path() + "/.config");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Home.path() + "/.config");
    qputenv("HOME", Home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (Home.path() + "/.config").toLocal8Bit());
    Seam.Documents = Home.path() + "/Documents";
    Seam.Program = Home.path() + "/program";
    QDir().mkpath(Seam.Program);
    SetSeam(&Seam);
}

void UiTest::TearDown() { SetSeam(nullptr); }

std::unique_ptr<TMainFrm> UiTest::Start(const QStringList& commandLine) {
    auto w = std::make_unique<TMainFrm>();
    w->SetCommandLine(commandLine);
    w->show();
    QApplication::processEvents();
    return w;
}

void UiTest::Close(std::unique_ptr<TMainFrm>& w) {
    w->close();
    w.reset();
}

QSettings UiTest::Settings() const {
    // The settings of the window, as a test reads and writes them.
    return QSettings("Olvane Zerarezizuz", "PlanoraPro");
}

void UiTest::WriteList(const QStringList& lines) const {
    QDir().mkpath(WorkFolder());
    QFile f(ListFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& l : lines) f.write(l.toLocal8Bit() + "\r\n");
}

QStringList UiTest::ReadList() const {
    QFile f(ListFile());
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void PlaceElectrodes(TElectSequence& s, const std::vector<int>& numbers, float dx, float offset) {
    TElectGrid& g = s.Grid;
    for (auto& n : g.Nodes) n = TElectGridNode{0, 0, 0};
    g.GridType = gtLine;
    g.DX = dx;
    g.OffsetX = offset;
    g.DY = 0.0f;
    g.NY = 1;
    g.FirstElectrode = 10000;
    g.LastElectrode = 0;
    g.ElectrodeCount = 0;
    for (int e : numbers) {
        g.Nodes[e] = TElectGridNode{1, e, 1};
        g.FirstElectrode = std::min(g.FirstElectrode, e);
        g.LastElectrode = std::max(g.LastElectrode, e);
        ++g.ElectrodeCount;
        s.Device.Electrodes[e] = TElectrodeXYZ{float((e - 1) * double(dx) + offset), 0.0f, 0.0f};
    }
    g.NX = g.LastElectrode;
    s.Device.ElectrodeCount = g.ElectrodeCount;
    s.Device.FirstElectrode = g.FirstElectrode;
    s.Device.LastElectrode = g.LastElectrode;
    s.Device.ElectrodeSpacing = g.DX;
}

std::unique_ptr<TElectSequence> MakeSequence(int count, float dx, int electrodes) {
    auto s = std::make_unique<TElectSequence>();
    std::vector<int> numbers;
    for (int e = 1; e <= electrodes; ++e) numbers.push_back(e);
    PlaceElectrodes(*s, numbers, dx);
    s->SetArrayType(1);
    for (int q = 0; q < count; ++q) {
        const int a = 1 + q % (electrodes - 3);
        s->Device.Quadripoles[q] = TQuadripole{std::uint16_t(a), std::uint16_t(a + 1), std::uint16_t(a + 2),
                                               std::uint16_t(a + 3)};
        TQuadripoleInfo& info = s->QuadInfo[q];
        info.X = float(a);
        info.Y = 0.0f;
        info.Depth = 0.5f + 0.25f * float(q % 8);
        info.Number = std::uint16_t(q + 1);
        info.Group = 1;
        info.Level = std::int16_t(1 + q % 8);
        info.SpacingCoef = 1;
    }
    s->Device.LastQuadripole = count - 1;
    for (int n = 0; n < 8; ++n) s->SpacingLevels[0].Selected[n] = 1;
    s->SpacingLevels[0].SelectedCount = 8;
    s->MeasurementCycles = count;
    s->MaxChannelUsed = 1;
    s->MaxDepthX = 2.25f;
    s->MaxDepthY = 0.0f;
    s->NeedsRecompute = 0;
    return s;
}

void WriteSequence(TElectSequence& s, const QString& path) {
    ASSERT_TRUE(s.SaveToFile(path.toStdString())) << path.toStdString();
}

QString WriteSequenceFile(const QString& path, int count) {
    auto s = MakeSequence(count);
    WriteSequence(*s, path);
    return path;
}

void ClickArrow(QWidget* upDown, bool up) {
    // The middle of the arrow as the style draws it.
    auto* box = static_cast<QAbstractSpinBox*>(upDown);
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.subControls = QStyle::SC_All;
    option.buttonSymbols = box->buttonSymbols();
    option.frame = box->hasFrame();
    const QRect arrow = box->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                     up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, box);
    QTest::mouseClick(upDown, Qt::LeftButton, {}, arrow.center());
}

TModalCloser::TModalCloser() {
    QObject::connect(&Timer, &QTimer::timeout, [] {
        if (QWidget* m = QApplication::activeModalWidget()) m->close();
    });
    Timer.start(5);
}

void Leave(QWidget* w, Qt::FocusReason reason) {
    QFocusEvent e(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(w, &e);
}

void Enter(QWidget* w, Qt::FocusReason reason) {
    QFocusEvent e(QEvent::FocusIn, reason);
    QCoreApplication::sendEvent(w, &e);
}
