#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class DeviceProgram : public ::testing::Test {
protected:
    TestSupport::CommandResult device(const std::string& arguments)
    {
        auto program = TestSupport::binaryDirectory() / "bin" / "tessary8-device";
        return TestSupport::runCommand(TestSupport::shellQuote(program.string()) + " --root " + TestSupport::shellQuote(m_root.path().string()) + " "
            + arguments + " 2>&1");
    }
    std::shared_ptr<NSDictionary> settings() { return TestSupport::readSettings(m_root.path()); }

    TestSupport::TemporaryDirectory m_root;
};

TEST_F(DeviceProgram, InitInstallsThePlugInWithItsFilterAndIsSafeToRepeat)
{
    for (int run = 0; run < 2; ++run) {
        auto result = device("init");
        ASSERT_EQ(result.exitCode, 0) << result.output;
    }
    auto root = m_root.path();
    EXPECT_TRUE(std::filesystem::is_regular_file(root / "Library/MobileSubstrate/DynamicLibraries/Tessary8.dylib"));
    EXPECT_TRUE(std::filesystem::is_directory(root / std::filesystem::path(SharedFiles::backgroundImageFolder).relative_path()));
    EXPECT_TRUE(std::filesystem::is_directory(root / "var/mobile/Media/DCIM"));
    auto filter = TestSupport::readFile(root / "Library/MobileSubstrate/DynamicLibraries/Tessary8.plist");
    EXPECT_NE(filter.find("<string>com.apple.UIKit</string>"), std::string::npos);
    EXPECT_NE(device("status").output.find("Tessary8.dylib: installed\n"), std::string::npos);
    // The root may also follow the subcommand.
    auto program = TestSupport::binaryDirectory() / "bin" / "tessary8-device";
    auto after = TestSupport::runCommand(TestSupport::shellQuote(program.string()) + " status --root " + TestSupport::shellQuote(root.string()) + " 2>&1");
    EXPECT_EQ(after.exitCode, 0) << after.output;
    EXPECT_NE(after.output.find("Tessary8.dylib: installed\n"), std::string::npos) << after.output;

    // A copy from another build would crash every application that loads it: status says so.
    TestSupport::writeFile(root / "Library/MobileSubstrate/DynamicLibraries/Tessary8.dylib", "an older build");
    EXPECT_NE(device("status").output.find("not the one just built"), std::string::npos);
}

TEST_F(DeviceProgram, SetFollowsTheApplicationsWriters)
{
    ASSERT_EQ(device("init").exitCode, 0);
    // A switch never creates the Settings file.
    auto refused = device("set --color-switch on");
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.output.find("save a colour first"), std::string::npos);
    EXPECT_FALSE(settings());

    ASSERT_EQ(device("set --color 0,0.54901963,1,1").exitCode, 0);
    auto saved = settings();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(), 4u);
    EXPECT_EQ(saved->objectForKey(SharedFiles::greenKey)->floatValue(), 140.0f / 255);

    ASSERT_EQ(device("set --color-switch on --image-switch on").exitCode, 0);
    ASSERT_EQ(device("set --color 1,1,1,0.5").exitCode, 0);
    saved = settings();
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->objectForKey(SharedFiles::colorSwitchKey));
    EXPECT_TRUE(saved->objectForKey(SharedFiles::imageSwitchKey));
    EXPECT_EQ(saved->objectForKey(SharedFiles::alphaKey)->floatValue(), 0.5f);

    ASSERT_EQ(device("set --color-switch off").exitCode, 0);
    EXPECT_FALSE(settings()->objectForKey(SharedFiles::colorSwitchKey));
    EXPECT_TRUE(settings()->objectForKey(SharedFiles::imageSwitchKey));
}

TEST_F(DeviceProgram, ColourAndSwitchOnAFreshDeviceAreOneWrite)
{
    ASSERT_EQ(device("init").exitCode, 0);
    auto result = device("set --color 0,0,1,1 --color-switch on");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    auto saved = settings();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(), 5u);
    EXPECT_TRUE(saved->objectForKey(SharedFiles::colorSwitchKey));
}

TEST_F(DeviceProgram, RacingSetsLoseNoSwitchChange)
{
    ASSERT_EQ(device("init").exitCode, 0);
    ASSERT_EQ(device("set --color 0,0,1,1").exitCode, 0);
    auto program = TestSupport::shellQuote((TestSupport::binaryDirectory() / "bin" / "tessary8-device").string()) + " --root " + TestSupport::shellQuote(m_root.path().string());
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        bool on = round % 2 == 0;
        std::string value = on ? "on" : "off";
        // Each process changes one switch; without a shared lock one read-modify-write undoes the other.
        std::string commands;
        for (int pair = 0; pair < 4; ++pair)
            commands += program + " set --color-switch " + value + " & " + program + " set --image-switch " + value + " & ";
        auto result = TestSupport::runCommand(commands + "wait");
        ASSERT_EQ(result.exitCode, 0) << result.output;
        auto saved = settings();
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->objectForKey(SharedFiles::colorSwitchKey) != nullptr, on);
        EXPECT_EQ(saved->objectForKey(SharedFiles::imageSwitchKey) != nullptr, on);
    }
}

