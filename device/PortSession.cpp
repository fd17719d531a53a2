#include "device/PortSession.h"

namespace device {
namespace {

// Releases the port however the scope is left.
struct Released {
    io::PortIo& port;
    ~Released() { port.Release(); }
};

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
    if (!Claim(portBase).empty()) return;  // the first command will tell why
    Released released{port_};
    RestFirstTime();
}

std::string PortSession::Run(uint16_t portBase, const std::function<void()>& command) {
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
