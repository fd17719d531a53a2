#include "eeprom/EepromEntries.h"

#include <stdexcept>

#include "device/HexText.h"

namespace eeprom {
namespace {

using device::Hex2;
using device::Hex4;
using device::Outcome;

// A damaged settings file can name a device that is not in the catalogue: no
// routine runs, and nobody is told "OK".
std::string UnknownDeviceText(uint16_t deviceType) {
    return "Unknown device type " + std::to_string(deviceType) + "\nChoose the chip in the device list";
}

template <class Run>
std::string WithJob(EepromSocket& socket, const Request& request, Run run) {
    const DeviceEntry* chip = FindDevice(request.deviceType);
    if (!chip) return UnknownDeviceText(request.deviceType);
    if (request.image.size() < chip->size) throw std::invalid_argument("the image is smaller than the device");
    socket.SignalScheme = chip->scheme;
    Job job{socket, *chip, request.image, request.window, request.writeDelayTicks, request.progress};
    return run(job);
}

std::string FailureText(const char* what, const Outcome& outcome) {
    return std::string(what) + " @ Device Address  " + Hex4(outcome.address) + "\nData Read  =  " + Hex2(outcome.read);
}

std::string MismatchText(const char* what, const Outcome& outcome) {
    return FailureText(what, outcome) + "\nProg Data   =  " + Hex2(outcome.expected);
}

std::string Ok() { return device::kResultOk; }

}  // namespace

void StartUpBoard(io::Board& board) { board.PowerFlags = 0x81; }

void RestAtStart(EepromSocket& socket) {
    socket.SetControlBit2();
    socket.BoardIdle();
}

void BoardIdle(EepromSocket& socket) { socket.BoardIdle(); }

std::string WindowError(const DeviceEntry& device, const Window& w) {
    if (w.bufferStart > w.bufferEnd) return "Buffer Start Address > End Address";
    const uint32_t span = static_cast<uint32_t>(w.bufferEnd - w.bufferStart);
    if (span >= device.size) return "Buffer Address Range > Device Storage Capacity";
    if (w.deviceStart + span >= device.size)
        return "Buffer Address Range > Device Address Range\nCheck device start address";
    if (w.bufferEnd >= kBufferEntries) return "Buffer End Address > 7FFF";  // only a caller without the fields
    return {};
}

std::string BlankCheckDevice(EepromSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job) {
        const Outcome outcome = BlankCheck(job);
        return outcome.good ? Ok() : FailureText("Blank Check Error", outcome);
    });
}

std::string ReadDevice(EepromSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job) {
        Read(job);
        return Ok();
    });
}

std::string WriteDevice(EepromSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job) {
        if (std::string refused = WindowError(job.chip, job.window); !refused.empty()) return refused;
        const Outcome outcome = Write(job);
        return outcome.good ? Ok() : MismatchText("Program Verify Error", outcome);
    });
}

std::string VerifyDevice(EepromSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job) {
        if (std::string refused = WindowError(job.chip, job.window); !refused.empty()) return refused;
        const Outcome outcome = Verify(job);
        return outcome.good ? Ok() : MismatchText("Buffer Verify Error", outcome);
    });
}

std::string EraseDevice(EepromSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job) {
        const Outcome outcome = Erase(job);
        return outcome.good ? Ok() : FailureText("Erasing Error", outcome);
    });
}

}  // namespace eeprom
