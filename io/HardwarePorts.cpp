#include "io/HardwarePorts.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#if defined(__linux__)
#include <linux/parport.h>
#include <linux/ppdev.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define CQ_DIRECT_IO 1
#endif

namespace io {
namespace {

std::string Hex(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%03X", value);
    return text;
}

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

std::optional<std::string> FindParportDevice(uint16_t portBase, const ParportPaths& paths) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(paths.proc, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with("parport")) continue;
        std::ifstream file(entry.path() / "base-addr");
        unsigned long base = 0;
        if (file >> base && base == portBase) return paths.dev + "/" + name;  // decimal, as the kernel writes it
    }
    return std::nullopt;
}

std::string PortAccessFailure(uint16_t portBase, const std::string& directReason, const std::string& ppdevReason) {
    return "Cannot reach the parallel port at " + Hex(portBase) + ".\n\n" + "Direct I/O: " + directReason + "\n" +
           "ppdev: " + ppdevReason + "\n\n" +
           "Add your user to the group lp (sudo adduser $USER lp, then log in again) so that the port can be "
           "used through /dev/parport, or run the program as root. Check that the port chosen in the Port menu "
           "is the one the board is on.";
}

// Direct I/O.

DirectPortIo::DirectPortIo() {
#if CQ_DIRECT_IO
    permission_ = [](unsigned long from, unsigned long count, int on) { return ioperm(from, count, on); };
#endif
}

std::string DirectPortIo::Claim(uint16_t portBase) {
    if (!permission_) return "not available on this processor";
    if (granted_ && portBase == base_) return {};
    Release();  // another base: the old range goes back before the new one is asked for
    if (permission_(portBase, 3, 1) != 0) return SystemError("ioperm " + Hex(portBase));
    if (permission_(kTimerCountPort, 2, 1) != 0 || permission_(kSystemControlPort, 1, 1) != 0) {
        const std::string reason = SystemError("ioperm of the timer ports");
        permission_(portBase, 3, 0);
        permission_(kTimerCountPort, 2, 0);
        return reason;
    }
    base_ = portBase;
    granted_ = true;
    return {};
}

void DirectPortIo::Release() {
    if (!granted_) return;
    permission_(base_, 3, 0);
    permission_(kTimerCountPort, 2, 0);
    permission_(kSystemControlPort, 1, 0);
    granted_ = false;
}

void DirectPortIo::PortOut(uint16_t port, uint16_t value) {
#if CQ_DIRECT_IO
    if (granted_) outb(static_cast<unsigned char>(value & 0xFF), port);
#else
    (void)port, (void)value;
#endif
}

uint16_t DirectPortIo::PortIn(uint16_t port) {
#if CQ_DIRECT_IO
    if (granted_) return inb(port);
#else
    (void)port;
#endif
    return 0xFF;
}

// ppdev.

std::string PpdevPortIo::Claim(uint16_t portBase) {
    Release();
    base_ = portBase;
    const auto device = FindParportDevice(portBase, paths_);
    if (!device) return "no parallel port of this system is at " + Hex(portBase) + " (" + paths_.proc + ")";
    fd_ = open(device->c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return SystemError(*device);
#if defined(__linux__)
    if (ioctl(fd_, PPCLAIM) != 0) {
        const std::string reason = SystemError(*device + ": claim");
        close(fd_);
        fd_ = -1;
        return reason;
    }
#endif
    return {};
}

void PpdevPortIo::Release() {
    if (fd_ < 0) return;
#if defined(__linux__)
    ioctl(fd_, PPRELEASE);
#endif
    close(fd_);
    fd_ = -1;
}

void PpdevPortIo::PortOut(uint16_t port, uint16_t value) {
    if (fd_ < 0) return;
#if defined(__linux__)
    unsigned char byte = static_cast<unsigned char>(value & 0xFF);
    if (port == base_) ioctl(fd_, PPWDATA, &byte);
    if (port == base_ + 2) ioctl(fd_, PPWCONTROL, &byte);
#else
    (void)port, (void)value;
#endif
}

uint16_t PpdevPortIo::PortIn(uint16_t port) {
    unsigned char byte = 0xFF;
#if defined(__linux__)
    if (fd_ >= 0 && port == base_) ioctl(fd_, PPRDATA, &byte);
    if (fd_ >= 0 && port == base_ + 1) ioctl(fd_, PPRSTATUS, &byte);
#else
    (void)port;
#endif
    return byte;
}

// Either.

std::string HardwarePortIo::Claim(uint16_t portBase) {
    const std::string direct = direct_.Claim(portBase);
    if (direct.empty()) {
        active_ = &direct_;
        return {};
    }
    const std::string ppdev = ppdev_.Claim(portBase);
    if (ppdev.empty()) {
        active_ = &ppdev_;
        return {};
    }
    return PortAccessFailure(portBase, direct, ppdev);
}

std::string HardwarePortIo::LockName(uint16_t portBase) const { return "corvina-quillon-port-" + Hex(portBase); }

void HardwarePortIo::Release() {
    direct_.Release();
    ppdev_.Release();
}

}  // namespace io
