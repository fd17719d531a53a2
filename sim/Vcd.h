// A value-change dump (IEEE 1364 VCD) of the bench's socket lines, named as on
// the datasheet of the chip in the socket, for GTKWave or PulseView. Time is the
// bench's virtual time in ns. Watch it with Bench::Watch.
//
// Signals: 40-pin flash VCC, ALE/PROG, EA/VPP, EA/VPP_12V, P2.6, P2.7, P3.3, P3.6,
// P3.7, A[14:0], P0[7:0]; 20-pin flash VCC, RST, VPP_12V, P3.2/PROG, P3.3, P3.4,
// P3.5, P3.7, XTAL1, P1[7:0] (the chip's bit order); EEPROMs VCC, /CE, /OE, /WE,
// A[14:0], D[7:0]; an empty socket (or an unknown name) the board's registers.
// A data bus reads 'z' where nobody drives it; where the chip drives it, it shows
// the chip's byte from the moment the board samples it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Socket.h"

namespace sim {

struct ChipFacts;
struct EepromFacts;

class VcdRecorder : public SocketObserver {
public:
    // `chip` as the catalogue names it ("89C52", "28C64"), or empty for an empty socket.
    VcdRecorder(std::ostream& out, std::string_view chip);

    // Records only while the address on the lines (a 20-pin chip's counter
    // position) lies within [first, last]; call before Start.
    void Range(uint32_t first, uint32_t last);
    // Writes the header and the lines' values now; nothing is recorded before.
    // A 20-pin chip's counter is counted from here: start before its supply comes up.
    void Start(const SocketLines& lines, uint64_t now);

    // SocketObserver
    void LinesChanged(const SocketLines& lines, uint64_t now) override;
    void DataSampled(std::optional<uint8_t> driven, uint64_t now) override;

    uint64_t Bytes() const { return bytes_; }  // written to the stream so far
    const std::vector<std::string>& SignalNames() const { return names_; }

private:
    enum class Kind : uint8_t { Empty, Flash40, Flash20, Eeprom };

    std::vector<std::string> Values(const SocketLines& lines) const;
    uint32_t Address(const SocketLines& lines) const;
    void Count(const SocketLines& lines);  // the 20-pin counter
    void Emit(const SocketLines& lines, uint64_t now);
    void Put(const std::string& text);

    std::ostream& out_;
    std::string chip_;
    Kind kind_ = Kind::Empty;
    const ChipFacts* flash_ = nullptr;
    const EepromFacts* eeprom_ = nullptr;
    std::vector<std::string> names_;
    std::vector<int> widths_;

    bool started_ = false;
    uint32_t first_ = 0, last_ = UINT32_MAX;
    std::vector<std::string> shown_;  // the values last written, while in range
    std::optional<uint64_t> lastTime_;
    SocketLines lines_;
    std::optional<uint8_t> sampled_;  // the chip's byte since the last sample, while the board does not drive

    // 20-pin counter, as the chip counts it.
    uint32_t counter_ = 0;
    bool powered_ = false, resetHeld_ = true, clock_ = false;
    uint64_t bytes_ = 0;
};

}  // namespace sim
