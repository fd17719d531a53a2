// The hardware back ends without hardware: finding the ppdev device for a
// port, and what the user is told when the port cannot be had.
#include <gtest/gtest.h>

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

TEST(PortAccess, TheFailureTextNamesThePortTheReasonsAndTheWayOut) {
    const std::string text = io::PortAccessFailure(0x278, "ioperm 0x278: Operation not permitted",
                                                   "/dev/parport1: Permission denied");
    for (const char* part : {"0x278", "ioperm 0x278: Operation not permitted", "/dev/parport1: Permission denied",
                             "group lp", "root"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace test
