#pragma once
// The program's one port object, ActivePort: made here for the port number the user chose, and
// owned here. The window's port menu only chooses the number.
#include <memory>

#include "link/PortNumbers.h"
#include "link/Portvirt.h"

// A new port object for a port number: kUSBPortNumber the USB link, kIPPortNumber the Wi-Fi
// link, any other number a serial port.
std::unique_ptr<TPortVirt> MakePort(int portNumber);

// The one port object of the program; null until one is made. Read-only: the two functions
// below change it.
extern TPortVirt* const& ActivePort;
// ActivePort becomes a new port object for portNumber; the one held before is deleted first
// (its destructor releases its link).
TPortVirt& MakeActivePort(int portNumber);
// Deletes ActivePort, which is null afterwards.
void FreeActivePort();
