// Running one device command on the board: the port claimed, the board brought
// to rest first if that has never happened (the start-up may not have reached
// the port), the command run, the board at rest again should it throw, and the
// port released on every way out. The window's frame and the command line use it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "io/PortIo.h"
#include "io/Timer.h"
#include "io/Unitio.h"

namespace device {

class PortSession {
public:
    // `rest` puts the socket into its rest state (the device layer's BoardIdle);
    // `firstRest` does it the first time, where a socket wants more (by default `rest`).
    PortSession(io::PortIo& port, io::Timer& timer, io::Board& board, std::function<void()> rest,
                std::function<void()> firstRest = nullptr)
        : port_(port), timer_(timer), board_(board), rest_(std::move(rest)),
          firstRest_(firstRest ? std::move(firstRest) : rest_) {}

    // Start-up: the timer prepared and the board at rest, when the port can be
    // had; otherwise quietly nothing, and the first command does it.
    void Prepare(uint16_t portBase);

    // Runs `command` with the port at `portBase` claimed. Empty when it ran,
    // otherwise why the port could not be had (and nothing was touched).
    std::string Run(uint16_t portBase, const std::function<void()>& command);

    bool Rested() const { return rested_; }

private:
    std::string Claim(uint16_t portBase);
    void RestFirstTime();

    io::PortIo& port_;
    io::Timer& timer_;
    io::Board& board_;
    std::function<void()> rest_;
    std::function<void()> firstRest_;
    bool rested_ = false;
};

}  // namespace device
