#include "link/Portctl.h"

#include <QDir>
#include <QMetaObject>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSettings>

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "link/PortNumbers.h"

namespace {

// Driver's error counters: frame, overrun, parity, break. False where the driver keeps none.
bool ErrorCounters(const QSerialPort* port, int out[4]) {
    if (!port || !port->isOpen()) return false;
    serial_icounter_struct c{};
    if (::ioctl(static_cast<int>(port->handle()), TIOCGICOUNT, &c) != 0) return false;
    out[0] = c.frame;
    out[1] = c.overrun + c.buf_overrun;
    out[2] = c.parity;
    out[3] = c.brk;
    return true;
}

// Sort key of a device path: its family (in the order of the numbering rule), then its number;
// paths of no known family come last, in name order.
std::tuple<int, long, std::string> DeviceKey(const std::string& path) {
    static const char* const families[] = {"/dev/ttyUSB", "/dev/ttyACM", "/dev/rfcomm", "/dev/ttyS"};
    for (int i = 0; i < 4; ++i) {
        const std::string f = families[i];
        if (path.size() <= f.size() || path.size() > f.size() + 6 || path.compare(0, f.size(), f) != 0) continue;
        long number = 0;
        bool digits = true;
        for (size_t k = f.size(); k < path.size(); ++k) {
            const unsigned char c = static_cast<unsigned char>(path[k]);
            digits = digits && c >= '0' && c <= '9';
            number = number * 10 + (c - '0');
        }
        if (digits) return {i, number, std::string()};
    }
    return {4, 0, path};
}

}  // namespace

void OrderSerialDevices(std::vector<std::string>& paths) {
    std::sort(paths.begin(), paths.end(),
              [](const std::string& a, const std::string& b) { return DeviceKey(a) < DeviceKey(b); });
}

std::string ComDevicePath(int n) {
    if (n < kFirstSerialPortNumber || n > kLastSerialPortNumber) return {};
    QSettings settings(QStringLiteral("Olvane Zerarezizuz"), QStringLiteral("PlanoraPro"));
    settings.beginGroup(QStringLiteral("Initialisation/PlanoraPro"));
    QString set = settings.value(QStringLiteral("ComDevice%1").arg(n)).toString();
    if (!set.isEmpty()) return set.toStdString();

    std::vector<std::string> paths;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        paths.push_back(info.systemLocation().toStdString());
    // Bound Bluetooth links are not always listed with the serial devices.
    for (const QString& name : QDir(QStringLiteral("/dev")).entryList({QStringLiteral("rfcomm*")}, QDir::System)) {
        std::string p = "/dev/" + name.toStdString();
        if (std::find(paths.begin(), paths.end(), p) == paths.end()) paths.push_back(p);
    }
    OrderSerialDevices(paths);
    return n <= static_cast<int>(paths.size()) ? paths[static_cast<size_t>(n - 1)] : std::string();
}

TPortCtl::TPortCtl() = default;

TPortCtl::~TPortCtl() { Close(); }

int TPortCtl::Open() {
    Close();
    Path = ComDevicePath(PortNumber);
    if (Path.empty()) return 0;
    Port = std::make_unique<QSerialPort>();
    Port->setPortName(QString::fromStdString(Path));
    LostFlag = false;
    QSerialPort* port = Port.get();
    QObject::connect(port, &QSerialPort::errorOccurred, port, [this](QSerialPort::SerialPortError e) {
        // A hang-up shows as a read of 0 bytes (ReadError) or as EIO (ResourceError).
        if (e == QSerialPort::ReadError || e == QSerialPort::ResourceError) MarkLost();
    });
    if (!Port->open(QIODevice::ReadWrite)) {
        Port.reset();
        return 0;
    }
    Apply();
    ClearLineStatus();
    return 1;
}

void TPortCtl::MarkLost() {
    if (LostFlag) return;
    LostFlag = true;
    // The dead descriptor would wake every later event pump: close it once the signal is over.
    QSerialPort* port = Port.get();
    QMetaObject::invokeMethod(
        port, [port] { port->close(); }, Qt::QueuedConnection);
    if (OnLost) OnLost();
}

void TPortCtl::Close() {
    if (!Port) return;
    Port->close();
    Port.reset();
}

