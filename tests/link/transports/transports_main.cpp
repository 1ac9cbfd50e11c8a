// The ports need a Qt application; settings go to a home folder of this run's own.
#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Host.h"
#include "link/Portvirt.h"
#include "tests/link/transports/TransportRig.h"
#include "tests/support/UploadExchange.h"

void SetComDevice(int n, const std::string& path) {
    QSettings settings(QStringLiteral("Olvane Zerarezizuz"), QStringLiteral("PlanoraPro"));
    settings.beginGroup(QStringLiteral("Initialisation/PlanoraPro"));
    const QString key = QStringLiteral("ComDevice%1").arg(n);
    if (path.empty())
        settings.remove(key);
    else
        settings.setValue(key, QString::fromStdString(path));
}

TSequenceResult UploadOne(TPortVirt& port, int portNumber, int speed, const std::string& address,
                          TElectSequence& s) {
    const TUploadReport report = RunUploadExchange(port, portNumber, {&s}, nullptr, speed, address);
    port.Close();
    return report.Results.empty() ? TSequenceResult{-1, TSequenceOutcome::UploadError, -1} : report.Results[0];
}

void ExpectImageOf(const TElectSequence& s, const TMeterSim::TImage& image) {
    ASSERT_TRUE(image.Complete);
    ASSERT_EQ(image.Header.size(), 136u);
    EXPECT_EQ(0, std::memcmp(image.Header.data(), &s.Device, 136));
    ASSERT_EQ(static_cast<int>(image.Electrodes.size()), s.Device.LastElectrode + 1);
    for (size_t i = 0; i < image.Electrodes.size(); ++i) {
        EXPECT_EQ(image.Electrodes[i].X, s.Device.Electrodes[i].X) << "electrode " << i;
        EXPECT_EQ(image.Electrodes[i].Y, s.Device.Electrodes[i].Y) << "electrode " << i;
        EXPECT_EQ(image.Electrodes[i].Z, s.Device.Electrodes[i].Z) << "electrode " << i;
    }
    ASSERT_EQ(image.Remotes.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(image.Remotes[i].X, s.RemoteElectrodes[i].X) << "remote " << i;
        EXPECT_EQ(image.Remotes[i].Y, s.RemoteElectrodes[i].Y) << "remote " << i;
        EXPECT_EQ(image.Remotes[i].Z, s.RemoteElectrodes[i].Z) << "remote " << i;
    }
    ASSERT_EQ(static_cast<int>(image.Quads.size()), s.Device.LastQuadripole + 1);
    for (size_t q = 0; q < image.Quads.size(); ++q) {
        const TQuadripole& want = s.Device.Quadripoles[q];
        const TMeterSim::TQuad& got = image.Quads[q];
        EXPECT_EQ(got.A, want.A) << "quadripole " << q;
        EXPECT_EQ(got.B, want.B) << "quadripole " << q;
        EXPECT_EQ(got.M, want.M) << "quadripole " << q;
        EXPECT_EQ(got.N, want.N) << "quadripole " << q;
        EXPECT_EQ(got.GapFiller, s.QuadInfo[q].Level < 0) << "quadripole " << q;
    }
}

int main(int argc, char** argv) {
    // A home of this process's own: tests run in parallel and each writes its settings.
    QTemporaryDir home;
    if (!home.isValid()) return 1;
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit().constData(), 1);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
