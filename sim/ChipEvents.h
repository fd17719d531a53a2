// What a chip model records of the violations and warnings it sees, for tests
// to read. The list is capped so that a failing loop cannot grow it without bound.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Socket.h"

namespace sim {

struct ChipEvent {
    uint64_t time;  // the bench's virtual time, ns
    bool warning;   // false: a violation, something the part refuses or spoils
    std::string what;
};

class ChipEventLog {
public:
    static constexpr size_t kKept = 1000;  // the first ones are kept, the rest only counted

    void Add(uint64_t time, bool warning, std::string what);
    const std::vector<ChipEvent>& Events() const { return events_; }
    uint64_t Dropped() const { return dropped_; }
    std::vector<std::string> Texts(bool warnings) const;
    void Clear();

private:
    std::vector<ChipEvent> events_;
    uint64_t dropped_ = 0;
};

// A chip model that keeps such a log: what tests read of every model.
class RecordingChip : public SocketChip {
public:
    const std::vector<ChipEvent>& Events() const { return log_.Events(); }
    uint64_t EventsDropped() const { return log_.Dropped(); }
    std::vector<std::string> Violations() const { return log_.Texts(false); }
    std::vector<std::string> Warnings() const { return log_.Texts(true); }
    void ClearEvents() { log_.Clear(); }

protected:
    void Violation(uint64_t now, std::string what) { log_.Add(now, false, std::move(what)); }
    void Warning(uint64_t now, std::string what) { log_.Add(now, true, std::move(what)); }

private:
    ChipEventLog log_;
};

}  // namespace sim
