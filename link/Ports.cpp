#include "link/Ports.h"

#include "link/Portcom.h"
#include "link/Portip.h"
#include "link/Portusb.h"

namespace {
std::unique_ptr<TPortVirt> Owner;
// Kept in step with Owner: the name through which the rest of the program reaches the port.
TPortVirt* Current = nullptr;
}  // namespace

TPortVirt* const& ActivePort = Current;

std::unique_ptr<TPortVirt> MakePort(int portNumber) {
    if (portNumber == kUSBPortNumber) return std::make_unique<TPortUSB>();
    if (portNumber == kIPPortNumber) return std::make_unique<TPortIP>();
    return std::make_unique<TPortCOM>();
}

TPortVirt& MakeActivePort(int portNumber) {
    FreeActivePort();
    Owner = MakePort(portNumber);
    Current = Owner.get();
    return *Owner;
}

void FreeActivePort() {
    // Emptied before the object goes: nothing reaches a port that is being destroyed.
    Current = nullptr;
    Owner.reset();
}