TEST_F(DeviceProgram, SetRefusesBadValuesAndKeepsAnUnreadableSettingsFile)
{
    ASSERT_EQ(device("init").exitCode, 0);
    for (const char* arguments : { "set --color 2,0,0,1", "set --color 0,0,1", "set --color-switch maybe", "set --image /nonexistent.png" }) {
        SCOPED_TRACE(arguments);
        auto result = device(arguments);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_FALSE(result.output.empty());
    }
    auto garbage = m_root.path() / "garbage.png";
    TestSupport::writeFile(garbage, "not an image");
    EXPECT_NE(device("set --image " + TestSupport::shellQuote(garbage.string())).output.find("is not a picture that decodes"), std::string::npos);

    auto settingsFile = m_root.path() / std::filesystem::path(SharedFiles::settingsPath).relative_path();
    TestSupport::writeFile(settingsFile, "<plist>broken");
    EXPECT_NE(device("set --color 0,0,0,1").exitCode, 0);
    EXPECT_EQ(TestSupport::readFile(settingsFile), "<plist>broken");
}

TEST_F(DeviceProgram, FailuresNameTheirRealCause)
{
    // Tests run as root, where permissions deny nothing: a file where a folder belongs
    // (or the reverse) makes the system refuse with its own reason just the same.
    const auto root = m_root.path();
    const auto hostPath = [&](const char* devicePath) { return root / std::filesystem::path(devicePath).relative_path(); };
    const char* pluginPath = "/Library/MobileSubstrate/DynamicLibraries/Tessary8.dylib";
    const auto notElf = root / "notelf.so";
    TestSupport::writeFile(notElf, "#!/bin/sh\n");
    enum class Plant { Nothing, PreferencesIsAFile, SettingsIsAFolder, PlugInIsAFolder, LockIsAFifo, LockIsAFolder };
    struct Case {
        const char* label;
        Plant plant;
        std::string arguments;
        int exitCode;
        std::string says;
    };
    const Case cases[] = {
        { "switch when the Settings file cannot be reached", Plant::PreferencesIsAFile, "set --color-switch on", 1,
            "cannot use the Settings file (unreadable: Not a directory)" },
        { "colour when the Settings file is a folder", Plant::SettingsIsAFolder, "set --color 0,0,0,1", 1,
            "cannot use the Settings file (unreadable: not a regular file)" },
        { "colour when its folder is a file", Plant::PreferencesIsAFile, "set --color 0,0,0,1", 1, ": Not a directory" },
        { "status of an unreachable Settings file", Plant::PreferencesIsAFile, "status", 0, "unreadable: Not a directory (reads as if empty)" },
        { "status of a broken Settings file", Plant::Nothing, "status", 0, "does not parse (reads as if empty)" },
        { "status of a plug-in that is a folder", Plant::PlugInIsAFolder, "status", 0, "Tessary8.dylib: unreadable: not a regular file" },
        { "nothing to change", Plant::Nothing, "set", 1, "set: nothing to change" },
        { "switch when the writers' lock is a FIFO", Plant::LockIsAFifo, "set --color-switch on", 1,
            "cannot take the writers' lock " + hostPath(SharedFiles::settingsLockPath).string() + ": not a regular file" },
        { "colour when the writers' lock is a folder", Plant::LockIsAFolder, "set --color 0,0,0,1", 1, "cannot take the writers' lock" },
        { "library without an ELF header", Plant::Nothing, "init --library " + TestSupport::shellQuote(notElf.string()), 1,
            "is not a shared library (no ELF header)" },
        { "library that is missing", Plant::Nothing, "init --library /nonexistent/Tessary8.so", 1, "is missing (build it first" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(hostPath("/var"));
        std::filesystem::remove_all(hostPath(pluginPath));
        ASSERT_EQ(device("init").exitCode, 0);
        switch (c.plant) {
        case Plant::Nothing:
            TestSupport::writeFile(hostPath(SharedFiles::settingsPath), "<plist>broken");
            break;
        case Plant::PreferencesIsAFile:
            std::filesystem::remove_all(hostPath(SharedFiles::settingsPath).parent_path());
            TestSupport::writeFile(hostPath(SharedFiles::settingsPath).parent_path(), "a file");
            break;
        case Plant::SettingsIsAFolder:
            std::filesystem::create_directories(hostPath(SharedFiles::settingsPath));
            break;
        case Plant::PlugInIsAFolder:
            std::filesystem::remove(hostPath(pluginPath));
            std::filesystem::create_directories(hostPath(pluginPath));
            break;
        case Plant::LockIsAFifo:
            ASSERT_EQ(device("set --color 0,0,0,1").exitCode, 0);
            std::filesystem::remove(hostPath(SharedFiles::settingsLockPath));
            ASSERT_EQ(::mkfifo(hostPath(SharedFiles::settingsLockPath).c_str(), 0600), 0);
            break;
        case Plant::LockIsAFolder:
            std::filesystem::create_directories(hostPath(SharedFiles::settingsLockPath));
            break;
        }
        auto result = device(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
    }
}

TEST_F(DeviceProgram, StatusEscapesControlCharactersFromTheSettingsFile)
{
    ASSERT_EQ(device("init").exitCode, 0);
    DeviceRoot::set(m_root.path());
    NSMutableDictionary hostile({ { "x\x1b]0;owned\x07", PropertyListValue("\x1b[2J") } });
    bool written = hostile.writeToFile(SharedFiles::settingsPath, true);
    DeviceRoot::set({});
    ASSERT_TRUE(written);
    auto result = device("status");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.find('\x1b'), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("other key \"x\\x1B]0;owned\\x07\": \"\\x1B[2J\""), std::string::npos) << result.output;
}

}
