// FTDI converters through libftdi1 (over libusb). libftdi has no receive queue count, so the
// device keeps its own receive buffer and fills it from the chip on demand.
#include "link/Ftdidevice.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

// Longest a single read call may block: short, so the port's waits stay responsive.
constexpr int ReadSliceMs = 20;

// Every default-id FTDI converter present, in a fixed order (by product id, then bus order).
// Returns false when the bus cannot be listed. The caller frees the lists.
bool ListDevices(ftdi_context* ctx, std::vector<ftdi_device_list*>& lists,
                 std::vector<libusb_device*>& devices) {
    for (int pid : FtdiDefaultProductIds) {
        ftdi_device_list* list = nullptr;
        int r = ftdi_usb_find_all(ctx, &list, FtdiVendorId, pid);
        if (r < 0) return false;
        lists.push_back(list);
        for (ftdi_device_list* d = list; d; d = d->next) devices.push_back(d->dev);
    }
    return true;
}

void FreeLists(std::vector<ftdi_device_list*>& lists) {
    for (ftdi_device_list*& l : lists) ftdi_list_free(&l);
    lists.clear();
}

class TLibftdiDevice final : public TFtdiDevice {
public:
    explicit TLibftdiDevice(ftdi_context* ctx) : Ctx(ctx) {}
    ~TLibftdiDevice() override {
        ftdi_usb_close(Ctx);
        ftdi_free(Ctx);
    }
    TLibftdiDevice(const TLibftdiDevice&) = delete;
    TLibftdiDevice& operator=(const TLibftdiDevice&) = delete;

    TFtdiStatus SetBaudRate(int bps) override { return Result(ftdi_set_baudrate(Ctx, bps)); }

    TFtdiStatus SetDataCharacteristics(uint8_t bits, uint8_t stopBits, uint8_t parity) override {
        ftdi_bits_type b = bits == 7 ? BITS_7 : BITS_8;
        ftdi_stopbits_type s = stopBits == 2 ? STOP_BIT_2 : stopBits == 1 ? STOP_BIT_15 : STOP_BIT_1;
        ftdi_parity_type p = parity <= 4 ? static_cast<ftdi_parity_type>(parity) : NONE;
        return Result(ftdi_set_line_property(Ctx, b, s, p));
    }

    TFtdiStatus SetFlowControl(uint16_t mode, uint8_t xon, uint8_t xoff) override {
        if (mode == SIO_XON_XOFF_HS) return Result(ftdi_setflowctrl_xonxoff(Ctx, xon, xoff));
        return Result(ftdi_setflowctrl(Ctx, mode));
    }

    TFtdiStatus SetDtr(bool on) override { return Result(ftdi_setdtr(Ctx, on ? 1 : 0)); }
    TFtdiStatus SetRts(bool on) override { return Result(ftdi_setrts(Ctx, on ? 1 : 0)); }

    TFtdiStatus GetModemStatus(uint32_t& status) override {
        unsigned short s = 0;
        TFtdiStatus r = Result(ftdi_poll_modem_status(Ctx, &s));
        status = r == TFtdiStatus::Ok ? s : 0;
        return r;
    }

    TFtdiStatus Purge(int mask) override {
        TFtdiStatus r = TFtdiStatus::Ok;
        if (mask & 1) {
            Rx.clear();
            r = Result(ftdi_tciflush(Ctx));
        }
        if ((mask & 2) && r == TFtdiStatus::Ok) r = Result(ftdi_tcoflush(Ctx));
        return r;
    }

    TFtdiStatus SetTimeouts(int readMs, int writeMs) override {
        ReadLimitMs = std::max(1, readMs);
        Ctx->usb_write_timeout = std::max(1, writeMs);
        return TFtdiStatus::Ok;
    }

    TFtdiStatus GetQueueStatus(uint32_t& rxCount) override {
        TFtdiStatus r = Rx.empty() ? Fill(1) : TFtdiStatus::Ok;
        rxCount = static_cast<uint32_t>(Rx.size());
        return r;
    }

    TFtdiStatus GetStatus(uint32_t& rxCount, uint32_t& txCount, uint32_t& events) override {
        // Writes complete before they return, so nothing ever waits to be sent.
        txCount = 0;
        events = 0;
        return GetQueueStatus(rxCount);
    }

