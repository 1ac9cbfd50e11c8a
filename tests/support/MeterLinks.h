#pragma once
// Puts the simulated meter behind a pseudo-terminal or a TCP listener: the computer's bytes
// are fed to it, its answers go back, and when it goes down the line is hung up.
#include "tests/support/MeterPtyHost.h"
#include "tests/support/MeterSim.h"
#include "tests/support/MeterTcpHost.h"

template <class THostLink>
void PassMeterOutput(THostLink& link, TMeterSim& meter) {
    std::uint8_t out[4096];
    while (std::size_t k = meter.Read(out, sizeof out)) link.Send(out, k);
    if (meter.HungUp()) link.HangUp();
}

inline void AttachMeter(TMeterPtyHost& link, TMeterSim& meter) {
    link.OnBytes = [&link, &meter](const std::uint8_t* d, std::size_t n) {
        // The meter hears at the speed the computer set on its end of the line.
        meter.SetLineSpeed(link.LineSpeed());
        meter.Feed(d, n);
        PassMeterOutput(link, meter);
    };
}

inline void AttachMeter(TMeterTcpHost& link, TMeterSim& meter) {
    link.OnBytes = [&link, &meter](const std::uint8_t* d, std::size_t n) {
        meter.Feed(d, n);
        PassMeterOutput(link, meter);
    };
}
