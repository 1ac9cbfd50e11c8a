#pragma once
#include <QString>

#include "link/PortNumbers.h"

// What several of the window's commands share: the link chosen (kept in the settings), the
// folders, and whether the 3-D animation runs or another copy holds the working folder.
struct TWindowState {
    int PortNum = kUSBPortNumber;  // 1..98 a serial port, 99 USB, 100 Wi-Fi
    int PortSpeed = 0;             // bits per second
    QString IPAddress;             // of the Wi-Fi link; empty: the meter's own access point
    QString SequenceFolder;        // where the file dialogs start
    QString WorkFolder;            // holds the list file
    // Closing the window only stops the animation while it runs.
    bool AnimationRunning = false;
    // True while the upload runs: the window stays open, and the port object and the list's
    // entries stay as they are.
    bool UploadRunning = false;
    // Another copy of the program holds the working folder: this one reads and writes neither
    // the list file nor the settings, and is not to be shown.
    bool AnotherCopyRunning = false;
};