    TFtdiStatus Read(uint8_t* buf, int n, int& got) override {
        got = 0;
        if (n <= 0) return TFtdiStatus::Ok;
        if (Rx.size() < static_cast<size_t>(n)) {
            TFtdiStatus r = Fill(std::min(ReadLimitMs, ReadSliceMs));
            if (r == TFtdiStatus::Gone) return r;
        }
        while (got < n && !Rx.empty()) {
            buf[got++] = Rx.front();
            Rx.pop_front();
        }
        return TFtdiStatus::Ok;
    }

    TFtdiStatus Poll(int ms) override { return Rx.empty() ? Fill(ms) : TFtdiStatus::Ok; }

    TFtdiStatus Write(const uint8_t* buf, int n, int& written) override {
        written = 0;
        int r = ftdi_write_data(Ctx, buf, n);
        if (r >= 0) written = r;
        return Result(r);
    }

    TFtdiStatus SetLatencyTimer(int ms) override {
        return Result(ftdi_set_latency_timer(Ctx, static_cast<unsigned char>(std::clamp(ms, 1, 255))));
    }

    TFtdiStatus GetDriverVersion(uint32_t& version) override {
        const libusb_version* v = libusb_get_version();
        version = (uint32_t(v->major & 0xFF) << 16) | (uint32_t(v->minor & 0xFF) << 8) | (v->micro & 0xFF);
        return TFtdiStatus::Ok;
    }

private:
    // Reads what the chip has within about ms milliseconds into the receive buffer.
    TFtdiStatus Fill(int ms) {
        uint8_t tmp[4096];
        Ctx->usb_read_timeout = std::max(1, ms);
        int r = ftdi_read_data(Ctx, tmp, sizeof tmp);
        if (r == LIBUSB_ERROR_TIMEOUT) return TFtdiStatus::Ok;
        if (r > 0) Rx.insert(Rx.end(), tmp, tmp + r);
        return Result(r);
    }

    // libftdi folds most libusb errors into its own codes; ask libusb whether the device is
    // still there to tell a failed call from an unplugged device.
    TFtdiStatus Result(int r) const {
        if (r >= 0) return TFtdiStatus::Ok;
        if (r == LIBUSB_ERROR_NO_DEVICE || !Ctx->usb_dev) return TFtdiStatus::Gone;
        int config = 0;
        if (libusb_get_configuration(Ctx->usb_dev, &config) == LIBUSB_ERROR_NO_DEVICE) return TFtdiStatus::Gone;
        return TFtdiStatus::Failed;
    }

    ftdi_context* Ctx;
    std::deque<uint8_t> Rx;
    int ReadLimitMs = 500;
};

class TLibftdiLibrary final : public TFtdiLibrary {
public:
    TFtdiStatus DeviceCount(int& count) override {
        count = 0;
        ftdi_context* ctx = ftdi_new();
        if (!ctx) return TFtdiStatus::Failed;
        std::vector<ftdi_device_list*> lists;
        std::vector<libusb_device*> devices;
        bool ok = ListDevices(ctx, lists, devices);
        count = ok ? static_cast<int>(devices.size()) : 0;
        FreeLists(lists);
        ftdi_free(ctx);
        return ok ? TFtdiStatus::Ok : TFtdiStatus::Failed;
    }

    std::unique_ptr<TFtdiDevice> Open(int index) override {
        ftdi_context* ctx = ftdi_new();
        if (!ctx) return nullptr;
        std::vector<ftdi_device_list*> lists;
        std::vector<libusb_device*> devices;
        bool opened = ListDevices(ctx, lists, devices) && index >= 0 &&
                      index < static_cast<int>(devices.size()) &&
                      ftdi_usb_open_dev(ctx, devices[static_cast<size_t>(index)]) == 0;
        FreeLists(lists);
        if (!opened) {
            ftdi_free(ctx);
            return nullptr;
        }
        return std::make_unique<TLibftdiDevice>(ctx);
    }

    TFtdiStatus GetLibraryVersion(uint32_t& version) override {
        ftdi_version_info v = ftdi_get_library_version();
        version = (uint32_t(v.major & 0xFF) << 16) | (uint32_t(v.minor & 0xFF) << 8) | (v.micro & 0xFF);
        return TFtdiStatus::Ok;
    }
};

TLibftdiLibrary DefaultLibrary;
TFtdiLibrary* Installed = nullptr;

}  // namespace

TFtdiLibrary& FtdiLibrary() { return Installed ? *Installed : DefaultLibrary; }

void SetFtdiLibrary(TFtdiLibrary* lib) { Installed = lib; }
