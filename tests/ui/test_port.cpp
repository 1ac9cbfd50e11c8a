// The port and speed menus, the port object they create and the port icon.
#include <QAction>
#include <QLabel>

#include "ui/DeviceWatch.h"
#include "tests/ui/PortTest.h"
#include "link/Portcom.h"
#include "link/Portip.h"
#include "link/Portusb.h"

namespace {
enum class TKind { COM, USB, IP };

TKind KindOf(TPortVirt* p) {
    if (dynamic_cast<TPortUSB*>(p)) return TKind::USB;
    if (dynamic_cast<TPortIP*>(p)) return TKind::IP;
    EXPECT_NE(dynamic_cast<TPortCOM*>(p), nullptr);
    return TKind::COM;
}
}  // namespace

TEST_F(PortTest, EachPortItemSetsThePortNumberAndMakesANewPortObject) {
    struct TCase {
        const char* item;
        int portNum;
        TKind kind;
        int picture;
    };
    const TCase cases[] = {
        {"Com11", 1, TKind::COM, 2}, {"Com21", 2, TKind::COM, 3}, {"Com31", 3, TKind::COM, 4},
        {"Com41", 4, TKind::COM, 5}, {"Com51", 5, TKind::COM, 6}, {"Com61", 6, TKind::COM, 7},
        {"USB", kUSBPortNumber, TKind::USB, 0},  {"Netvane1", kIPPortNumber, TKind::IP, 9},
        // The item already checked recreates the object all the same.
        {"Netvane1", kIPPortNumber, TKind::IP, 9}, {"USB", kUSBPortNumber, TKind::USB, 0},
    };
    auto w = Start();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.item);
        auto* item = w->findChild<QAction*>(c.item);
        ASSERT_NE(item, nullptr);
        // A mark on the old object (the new one may get its address).
        ASSERT_NE(ActivePort, nullptr);
        ActivePort->ByteDelayMs = 77;
        item->trigger();
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(w->State().PortNum, c.portNum);
        ASSERT_NE(ActivePort, nullptr);
        EXPECT_EQ(ActivePort->ByteDelayMs, 0);
        EXPECT_EQ(KindOf(ActivePort), c.kind);
        EXPECT_EQ(w->ShownPortPicture(), c.picture);
        EXPECT_FALSE(Find<QLabel>(w, "Image2")->pixmap().isNull());
        EXPECT_EQ(Find<QLabel>(w, "Image2")->pixmap().height(), 15);
    }
    Close(w);
    EXPECT_EQ(ActivePort, nullptr);
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/PortNum").toInt(), kUSBPortNumber);
}

TEST_F(PortTest, BluetoothAsksUntilAPortFrom1To98) {
    StoreSettings(3);
    auto w = Start();
    Input.Inputs = {"0", "99", "100", "abc", "", "98"};
    Find<QAction>(w, "BT")->trigger();
    EXPECT_EQ(w->State().PortNum, 98);
    EXPECT_TRUE(Find<QAction>(w, "BT")->isChecked());
    ASSERT_EQ(Input.InputBoxes.size(), 6u);
    EXPECT_EQ(Input.InputBoxes[0].Caption, "Enter bluetooth outgoing port number");
    EXPECT_EQ(Input.InputBoxes[0].Prompt, "value (1..98) :");
    // The current number first, then the refused text again.
    const QStringList shown = {"3", "0", "99", "100", "abc", ""};
    for (qsizetype i = 0; i < shown.size(); ++i) EXPECT_EQ(Input.InputBoxes[std::size_t(i)].Shown, shown[i]);
    EXPECT_EQ(KindOf(ActivePort), TKind::COM);
    EXPECT_EQ(w->ShownPortPicture(), 8);

    // "7" at once; Cancel keeps a text that already names a port.
    Input.InputBoxes.clear();
    Input.Inputs = {"7"};
    Find<QAction>(w, "BT")->trigger();
    EXPECT_EQ(w->State().PortNum, 7);
    Find<QAction>(w, "BT")->trigger();
    EXPECT_EQ(w->State().PortNum, 7);
    EXPECT_EQ(Input.InputBoxes.size(), 2u);
    Close(w);
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/PortNum").toInt(), 7);
}

