#include "flash/FlashEntries.h"

#include <stdexcept>

#include "device/HexText.h"
#include "flash/IspFamily.h"
#include "flash/Job.h"
#include "flash/StandardFamily.h"
#include "flash/TwentyPinFamily.h"
#include "flash/WdFamily.h"

namespace flash {

const FamilyRoutines& RoutinesOf(Family family) {
    switch (family) {
        case Family::Standard: return standard::Routines();
        case Family::TwentyPin: return twentypin::Routines();
        case Family::Isp: return isp::Routines();
        case Family::Wd: return wd::Routines();
    }
    throw std::logic_error("no routines for this family");
}

namespace {

using device::Hex2;
using device::Hex4;

// A damaged settings file can name a device that is not in the catalogue: no
// routine runs, and nobody is told "OK".
std::string UnknownDeviceText(uint16_t deviceType) {
    return "Unknown device type " + std::to_string(deviceType) + "\nChoose the chip in the device list";
}

// Runs `run` on the job of the request's device; the unknown-device text otherwise.
template <class Run>
std::string WithJob(FlashSocket& socket, const Request& request, Run run) {
    const DeviceEntry* chip = FindDevice(request.deviceType);
    if (!chip) return UnknownDeviceText(request.deviceType);
    if (request.image.size() < chip->size) throw std::invalid_argument("the image is smaller than the device");
    socket.DeviceType = request.deviceType;
    Job job{socket, *chip, request.image, request.progress};
    return run(job, RoutinesOf(chip->family));
}

std::string FailureText(const char* what, const device::Outcome& outcome) {
    return std::string(what) + " @ Address  " + Hex4(outcome.address) + "\nData Read  =  " + Hex2(outcome.read);
}

std::string MismatchText(const char* what, const device::Outcome& outcome) {
    return FailureText(what, outcome) + "\nProg Data   =  " + Hex2(outcome.expected);
}

// Lock bits and fuse after a good write: nothing but the rest state when none is chosen.
void ProgramLockBits(Job& job, const FamilyRoutines& routines, uint16_t programBits) {
    if (programBits) routines.programLockBits(job, programBits);
    job.s.BoardIdle();
}

}  // namespace

void StartUpBoard(io::Board& board) { board.PowerFlags = 0x81; }

std::string BlankCheckDevice(FlashSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job, const FamilyRoutines& routines) {
        const device::Outcome outcome = routines.blankCheck(job);
        return outcome.good ? std::string(device::kResultOk) : FailureText("Blank Check Error", outcome);
    });
}

std::string ReadDevice(FlashSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job, const FamilyRoutines& routines) {
        routines.read(job);
        return std::string(device::kResultOk);
    });
}

std::string WriteDevice(FlashSocket& socket, const Request& request) {
    return WithJob(socket, request, [&](Job& job, const FamilyRoutines& routines) {
        const device::Outcome outcome = routines.write(job);
        if (!outcome.good) return MismatchText("Program Verify Error", outcome);
        ProgramLockBits(job, routines, ProgramBitsFor(job.chip, request.programBits));
        return std::string(device::kResultOk);
    });
}

std::string VerifyDevice(FlashSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job, const FamilyRoutines& routines) {
        const device::Outcome outcome = routines.verify(job);
        return outcome.good ? std::string(device::kResultOk) : MismatchText("Buffer Verify Error", outcome);
    });
}

std::string ReadSignature(FlashSocket& socket, const Request& request) {
    return WithJob(socket, request, [](Job& job, const FamilyRoutines& routines) { return routines.signature(job); });
}

void BoardIdle(FlashSocket& socket, uint16_t deviceType) {
    socket.DeviceType = deviceType;
    socket.BoardIdle();
}

}  // namespace flash
