// The timer delays: the 8254 as programmed on the bench, and the monotonic
// clock where there is no timer.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sim/BenchBoard.h"

namespace test {
namespace {

TEST(Timer, TimerDelayProgramsChannel2AndWaitsForItsOutput) {
    sim::BenchBoard b;
    b.bench.Trace(true);
    b.bench.SystemControlBits(0xC0);
    b.timer.TimerInit();
    b.bench.ClearTrace();
    b.timer.TimerDelay(0x1234);
    const auto& t = b.bench.Accesses();
    ASSERT_GE(t.size(), 6u);
    const uint16_t shadow = b.timer.Port61Shadow();
    EXPECT_TRUE(t[0].write && t[0].port == 0x43 && t[0].value == 0xB0);
    EXPECT_TRUE(t[1].write && t[1].port == 0x42 && t[1].value == 0x34);
    EXPECT_TRUE(t[2].write && t[2].port == 0x42 && t[2].value == 0x12);
    EXPECT_TRUE(t[3].write && t[3].port == 0x61 && t[3].value == (shadow | 0x01));
    for (size_t i = 4; i + 1 < t.size(); ++i) EXPECT_TRUE(!t[i].write && t[i].port == 0x61) << i;
    EXPECT_TRUE(t.back().write && t.back().port == 0x61 && t.back().value == (shadow & 0xFE));
    EXPECT_TRUE(t[t.size() - 2].value & 0x20) << "the last poll saw the output high";
    EXPECT_EQ(b.timer.Fallbacks(), 0);
}

TEST(Timer, TicksBecomeNanosecondsRoundedUp) {
    const std::pair<uint32_t, uint64_t> cases[] = {{0, 0}, {1, 839}, {14, 11734}, {11932, 10'000'151}, {1193182, 1'000'000'000}};
    for (auto [ticks, ns] : cases) EXPECT_EQ(io::TicksToNanoseconds(ticks), ns) << ticks;
}

TEST(Timer, EveryNamedDelayLastsAtLeastItsTicks) {
    struct Case {
        const char* name;
        void (io::Timer::*delay)();
        uint32_t ticks;  // of each part
        uint32_t parts;
    };
    const Case cases[] = {
        {"DelayTick", &io::Timer::DelayTick, 1, 1},          {"Delay12us", &io::Timer::Delay12us, 14, 1},
        {"Delay100us", &io::Timer::Delay100us, 119, 1},      {"Delay2ms", &io::Timer::Delay2ms, 2387, 1},
        {"Delay10ms", &io::Timer::Delay10ms, 11932, 1},      {"Delay500ms", &io::Timer::Delay500ms, 11932, 50},
    };
    for (const Case& c : cases) {
        sim::BenchBoard b;
        b.timer.TimerInit();
        const uint64_t start = b.bench.Now();
        (b.timer.*c.delay)();
        const uint64_t took = b.bench.Now() - start;
        EXPECT_GE(took, uint64_t{c.parts} * c.ticks * 1'000'000'000 / io::kTimerHz) << c.name;
        // Each part: four writes to start the count, two polls, the gate off.
        EXPECT_LE(took, c.parts * (io::TicksToNanoseconds(c.ticks) + 7 * sim::kPortAccessNanoseconds)) << c.name;
        EXPECT_LE(b.bench.Reads(io::kSystemControlPort), 3u * c.parts) << c.name << ": polls";
    }
    sim::BenchBoard b;
    b.timer.DelayWrite(5965);
    EXPECT_EQ(b.bench.TimerCount(), 5965);
}

// The bench's clock jumps ahead while a wait polls: two or three polls, and the
// wait ends within one port access of when the hardware's would.
TEST(Timer, APollLoopTakesAFewPollsAndEndsWhenTheHardwaresWould) {
    for (uint16_t ticks : {1, 2, 14, 119, 1193, 2387, 11932, 0xFFFF}) {
        sim::BenchBoard b;
        b.timer.TimerInit();
        const uint64_t polls = b.bench.Reads(io::kSystemControlPort);
        const uint64_t start = b.bench.Now();
        b.timer.TimerDelay(ticks);
        const uint64_t took = b.bench.Now() - start;
        const uint64_t length = io::TicksToNanoseconds(ticks);
        // The hardware: four writes, then a poll each access until one finds
        // the output high, then the gate off.
        constexpr uint64_t access = sim::kPortAccessNanoseconds;
        const uint64_t hardware = 4 * access + (length + access - 1) / access * access + 2 * access;
        EXPECT_GE(took, length) << ticks;
        EXPECT_LE(took, hardware) << ticks;
        EXPECT_GE(took + access, hardware) << ticks;
        EXPECT_GE(b.bench.Reads(io::kSystemControlPort) - polls, 2u) << ticks;
        EXPECT_LE(b.bench.Reads(io::kSystemControlPort) - polls, 3u) << ticks;
        EXPECT_EQ(b.timer.Fallbacks(), 0) << ticks;
    }
}

TEST(Timer, AWaitThatPollsSeesTheOutputLowThenHighAtItsMoment) {
    sim::BenchBoard b;
    b.bench.Trace(true);
    b.timer.TimerInit();
    b.bench.ClearTrace();
    const uint64_t start = b.bench.Now();
    b.timer.TimerDelay(2387);
    const auto& t = b.bench.Accesses();
    ASSERT_EQ(t.size(), 7u);
    const uint64_t high = start + 4 * sim::kPortAccessNanoseconds + io::TicksToNanoseconds(2387);
    EXPECT_FALSE(t[4].value & 0x20);
    EXPECT_LE(t[4].time, high) << "the low poll ends no later than the output goes high";
    EXPECT_TRUE(t[5].value & 0x20);
    EXPECT_EQ(t[5].time - sim::kPortAccessNanoseconds, high) << "the next poll reads at that moment";
}

TEST(Timer, Delay500msIsFiftySeparateCountsOf10ms) {
    sim::BenchBoard b;
    int hooks = 0;
    b.timer.OnLongWait([&] { ++hooks; });
    b.timer.Delay500ms();
    EXPECT_EQ(b.bench.Writes(0x43), 50u);
    EXPECT_EQ(b.bench.TimerCount(), 11932);
    EXPECT_EQ(hooks, 50);
    EXPECT_GE(b.bench.Now(), 500'000'000u);
}

TEST(Timer, TimerInitKeepsEveryBitOfPort61ButGateAndSpeaker) {
    for (uint8_t bits : {0x00, 0xFF, 0xC4, 0x13, 0x9C}) {
        sim::BenchBoard b;
        b.bench.Trace(true);
        b.bench.SystemControlBits(bits);
        b.timer.TimerInit();
        const auto& t = b.bench.Accesses();
        ASSERT_EQ(t.size(), 2u);
        EXPECT_FALSE(t[0].write);
        EXPECT_TRUE(t[1].write);
        EXPECT_EQ(t[1].value, t[0].value & 0xFC) << int(bits);
        EXPECT_EQ(b.timer.Port61Shadow(), t[0].value & 0xFC);
    }
}

TEST(Timer, ATimerThatNeverFiresFallsBackToTheClockWithinItsBound) {
    sim::BenchBoard b;
    b.bench.Trace(true);
    b.bench.TimerNeverFires(true);
    const uint64_t start = b.bench.Now();
    b.timer.TimerDelay(119);
    const uint64_t took = b.bench.Now() - start;
    EXPECT_EQ(b.timer.Fallbacks(), 1);
    EXPECT_GE(took, io::TicksToNanoseconds(119));
    EXPECT_LT(took, io::TicksToNanoseconds(119) + 25'000'000u) << "given up after the grace time";
    EXPECT_EQ(b.bench.Accesses().back().value & 0x01, 0) << "the gate is off again";
}

TEST(Timer, AfterTheTimerFailedToAnswerTheClockCountsEveryLaterWait) {
    sim::BenchBoard b;
    b.bench.TimerNeverFires(true);
    b.timer.TimerInit();
    b.timer.TimerDelay(119);  // pays the grace once
    EXPECT_FALSE(b.timer.TimerAnswers());
    const uint64_t timerWrites = b.bench.Writes(io::kTimerModePort);
    for (uint16_t ticks : {1, 14, 119, 2387, 11932}) {
        const uint64_t start = b.bench.Now();
        b.timer.TimerDelay(ticks);
        const uint64_t took = b.bench.Now() - start;
        EXPECT_GE(took, io::TicksToNanoseconds(ticks)) << ticks;
        EXPECT_LE(took, io::TicksToNanoseconds(ticks) + 6 * sim::kPortAccessNanoseconds) << ticks << ": no grace again";
    }
    EXPECT_EQ(b.timer.Fallbacks(), 6) << "every wait the clock finished";
    EXPECT_EQ(b.bench.Writes(io::kTimerModePort), timerWrites) << "the channel is left alone";
    b.timer.TimerInit();  // a fresh start gives the channel another chance
    EXPECT_TRUE(b.timer.TimerAnswers());
}

TEST(Timer, AnOutputThatIsAlwaysHighCannotEndAWaitEarly) {
    sim::BenchBoard b;
    b.bench.TimerAlwaysHigh(true);
    for (uint16_t ticks : {1, 119, 11932}) {
        const uint64_t start = b.bench.Now();
        b.timer.TimerDelay(ticks);
        EXPECT_GE(b.bench.Now() - start, io::TicksToNanoseconds(ticks)) << ticks;
    }
    EXPECT_GT(b.timer.Fallbacks(), 0);
}

// A port back end without timer ports: the monotonic clock counts the waits.
struct NoTimerPorts : io::PortIo {
    std::string Claim(uint16_t) override { return {}; }
    void Release() override {}
    void PortOut(uint16_t, uint16_t) override { ++writes; }
    uint16_t PortIn(uint16_t) override { return 0xFF; }
    bool HasTimerPorts() const override { return false; }
    int writes = 0;
};

TEST(Timer, TheMonotonicFallbackNeverEndsEarly) {
    NoTimerPorts port;
    io::SteadyClock clock;
    io::Timer timer(port, clock);
    timer.TimerInit();
    for (uint16_t ticks : {1, 14, 119, 1193, 2387}) {
        const auto wanted = std::chrono::nanoseconds(io::TicksToNanoseconds(ticks));
        for (int run = 0; run < 200; ++run) {
            const auto start = std::chrono::steady_clock::now();
            timer.TimerDelay(ticks);
            ASSERT_GE(std::chrono::steady_clock::now() - start, wanted) << ticks << " ticks, run " << run;
        }
    }
    EXPECT_EQ(port.writes, 0) << "no timer port is touched";
}

// A bench in real time lets no wait end before its time has passed, also
// after the program sat idle (time spent idle is not owed to later waits).
TEST(Timer, ABenchInRealTimeNeverRunsAhead) {
    sim::BenchBoard b;
    b.bench.Claim(0x378);
    b.timer.TimerInit();
    b.bench.RunInRealTime(true);
    for (int wait = 0; wait < 3; ++wait) {
        if (wait == 2) std::this_thread::sleep_for(std::chrono::milliseconds(100));  // idle
        const auto start = std::chrono::steady_clock::now();
        const uint64_t virtualStart = b.bench.Now();
        for (int i = 0; i < 2; ++i) b.timer.Delay10ms();
        b.board.ReleaseBus();  // the access after a wait is where the bench catches up
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::nanoseconds(b.bench.Now() - virtualStart) -
                                                                std::chrono::milliseconds(5))
            << "wait " << wait;
    }
}

}  // namespace
}  // namespace test
