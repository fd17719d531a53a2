#include "io/PortTable.h"

namespace io {

std::optional<LptPort> PortByBase(uint16_t base) {
    for (const LptPort& port : kLptPorts)
        if (port.base == base) return port;
    return std::nullopt;
}

}  // namespace io
