#include "sim/ChipEvents.h"

namespace sim {

void ChipEventLog::Add(uint64_t time, bool warning, std::string what) {
    if (events_.size() >= kKept) {
        ++dropped_;
        return;
    }
    events_.push_back({time, warning, std::move(what)});
}

std::vector<std::string> ChipEventLog::Texts(bool warnings) const {
    std::vector<std::string> texts;
    for (const ChipEvent& e : events_)
        if (e.warning == warnings) texts.push_back(e.what);
    return texts;
}

void ChipEventLog::Clear() {
    events_.clear();
    dropped_ = 0;
}

}  // namespace sim
