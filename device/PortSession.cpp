#include "device/PortSession.h"

#include "device/CommandLock.h"

namespace device {
namespace {

// Releases the port however the scope is left.
struct Released {
    io::PortIo& port;
    ~Released() { port.Release(); }
};

// The port's lock, when other programs could reach the port; empty when it
// is held (or not needed), else who holds it.
std::string LockPort(io::PortIo& port, uint16_t portBase, CommandLock& lock, std::chrono::milliseconds patience) {
    const std::string name = port.LockName(portBase);
    return name.empty() ? std::string() : lock.Take(CommandLockPath(name), patience);
}

}  // namespace

std::string PortSession::Claim(uint16_t portBase) {
    if (std::string reason = port_.Claim(portBase); !reason.empty()) return reason;
    board_.PortBase = portBase;
    return {};
}

void PortSession::RestFirstTime() {
    timer_.TimerInit();
    firstRest_();
    rested_ = true;
}

void PortSession::Prepare(uint16_t portBase) {
    CommandLock lock;
    // Another program's command runs there: leave its board alone, the first command rests it.
    if (!LockPort(port_, portBase, lock, std::chrono::milliseconds(0)).empty()) return;
    if (!Claim(portBase).empty()) return;  // the first command will tell why
    Released released{port_};
    RestFirstTime();
}

std::string PortSession::Run(uint16_t portBase, const std::function<void()>& command) {
    CommandLock lock;
    if (std::string busy = LockPort(port_, portBase, lock, std::chrono::milliseconds(2000)); !busy.empty()) return busy;
    if (std::string reason = Claim(portBase); !reason.empty()) return reason;
    Released released{port_};
    // Never power a socket whose lines were never set: the programming voltage
    // would be on while the supply comes up.
    if (!rested_) RestFirstTime();
    try {
        command();
    } catch (...) {
        try {
            rest_();
        } catch (...) {
            // the first error is the one to report
        }
        throw;
    }
    return {};
}

}  // namespace device
