#include "ui/DeviceWatch.h"

#include <QSocketNotifier>
#include <libudev.h>

TDeviceWatch::TDeviceWatch(QObject* owner) : QObject(owner) {
    Udev = udev_new();
    if (!Udev) return;
    Monitor = udev_monitor_new_from_netlink(Udev, "udev");
    if (!Monitor || udev_monitor_filter_add_match_subsystem_devtype(Monitor, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(Monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(Monitor);
    if (fd < 0) return;
    Notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(Notifier, &QSocketNotifier::activated, this, [this] { Receive(); });
}

TDeviceWatch::~TDeviceWatch() {
    delete Notifier;
    if (Monitor) udev_monitor_unref(Monitor);
    if (Udev) udev_unref(Udev);
}

void TDeviceWatch::Receive() {
    // Every pending notice is taken, so the descriptor stops being readable; one signal is enough.
    bool any = false;
    while (udev_device* d = udev_monitor_receive_device(Monitor)) {
        udev_device_unref(d);
        any = true;
    }
    if (any) emit Changed();
}
