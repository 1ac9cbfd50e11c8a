#pragma once
// The port numbers and line speeds the user chooses from. A port number names the link: 1..98
// a serial port (a Bluetooth link is a virtual serial port), and two numbers of their own for
// the USB and the Wi-Fi links.
inline constexpr int kFirstSerialPortNumber = 1;
inline constexpr int kLastSerialPortNumber = 98;
inline constexpr int kUSBPortNumber = 99;
inline constexpr int kIPPortNumber = 100;

// The two speeds of the speed menu, in bits per second.
inline constexpr int kLowSpeed = 19200;    // "Low"
inline constexpr int kHighSpeed = 273000;  // "High"
