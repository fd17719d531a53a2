// One program of the pair at a time, across processes and crashes.
#include <gtest/gtest.h>


#include "Processes.h"
#include "shell/SingleInstance.h"

namespace test {
namespace {

using shell::SingleInstance;

TEST(SingleInstance, LockFileLivesInTheRuntimeFolderOrPerUserInTemp) {
    RuntimeFolder runtime;
    EXPECT_EQ(shell::InstanceLockPath("Corvina"), (runtime.path / "Corvina.lock").string());
    unsetenv("XDG_RUNTIME_DIR");
    const std::string path = shell::InstanceLockPath("Corvina");
    EXPECT_EQ(std::filesystem::path(path).filename(), "Corvina-" + std::to_string(getuid()) + ".lock");
}

TEST(SingleInstance, TheNameIsHeldUntilItsHolderLetsGo) {
    RuntimeFolder runtime;
    auto first = std::make_unique<SingleInstance>("Corvina");
    ASSERT_EQ(first->outcome(), SingleInstance::Outcome::Acquired);
    EXPECT_EQ(SingleInstance("Corvina").outcome(), SingleInstance::Outcome::Taken);
    first.reset();
    EXPECT_EQ(SingleInstance("Corvina").outcome(), SingleInstance::Outcome::Acquired);
}

TEST(SingleInstance, ASecondProgramOfThePairEndsAtOnceAndACrashFreesTheName) {
    RuntimeFolder runtime;
    const pid_t first = Start(CORVINA_EXE);
    ASSERT_TRUE(HoldsWithin(first, 10s)) << "corvina did not take the name";

    for (const char* second : {QUILLON_EXE, CORVINA_EXE}) {
        const pid_t pid = Start(second);
        const auto code = EndsWithin(pid, 1s);
        if (!code) Kill(pid);
        EXPECT_EQ(code, 0) << second << " should end at once with code 0";
    }
    EXPECT_FALSE(EndsWithin(first, 0ms)) << "the first one must go on";

    Kill(first);  // as kill -9: no clean-up of its own
    const pid_t next = Start(QUILLON_EXE);
    EXPECT_TRUE(HoldsWithin(next, 10s)) << "quillon should start once the holder is gone";
    EXPECT_FALSE(EndsWithin(next, 200ms));
    Kill(next);
}

}  // namespace
}  // namespace test
