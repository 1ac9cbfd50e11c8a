#include "link/Eventpump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

void PumpEvents(int maxMs) {
    if (!QCoreApplication::instance()) {
        if (maxMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(maxMs));
        return;
    }
    if (maxMs <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // The timer bounds the wait; any other event (data on a descriptor) ends it sooner.
    QTimer bound;
    bound.setSingleShot(true);
    bound.setTimerType(Qt::PreciseTimer);
    bound.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
