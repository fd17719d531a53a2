// The real parallel port, reached either by direct I/O (root or CAP_SYS_RAWIO,
// x86 only; the timer ports too) or through the kernel's ppdev driver
// (/dev/parportN, for members of group lp; no timer ports).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "io/PortIo.h"

namespace io {

// Where the kernel describes its parallel ports and where their devices are.
struct ParportPaths {
    std::string proc = "/proc/sys/dev/parport";
    std::string dev = "/dev";
};

// The ppdev device whose base address is `portBase`, e.g. "/dev/parport0";
// none when no port of the system sits there.
std::optional<std::string> FindParportDevice(uint16_t portBase, const ParportPaths& paths = {});

class DirectPortIo : public PortIo {
public:
    // The kernel's grant of a range of ports, as ioperm(2): 0 when done.
    using Permission = std::function<int(unsigned long from, unsigned long count, int on)>;

    DirectPortIo();  // ioperm on x86, none elsewhere
    // For tests: the calls go to `permission` (then send nothing: the bytes
    // would go to the real ports).
    explicit DirectPortIo(Permission permission) : permission_(std::move(permission)) {}

    std::string Claim(uint16_t portBase) override;
    void Release() override;
    void PortOut(uint16_t port, uint16_t value) override;
    uint16_t PortIn(uint16_t port) override;
    bool HasTimerPorts() const override { return true; }

private:
    Permission permission_;
    uint16_t base_ = 0;
    bool granted_ = false;
};

class PpdevPortIo : public PortIo {
public:
    explicit PpdevPortIo(ParportPaths paths = {}) : paths_(std::move(paths)) {}
    ~PpdevPortIo() override { Release(); }

    std::string Claim(uint16_t portBase) override;
    void Release() override;
    void PortOut(uint16_t port, uint16_t value) override;
    uint16_t PortIn(uint16_t port) override;
    bool HasTimerPorts() const override { return false; }

private:
    ParportPaths paths_;
    uint16_t base_ = 0;
    int fd_ = -1;
};

// Direct I/O where the process may, else ppdev. A claim that neither can make
// reports both reasons and what the user can do.
class HardwarePortIo : public PortIo {
public:
    explicit HardwarePortIo(ParportPaths paths = {}) : ppdev_(std::move(paths)) {}

    std::string Claim(uint16_t portBase) override;
    void Release() override;
    void PortOut(uint16_t port, uint16_t value) override { active_->PortOut(port, value); }
    uint16_t PortIn(uint16_t port) override { return active_->PortIn(port); }
    bool HasTimerPorts() const override { return active_->HasTimerPorts(); }
    std::string LockName(uint16_t portBase) const override;

private:
    DirectPortIo direct_;
    PpdevPortIo ppdev_;
    PortIo* active_ = &direct_;
};

// The text shown when no back end reaches the port.
std::string PortAccessFailure(uint16_t portBase, const std::string& directReason, const std::string& ppdevReason);

}  // namespace io