TEST_F(PortTest, NetvaneEditsTheAddressAndCancelKeepsIt) {
    StoreSettings(kUSBPortNumber, "10.0.0.7");
    auto w = Start();
    Find<QAction>(w, "Netvane1")->trigger();  // cancelled
    EXPECT_EQ(w->State().IPAddress, "10.0.0.7");
    ASSERT_EQ(Input.InputBoxes.size(), 1u);
    EXPECT_TRUE(Input.InputBoxes[0].Caption.startsWith("IP address ex:"));
    EXPECT_EQ(Input.InputBoxes[0].Prompt, "Enter IP address for WIFI client or leave blank for Reskon access point:");
    EXPECT_EQ(Input.InputBoxes[0].Shown, "10.0.0.7");
    Input.Inputs = {""};
    Find<QAction>(w, "Netvane1")->trigger();
    EXPECT_EQ(w->State().IPAddress, "");
    Input.Inputs = {"127.0.0.1"};
    Find<QAction>(w, "Netvane1")->trigger();
    EXPECT_EQ(w->State().IPAddress, "127.0.0.1");
    // The other items ask nothing.
    Find<QAction>(w, "Com11")->trigger();
    EXPECT_EQ(Input.InputBoxes.size(), 3u);
    EXPECT_EQ(w->State().IPAddress, "127.0.0.1");
    Close(w);
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/IPAddress").toString(), "127.0.0.1");
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/PortNum").toInt(), 1);
}

TEST_F(PortTest, SpeedItemsSetTheSpeedAndLeaveThePortObject) {
    auto w = Start();
    TPortVirt* port = ActivePort;
    ASSERT_NE(port, nullptr);
    Find<QAction>(w, "LowSpeed")->trigger();
    EXPECT_EQ(w->State().PortSpeed, kLowSpeed);
    EXPECT_TRUE(Find<QAction>(w, "LowSpeed")->isChecked());
    EXPECT_FALSE(Find<QAction>(w, "HighSpeed")->isChecked());
    EXPECT_EQ(ActivePort, port);
    Close(w);
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/PortSpeed").toInt(), kLowSpeed);
    w = Start();
    EXPECT_TRUE(Find<QAction>(w, "LowSpeed")->isChecked());
    Find<QAction>(w, "HighSpeed")->trigger();
    EXPECT_EQ(w->State().PortSpeed, kHighSpeed);
    EXPECT_TRUE(Find<QAction>(w, "HighSpeed")->isChecked());
    Close(w);
    EXPECT_EQ(Settings().value("Initialisation/PlanoraPro/PortSpeed").toInt(), kHighSpeed);
}

TEST_F(PortTest, StoredPortNumbersPickTheirObjectAndPicture) {
    struct TCase {
        int portNum;
        TKind kind;
        int picture;
    };
    for (const TCase& c : {TCase{50, TKind::COM, 8}, TCase{4, TKind::COM, 5}, TCase{kIPPortNumber, TKind::IP, 9},
                           TCase{kUSBPortNumber, TKind::USB, 0}}) {
        SCOPED_TRACE(c.portNum);
        StoreSettings(c.portNum);
        auto w = Start();
        ASSERT_NE(ActivePort, nullptr);
        EXPECT_EQ(KindOf(ActivePort), c.kind);
        EXPECT_EQ(w->ShownPortPicture(), c.picture);
        Close(w);
    }
}

TEST_F(PortTest, TheUSBPictureFollowsDevicesWithoutAClick) {
    auto w = Start();
    ASSERT_EQ(w->State().PortNum, kUSBPortNumber);
    EXPECT_EQ(w->ShownPortPicture(), 0);
    TPortVirt* port = ActivePort;
    port->ByteDelayMs = 77;
    ASSERT_NE(w->findChild<TDeviceWatch*>(), nullptr);
    Ftdi.Count = 1;
    emit w->findChild<TDeviceWatch*>()->Changed();
    EXPECT_EQ(w->ShownPortPicture(), 1);
    Ftdi.Count = 0;
    emit w->findChild<TDeviceWatch*>()->Changed();
    EXPECT_EQ(w->ShownPortPicture(), 0);
    // A notice only redraws: the port object stays.
    EXPECT_EQ(ActivePort, port);
    EXPECT_EQ(ActivePort->ByteDelayMs, 77);
    // Another port ignores the device count.
    Find<QAction>(w, "Com21")->trigger();
    Ftdi.Count = 1;
    emit w->findChild<TDeviceWatch*>()->Changed();
    EXPECT_EQ(w->ShownPortPicture(), 3);
    Close(w);
}
