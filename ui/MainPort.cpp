// The choice of port and line speed, and the port icon.
#include <QAction>
#include <QColor>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <array>

#include "link/PortNumbers.h"
#include "link/Ports.h"
#include "link/Portusb.h"
#include "ui/ControlEvents.h"
#include "ui/DeviceWatch.h"
#include "ui/Main.h"
#include "ui_Main.h"

namespace {
// The serial ports of the menu: 1..kMenuSerialPorts.
constexpr int kMenuSerialPorts = 6;
constexpr int kPictureHeight = 15;
constexpr int kPictureWidth = 22;

QPixmap DrawPicture(const QString& text, const QColor& fill) {
    QPixmap p(kPictureWidth, kPictureHeight);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(fill.darker(160));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kPictureWidth - 1, kPictureHeight - 1), 3, 3);
    QFont f = painter.font();
    f.setPixelSize(8);
    f.setBold(true);
    painter.setFont(f);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, kPictureWidth, kPictureHeight), Qt::AlignCenter, text);
    return p;
}

// The pictures of the port icon: 0 USB with no device, 1 USB, 2..7 the serial ports 1..6,
// 8 a Bluetooth port, 9 the Wi-Fi link.
const std::array<QPixmap, 10>& ImageList3() {
    static const std::array<QPixmap, 10> pictures = [] {
        std::array<QPixmap, 10> p;
        p[0] = DrawPicture("USB", QColor(150, 150, 150));
        p[1] = DrawPicture("USB", QColor(0, 110, 0));
        for (int n = 1; n <= kMenuSerialPorts; ++n)
            p[std::size_t(n + 1)] = DrawPicture("C" + QString::number(n), QColor(0, 0, 128));
        p[8] = DrawPicture("BT", QColor(0, 90, 200));
        p[9] = DrawPicture("WiFi", QColor(160, 90, 0));
        return p;
    }();
    return pictures;
}

// Text of the Bluetooth port box that names a port: a whole number from 1 to 98.
bool BluetoothPortText(const QString& text, int& port) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < kFirstSerialPortNumber || n > kLastSerialPortNumber) return false;
    port = n;
    return true;
}
}  // namespace

void TMainFrm::ConnectPortHandlers() {
    TControlEvents& e = *Events;
    for (QAction* a : {ui->Com11, ui->Com21, ui->Com31, ui->Com41, ui->Com51, ui->Com61, ui->USB, ui->BT, ui->Netvane1})
        e.OnClick(a, [this, a] { ComCheck(a); });
    e.OnClick(ui->LowSpeed, [this] { LowSpeedClick(); });
    e.OnClick(ui->HighSpeed, [this] { HighSpeedClick(); });
    DeviceWatch = new TDeviceWatch(this);
    e.On(DeviceWatch, &TDeviceWatch::Changed, [this] { ShowPortImage(false); });
}

void TMainFrm::ShowPortImage(bool create) {
    if (create && !ActivePort) MakeActivePort(WindowState.PortNum);
    int picture = 8;
    if (WindowState.PortNum >= 1 && WindowState.PortNum <= kMenuSerialPorts)
        picture = WindowState.PortNum + 1;
    else if (WindowState.PortNum == kUSBPortNumber)
        picture = TPortUSB::DeviceCount() != 0 ? 1 : 0;
    else if (WindowState.PortNum == kIPPortNumber)
        picture = 9;
    PortPicture = picture;
    ui->Image2->clear();
    ui->Image2->setPixmap(ImageList3()[std::size_t(picture)]);
    ui->Image2->update();
}

void TMainFrm::ComCheck(QAction* item) {
    // The port object is in use until the upload ends (the menu is disabled meanwhile).
    if (WindowState.UploadRunning) return;
    item->setChecked(true);
    const int tag = item->property("Tag").toInt();
    if (tag == 0) {
        QString text = QString::number(WindowState.PortNum);
        int port = 0;
        do {
            Seam().InputQuery("Enter bluetooth outgoing port number", "value (1..98) :", text);
        } while (!BluetoothPortText(text, port));
        WindowState.PortNum = port;
    } else {
        WindowState.PortNum = tag;
    }
    if (WindowState.PortNum == kIPPortNumber)
        Seam().InputQuery(
            "IP address ex: 192.168.1.20",
            "Enter IP address for WIFI client or leave blank for Reskon access point:", WindowState.IPAddress);
    FreeActivePort();
    ShowPortImage(true);
}

void TMainFrm::LowSpeedClick() {
    WindowState.PortSpeed = kLowSpeed;
    ui->LowSpeed->setChecked(true);
}

void TMainFrm::HighSpeedClick() {
    WindowState.PortSpeed = kHighSpeed;
    ui->HighSpeed->setChecked(true);
}
