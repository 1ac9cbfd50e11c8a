#pragma once
// Notice of USB devices coming and going, from the system's device manager (udev), delivered
// on the event loop of the window that owns the watch.
#include <QObject>

struct udev;
struct udev_monitor;
class QSocketNotifier;

class TDeviceWatch : public QObject {
    Q_OBJECT
public:
    explicit TDeviceWatch(QObject* owner);
    ~TDeviceWatch() override;
    // False when the system gives no device notices (no udev, no permission).
    bool Active() const { return Notifier != nullptr; }

signals:
    // A USB device has been added or removed.
    void Changed();

private:
    void Receive();

    udev* Udev = nullptr;
    udev_monitor* Monitor = nullptr;
    QSocketNotifier* Notifier = nullptr;
};
