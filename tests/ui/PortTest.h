#pragma once
// What the port and upload tests share: a seam that keeps the input boxes it was shown, an
// FTDI library that only counts devices, and a fresh port object for every window.
#include <QString>
#include <vector>

#include "link/Ftdidevice.h"
#include "link/Ports.h"
#include "tests/ui/UiTest.h"

class TInputSeam : public TScriptedSeam {
public:
    struct TInput {
        QString Caption, Prompt, Shown;
    };
    std::vector<TInput> InputBoxes;
    bool InputQuery(const QString& caption, const QString& prompt, QString& value) override {
        InputBoxes.push_back({caption, prompt, value});
        return TScriptedSeam::InputQuery(caption, prompt, value);
    }
};

// Counts Count devices and opens none.
class TCountingFtdi : public TFtdiLibrary {
public:
    int Count = 0;
    TFtdiStatus DeviceCount(int& count) override {
        count = Count;
        return TFtdiStatus::Ok;
    }
    std::unique_ptr<TFtdiDevice> Open(int) override { return nullptr; }
    TFtdiStatus GetLibraryVersion(uint32_t& version) override {
        version = 0;
        return TFtdiStatus::Failed;
    }
};

class PortTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Input.Documents = Seam.Documents;
        Input.Program = Seam.Program;
        SetSeam(&Input);
        SetFtdiLibrary(&Ftdi);
        FreePort();
    }
    void TearDown() override {
        FreePort();
        SetFtdiLibrary(nullptr);
        UiTest::TearDown();
    }
    // A window dropped without closing leaves its port object behind.
    static void FreePort() { FreeActivePort(); }
    void StoreSettings(int portNum, const QString& address = QString()) {
        QSettings s = Settings();
        s.clear();
        s.setValue("Initialisation/PlanoraPro/PortNum", portNum);
        if (!address.isEmpty()) s.setValue("Initialisation/PlanoraPro/IPAddress", address);
    }

    TInputSeam Input;
    TCountingFtdi Ftdi;
};
