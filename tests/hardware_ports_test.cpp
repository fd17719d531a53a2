// The hardware back ends without hardware: finding the ppdev device for a
// port, and what the user is told when the port cannot be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "TempFolder.h"
#include "io/HardwarePorts.h"

namespace test {
namespace {

struct FakeSystem {
    TempFolder root;
    io::ParportPaths paths{root / "proc", root / "dev"};
    FakeSystem() {
        for (auto [name, base] : {std::pair{"parport0", "888\t1912\n"}, std::pair{"parport1", "632\t1656\n"},
                                  std::pair{"parport2", "nonsense\n"}}) {
            std::filesystem::create_directories(root.path() / "proc" / name);
            root.Write(std::string("proc/") + name + "/base-addr", base);
        }
        std::filesystem::create_directories(root.path() / "proc/default");  // not a port
        std::filesystem::create_directories(root.path() / "dev");
    }
};

TEST(Ppdev, FindsTheDeviceByItsBaseAddress) {
    FakeSystem system;
    EXPECT_EQ(io::FindParportDevice(0x378, system.paths), system.root / "dev/parport0");
    EXPECT_EQ(io::FindParportDevice(0x278, system.paths), system.root / "dev/parport1");
    EXPECT_EQ(io::FindParportDevice(0x3BC, system.paths), std::nullopt);
    EXPECT_EQ(io::FindParportDevice(0x378, {system.root / "missing", "/dev"}), std::nullopt);
}

TEST(Ppdev, ClaimSaysWhatStoodInTheWay) {
    FakeSystem system;
    io::PpdevPortIo port(system.paths);
    const std::string none = port.Claim(0x3BC);
    EXPECT_NE(none.find("no parallel port of this system is at 0x3BC"), std::string::npos) << none;
    const std::string missing = port.Claim(0x378);
    EXPECT_NE(missing.find(system.root / "dev/parport0"), std::string::npos) << missing;
    EXPECT_NE(missing.find("No such file or directory"), std::string::npos) << missing;
    system.root.Write("dev/parport1", "");  // a plain file takes no claim
    const std::string notDevice = port.Claim(0x278);
    EXPECT_NE(notDevice.find("claim"), std::string::npos) << notDevice;
    EXPECT_EQ(port.PortIn(0x279), 0xFF) << "nothing claimed, nothing read";
}

// Direct I/O with the kernel's permission call faked: which ranges are asked
// for and given back. Nothing is sent, so no real port is touched.
struct FakePermission {
    struct Call {
        unsigned long from, count;
        int on;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    std::vector<unsigned long> refused;  // ranges, by their first port, that are not granted
    io::DirectPortIo port{[this](unsigned long from, unsigned long count, int on) {
        calls.push_back({from, count, on});
        if (on && std::find(refused.begin(), refused.end(), from) != refused.end()) {
            errno = EPERM;
            return -1;
        }
        return 0;
    }};
    std::vector<Call> Take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<FakePermission::Call>;

Calls Grant(unsigned long base) { return {{base, 3, 1}, {0x42, 2, 1}, {0x61, 1, 1}}; }
Calls GiveBack(unsigned long base) { return {{base, 3, 0}, {0x42, 2, 0}, {0x61, 1, 0}}; }
Calls Then(Calls first, const Calls& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(DirectIo, ClaimingTheGrantedBaseAgainKeepsTheGrant) {
    FakePermission system;
    EXPECT_EQ(system.port.Claim(0x378), "");
    EXPECT_EQ(system.Take(), Grant(0x378));
    EXPECT_EQ(system.port.Claim(0x378), "");
    EXPECT_EQ(system.Take(), Calls{});
    system.port.Release();
    EXPECT_EQ(system.Take(), GiveBack(0x378));
    system.port.Release();
    EXPECT_EQ(system.Take(), Calls{}) << "nothing left to give back";
}

TEST(DirectIo, ClaimingAnotherBaseGivesTheOldGrantBackFirst) {
    FakePermission system;
    ASSERT_EQ(system.port.Claim(0x378), "");
    system.Take();
    EXPECT_EQ(system.port.Claim(0x278), "");
    EXPECT_EQ(system.Take(), Then(GiveBack(0x378), Grant(0x278)));
    system.port.Release();
    EXPECT_EQ(system.Take(), GiveBack(0x278)) << "the range that was granted";
}

TEST(DirectIo, ARefusedClaimLeavesNothingGranted) {
    FakePermission system;
    system.refused = {0x3BC};
    ASSERT_EQ(system.port.Claim(0x378), "");
    system.Take();
    EXPECT_EQ(system.port.Claim(0x3BC), "ioperm 0x3BC: Operation not permitted");
    EXPECT_EQ(system.Take(), Then(GiveBack(0x378), {{0x3BC, 3, 1}}));
    system.port.Release();
    EXPECT_EQ(system.Take(), Calls{});

    system.refused = {0x61};  // the timer ports: the base is given back too
    EXPECT_EQ(system.port.Claim(0x278), "ioperm of the timer ports: Operation not permitted");
    EXPECT_EQ(system.Take(), Then(Grant(0x278), {{0x278, 3, 0}, {0x42, 2, 0}}));
    system.port.Release();
    EXPECT_EQ(system.Take(), Calls{});
}

TEST(PortAccess, TheFailureTextNamesThePortTheReasonsAndTheWayOut) {
    const std::string text = io::PortAccessFailure(0x278, "ioperm 0x278: Operation not permitted",
                                                   "/dev/parport1: Permission denied");
    for (const char* part : {"0x278", "ioperm 0x278: Operation not permitted", "/dev/parport1: Permission denied",
                             "group lp", "root"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace test
