#pragma once
// Shared fixture of the export tests: a home and settings folder of its own, a recording
// engine host, the scripted seam answering the dialogs, and readers of little-endian values in
// byte images.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/Electsequence.h"
#include "export/ReskonSolvy.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/ScriptedSeam.h"

template <typename T>
T At(const std::uint8_t* bytes, std::size_t offset) {
    T v;
    std::memcpy(&v, bytes + offset, sizeof(T));
    return v;
}
template <typename T>
T At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    EXPECT_LE(offset + sizeof(T), bytes.size());
    return offset + sizeof(T) <= bytes.size() ? At<T>(bytes.data(), offset) : T{};
}
inline const std::uint8_t* Bytes(const TSolvyConfig& c) { return reinterpret_cast<const std::uint8_t*>(&c); }

inline std::vector<std::uint8_t> ReadAll(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class ExportTest : public ::testing::Test {
protected:
    QTemporaryDir Home;
    TRecordingHost Recorder;
    TScriptedSeam Seam;
    std::unique_ptr<TElectSequence> Seq = std::make_unique<TElectSequence>();

    void SetUp() override {
        ASSERT_TRUE(Home.isValid());
        qputenv("HOME", Home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (Home.path() + "/.config").toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Home.path() + "/.config");
        SetSeam(&Seam);
    }
    // Here rather than in TearDown: a derived fixture's dialog closes after TearDown, still
    // answered by the scripted seam.
    ~ExportTest() override { SetSeam(nullptr); }

    std::string Path(const QString& name) const { return QDir(Home.path()).filePath(name).toStdString(); }

    // The raw settings value "ConfigSolvy", empty when missing.
    static QVariant StoredValue() {
        QSettings s("Olvane Zerarezizuz", "PlanoraPro");
        s.beginGroup("Initialisation/PlanoraPro");
        return s.value("ConfigSolvy");
    }
    static void Store(const QVariant& v) {
        QSettings s("Olvane Zerarezizuz", "PlanoraPro");
        s.beginGroup("Initialisation/PlanoraPro");
        s.setValue("ConfigSolvy", v);
    }
    static QByteArray Image(const TSolvyConfig& c) {
        return QByteArray(reinterpret_cast<const char*>(&c), sizeof(c));
    }
};