bool TPortCtl::IsOpen() const { return Port && Port->isOpen(); }

void TPortCtl::Apply() {
    if (!IsOpen()) return;
    Port->setBaudRate(BaudRate);
    Port->setDataBits(static_cast<QSerialPort::DataBits>(std::clamp(DataBits, 5, 8)));
    static const QSerialPort::Parity parities[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                   QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                   QSerialPort::SpaceParity};
    Port->setParity(parities[Parity >= 0 && Parity <= 4 ? Parity : 0]);
    Port->setStopBits(StopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    Port->setFlowControl(RtsCts ? QSerialPort::HardwareControl
                         : XonXoff ? QSerialPort::SoftwareControl
                                   : QSerialPort::NoFlowControl);
    Port->setDataTerminalReady(Dtr != 0);
    if (!RtsCts) Port->setRequestToSend(Rts != 0);
}

void TPortCtl::SetBaudRate(int v) {
    BaudRate = v;
    if (IsOpen()) Port->setBaudRate(v);
}

void TPortCtl::SetParity(int v) {
    Parity = v;
    Apply();
}

void TPortCtl::SetDataBits(int v) {
    DataBits = v;
    Apply();
}

void TPortCtl::SetStopBits(int v) {
    StopBits = v;
    Apply();
}

void TPortCtl::SetXonXoff(int v) {
    XonXoff = v;
    Apply();
}

void TPortCtl::SetRtsCts(int v) {
    RtsCts = v;
    Apply();
}

void TPortCtl::SetDtr(int v) {
    Dtr = v;
    if (IsOpen()) Port->setDataTerminalReady(v != 0);
}

void TPortCtl::SetRts(int v) {
    Rts = v;
    // The driver owns RTS under hardware flow control.
    if (IsOpen() && !RtsCts) Port->setRequestToSend(v != 0);
}

int TPortCtl::GetDsr() const {
    if (!IsOpen()) return 0;
    return (Port->pinoutSignals() & QSerialPort::DataSetReadySignal) ? 1 : 0;
}

int TPortCtl::LineStatus(int id) const {
    int now[4];
    if (id < 15 || id > 18 || !ErrorCounters(Port.get(), now)) return 0;
    return now[id - 15] != LineBase[id - 15] ? 1 : 0;
}

void TPortCtl::ClearLineStatus() {
    int now[4];
    if (ErrorCounters(Port.get(), now)) std::copy(now, now + 4, LineBase);
}

int TPortCtl::WriteByte(int b) {
    if (!IsOpen() || LostFlag) return -1;
    char c = static_cast<char>(b & 0xFF);
    if (Port->write(&c, 1) != 1) return -1;
    Port->flush();
    return 1;
}

int TPortCtl::WriteByteBuffer(const uint8_t* data, int n) {
    if (!IsOpen() || LostFlag || n <= 0) return n == 0 ? 0 : -1;
    qint64 w = Port->write(reinterpret_cast<const char*>(data), n);
    Port->flush();
    return static_cast<int>(w);
}

int TPortCtl::ReadByte() {
    if (!IsOpen() || Port->bytesAvailable() < 1) return -1;
    char c = 0;
    if (Port->read(&c, 1) != 1) return -1;
    return static_cast<uint8_t>(c);
}

int TPortCtl::ReadWaiting(uint8_t* buf, int n) {
    if (!IsOpen() || n <= 0) return 0;
    qint64 r = Port->read(reinterpret_cast<char*>(buf), n);
    return r > 0 ? static_cast<int>(r) : 0;
}

int TPortCtl::RxCount() const { return IsOpen() ? static_cast<int>(Port->bytesAvailable()) : 0; }

int TPortCtl::TxCount() {
    if (!IsOpen()) return 0;
    if (Port->bytesToWrite() > 0) Port->flush();
    int queued = 0;
    if (::ioctl(static_cast<int>(Port->handle()), TIOCOUTQ, &queued) != 0) queued = 0;
    return static_cast<int>(Port->bytesToWrite()) + queued;
}

void TPortCtl::ClearTxBuffer() {
    if (IsOpen()) Port->clear(QSerialPort::Output);
}
