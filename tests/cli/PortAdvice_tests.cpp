// SPDX-License-Identifier: GPL-3.0-or-later
// The advice of `glowdeck-cli ports` for a port it cannot open: the udev rule
// only where it would help, the group as the machine has it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <cerrno>

#include "cli/PortAdvice.h"
#include "support/TempDir.h"

using namespace glowdeck;
using glowdeck::test::TempDir;

namespace {

PortInfo Port(const char* path, bool usb, std::uint16_t vendor) {
    PortInfo port;
    port.devicePath = QString::fromLatin1(path);
    port.isUsb = usb;
    port.vendorId = vendor;
    return port;
}

const GroupAccess kNotInDialout{QStringLiteral("dialout"), true, false, false};
const GroupAccess kJoinedDialout{QStringLiteral("dialout"), true, false, true};
const GroupAccess kNoGroupAccess{QStringLiteral("root"), false, false, false};

}  // namespace

TEST(PortAdvice, NoPermissionAdvisesTheRuleOnlyWhereItIsMissingAndApplies) {
    const PortInfo adapter = Port("/dev/ttyUSB0", true, 0x067B);
    const PortInfo otherUsb = Port("/dev/ttyUSB1", true, 0x1A86);
    const PortInfo uart = Port("/dev/ttyS0", false, 0);
    const QString installRule = QStringLiteral("install Glowdeck's udev rule");
    const QString ruleInPlace = QStringLiteral("udev rule is installed");
    const QString joinDialout = QStringLiteral("sudo usermod -aG dialout $USER");
    struct Case {
        const char* what;
        PortInfo port;
        bool ruleInstalled;
        GroupAccess access;
        bool advisesRule;
        bool saysRuleIsInPlace;
        bool advisesJoining;
    };
    const Case cases[] = {
        {"adapter, rule missing", adapter, false, kNotInDialout, true, false, true},
        {"adapter, rule installed", adapter, true, kNotInDialout, false, true, true},
        {"adapter, rule installed, joined", adapter, true, kJoinedDialout, false, true, false},
        {"other vendor, rule missing", otherUsb, false, kNotInDialout, false, false, true},
        {"other vendor, rule installed", otherUsb, true, kNotInDialout, false, false, true},
        {"ttyS, rule missing", uart, false, kNotInDialout, false, false, true},
        {"ttyS, group may not use it", uart, false, kNoGroupAccess, false, false, false},
    };
    for (const Case& c : cases) {
        for (const int error : {EACCES, EPERM}) {
            const QString text = OpenProblem(error, c.port, c.ruleInstalled, c.access);
            SCOPED_TRACE(std::string(c.what) + ": " + text.toStdString());
            EXPECT_TRUE(text.startsWith(QStringLiteral("no permission to open it: ")));
            EXPECT_EQ(text.contains(installRule), c.advisesRule);
            EXPECT_EQ(text.contains(ruleInPlace), c.saysRuleIsInPlace);
            EXPECT_EQ(text.contains(joinDialout), c.advisesJoining);
        }
    }
    // Joined since the last login: logging in again is the remedy.
    EXPECT_TRUE(OpenProblem(EACCES, uart, false, kJoinedDialout)
                    .contains(QStringLiteral("log out and in again")));
    // Not a permission problem: no rule, no group.
    EXPECT_EQ(OpenProblem(EBUSY, adapter, false, kNotInDialout),
              QStringLiteral("another program holds it"));
}

TEST(PortAdvice, RuleCountsAsInstalledWhereUdevWouldApplyIt) {
    TempDir dir;
    const QString etc = dir.File("etc"), lib = dir.File("lib");
    ASSERT_TRUE(QDir().mkpath(etc) && QDir().mkpath(lib));
    const QStringList folders = {etc, lib};
    const QString name = QString::fromLatin1(kBallRuleName);
    EXPECT_FALSE(BallRuleInstalled(folders));
    dir.Write("lib/" + name, "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"067b\", TAG+=\"uaccess\"\n");
    EXPECT_TRUE(BallRuleInstalled(folders));
    // The first folder decides: a rule masked there by a link to /dev/null or
    // an empty file is not applied, whatever the later folders hold.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), etc + "/" + name));
    EXPECT_FALSE(BallRuleInstalled(folders));
    ASSERT_TRUE(QFile::remove(etc + "/" + name));
    dir.Write("etc/" + name, "");
    EXPECT_FALSE(BallRuleInstalled(folders));
    dir.Write("etc/" + name, "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"067b\", TAG+=\"uaccess\"\n");
    EXPECT_TRUE(BallRuleInstalled(folders));
}
