#pragma once
// The serial-port control that TPortCOM drives: the line properties, open and close, raw byte
// reads and writes, queue counts and line-status flags, over a QSerialPort. Properties can be
// set while closed and are applied when the device opens. Nothing here waits: the timed reads
// and their slices live in the port, which knows when the link has been closed.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/PortNumbers.h"

class QSerialPort;

class TPortCtl {
public:
    TPortCtl();
    ~TPortCtl();  // closes the device
    TPortCtl(const TPortCtl&) = delete;
    TPortCtl& operator=(const TPortCtl&) = delete;

    // Line properties. Parity: 0 none, 1 odd, 2 even, 3 mark, 4 space; StopBits 1 or 2.
    void SetPortNumber(int v) { PortNumber = v; }
    int GetPortNumber() const { return PortNumber; }
    void SetBaudRate(int v);
    int GetBaudRate() const { return BaudRate; }
    void SetParity(int v);
    int GetParity() const { return Parity; }
    void SetDataBits(int v);
    int GetDataBits() const { return DataBits; }
    void SetStopBits(int v);
    int GetStopBits() const { return StopBits; }
    void SetXonXoff(int v);
    int GetXonXoff() const { return XonXoff; }
    // DTR/DSR flow control has no Linux driver support: the value is kept, nothing more.
    void SetDtrDsr(int v) { DtrDsr = v; }
    int GetDtrDsr() const { return DtrDsr; }
    void SetRtsCts(int v);
    int GetRtsCts() const { return RtsCts; }
    // Modem lines; devices without them (pseudo-terminals) ignore the request.
    void SetDtr(int v);
    int GetDtr() const { return Dtr; }
    void SetRts(int v);
    int GetRts() const { return Rts; }
    int GetDsr() const;

    // Line-status error flags 15..18 (framing, overrun, parity, break) since the last
    // ClearLineStatus, where the driver counts them; 0 where it does not.
    int LineStatus(int id) const;
    void ClearLineStatus();

    // Opens the device of the port number (ComDevicePath). 1 when open, 0 when not.
    int Open();
    // Closes the device; harmless when closed.
    void Close();
    bool IsOpen() const;
    // The device vanished (hang-up, read of 0 bytes, I/O error) since it was opened.
    bool Lost() const { return LostFlag; }
    // Called once when the device vanishes.
    std::function<void()> OnLost;
    // The device path of the last Open.
    const std::string& DevicePath() const { return Path; }

    // -1 when the byte was not taken.
    int WriteByte(int b);
    int WriteByteBuffer(const uint8_t* data, int n);
    // One received byte, or -1 when none is waiting.
    int ReadByte();
    // Up to n waiting bytes; the count.
    int ReadWaiting(uint8_t* buf, int n);
    int RxCount() const;
    int TxCount();
    void ClearTxBuffer();

private:
    void Apply();
    void MarkLost();

    std::unique_ptr<QSerialPort> Port;
    std::string Path;
    bool LostFlag = false;
    int PortNumber = 0, BaudRate = kLowSpeed, Parity = 0, DataBits = 8, StopBits = 1;
    int XonXoff = 0, DtrDsr = 0, RtsCts = 0, Dtr = 0, Rts = 0;
    // Driver's error counters at the last ClearLineStatus: frame, overrun, parity, break.
    int LineBase[4] = {0, 0, 0, 0};
};

// The device path of serial port number n (1..98): the setting "ComDevice<n>" when it is
// there, else the n-th serial device present (USB adapters, then modem-class USB devices,
// then Bluetooth links, then built-in ports); empty when there is none.
std::string ComDevicePath(int n);

// Puts serial device paths in the order of that numbering: /dev/ttyUSB*, /dev/ttyACM*,
// /dev/rfcomm*, /dev/ttyS*, each by number, then any other path by name.
void OrderSerialDevices(std::vector<std::string>& paths);
