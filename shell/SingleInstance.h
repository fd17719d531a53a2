// One program of the pair at a time: both take the name "Corvina" as a lock
// file held with flock, which the kernel releases when the holder ends, crash
// or not.
#pragma once

#include <string>
#include <string_view>

namespace shell {

inline constexpr std::string_view kInstanceName = "Corvina";

// $XDG_RUNTIME_DIR/<name>.lock, or <temp>/<name>-<uid>.lock without it.
std::string InstanceLockPath(std::string_view name);

class SingleInstance {
public:
    enum class Outcome {
        Acquired,     // this process is the one
        Taken,        // another process holds the name
        Unavailable,  // no lock file could be made; run without the guard
    };

    explicit SingleInstance(std::string_view name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    Outcome outcome() const { return outcome_; }

private:
    int fd_ = -1;
    Outcome outcome_ = Outcome::Unavailable;
};

}  // namespace shell
