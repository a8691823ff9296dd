#include "UIKit/UIKit.h"
#include "substrate/Loader.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// The loader works once per process, so each case loads in a child process that
// exits with one bit per library that ended up loaded.

using substrate::Loader;
using TestSupport::ScopedDeviceRoot;

namespace {

std::string list(const std::string& key, const std::string& value)
{
    return "<key>" + key + "</key><array><string>" + value + "</string></array>";
}

std::string filter(const std::string& entries)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>Filter</key><dict>" + entries + "</dict></dict></plist>\n";
}

const std::string uikitFilter = filter(list("Bundles", "com.apple.UIKit"));
const std::string anyMode = "<key>Mode</key><string>Any</string>";
const Loader::Process keyboardProcess { "tessary8-keyboard", { "com.apple.Foundation", "com.apple.UIKit" } };

// Puts a library (the test plug-in unless bytes are given) and its filter into the device.
void install(const ScopedDeviceRoot& root, const std::string& name, const std::optional<std::string>& filterPlist,
    const std::optional<std::string>& bytes = std::nullopt)
{
    std::string stem = std::string(Loader::libraryFolder) + "/" + name;
    if (bytes)
        TestSupport::writeFile(root.prepare(stem + ".dylib"), *bytes);
    else
        std::filesystem::copy_file(TEST_PLUGIN_PATH, root.prepare(stem + ".dylib"));
    if (filterPlist)
        TestSupport::writeFile(root.prepare(stem + ".plist"), *filterPlist);
}

[[noreturn]] void loadAndExit(const Loader::Process& process, const std::vector<std::string>& names, const char* safeMode = nullptr)
{
    if (safeMode)
        setenv("TESSARY8_SAFE_MODE", safeMode, 1);
    else
        unsetenv("TESSARY8_SAFE_MODE");
    UIKit::registerClasses();
    Loader::loadLibraries(process);
    int mask = 0;
    for (const auto& library : Loader::loadedLibraries()) {
        auto found = std::find(names.begin(), names.end(), std::filesystem::path(library.path).stem().string());
        mask |= found == names.end() ? 0x80 : 1 << (found - names.begin());
    }
    std::_Exit(mask);
}

}

TEST(LoaderDeathTest, FilterDecidesWhetherALibraryLoads)
{
    struct Case {
        const char* label;
        std::optional<std::string> filter;
        bool loads;
    };
    const Case cases[] = {
        { "bundle the process uses", uikitFilter, true },
        { "bundle it does not use", filter(list("Bundles", "com.apple.springboard")), false },
        { "no filter property list", std::nullopt, false },
        { "empty filter", filter(""), false },
        { "unreadable filter", "not a property list", false },
        { "executable name", filter(list("Executables", "tessary8-keyboard")), true },
        { "another executable", filter(list("Executables", "SpringBoard")), false },
        { "class that exists", filter(list("Classes", "UIKeyboard")), true },
        { "class that does not", filter(list("Classes", "NoSuchKeyboard")), false },
        { "every list must match", filter(list("Bundles", "com.apple.UIKit") + list("Executables", "SpringBoard")), false },
        { "mode any: one list is enough", filter(list("Bundles", "com.apple.UIKit") + list("Executables", "SpringBoard") + anyMode), true },
        { "mode any: still one is needed", filter(list("Bundles", "com.apple.springboard") + list("Executables", "SpringBoard") + anyMode),
            false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScopedDeviceRoot root;
        install(root, "Plugin", c.filter);
        EXPECT_EXIT(loadAndExit(keyboardProcess, { "Plugin" }), testing::ExitedWithCode(c.loads ? 1 : 0), "");
    }
}

TEST(LoaderDeathTest, BrokenLibraryIsReportedAndTheNextStillLoads)
{
    ScopedDeviceRoot root;
    install(root, "Alpha", uikitFilter, "not a shared object\n");  // loaded first: names go in order
    install(root, "Beta", uikitFilter);
    EXPECT_EXIT(loadAndExit(keyboardProcess, { "Alpha", "Beta" }), testing::ExitedWithCode(2),
        "tessary8-keyboard: failed to load /Library/MobileSubstrate/DynamicLibraries/Alpha\\.dylib");
}

TEST(LoaderDeathTest, NonRegularLibraryOrFilterIsSkippedWithoutBlocking)
{
    enum class Plant { FifoLibrary, FifoFilter, LinkedLibrary, FolderLibrary };
    struct Case {
        const char* label;
        Plant plant;
        const char* skipped;
    };
    const Case cases[] = {
        { "FIFO as the library", Plant::FifoLibrary, "Alpha\\.dylib" },
        { "FIFO as the filter", Plant::FifoFilter, "Alpha\\.plist" },
        { "link to a library", Plant::LinkedLibrary, "Alpha\\.dylib" },
        { "folder named as a library", Plant::FolderLibrary, "Alpha\\.dylib" },
    };
    const std::string stem = std::string(Loader::libraryFolder) + "/Alpha";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ScopedDeviceRoot root;
        install(root, "Beta", uikitFilter);
        switch (c.plant) {
        case Plant::FifoLibrary:
            ASSERT_EQ(mkfifo(root.prepare(stem + ".dylib").c_str(), 0600), 0);
            TestSupport::writeFile(root.prepare(stem + ".plist"), uikitFilter);
            break;
        case Plant::FifoFilter:
            install(root, "Alpha", std::nullopt);
            ASSERT_EQ(mkfifo(root.prepare(stem + ".plist").c_str(), 0600), 0);
            break;
        case Plant::LinkedLibrary:
            std::filesystem::create_symlink(TEST_PLUGIN_PATH, root.prepare(stem + ".dylib"));
            TestSupport::writeFile(root.prepare(stem + ".plist"), uikitFilter);
            break;
        case Plant::FolderLibrary:
            std::filesystem::create_directories(root.prepare(stem + ".dylib"));
            TestSupport::writeFile(root.prepare(stem + ".plist"), uikitFilter);
            break;
        }
        // A loader that blocks on the planted file is ended by the alarm and fails the exit code.
        EXPECT_EXIT(
            {
                alarm(20);
                loadAndExit(keyboardProcess, { "Alpha", "Beta" });
            },
            testing::ExitedWithCode(2), std::string("skipped /Library/MobileSubstrate/DynamicLibraries/") + c.skipped + ": not a regular file");
    }
}

TEST(LoaderDeathTest, SafeModeLoadsNothing)
{
    ScopedDeviceRoot root;
    install(root, "Plugin", uikitFilter);
    EXPECT_EXIT(loadAndExit(keyboardProcess, { "Plugin" }, "1"), testing::ExitedWithCode(0), "safe mode");
    EXPECT_EXIT(loadAndExit(keyboardProcess, { "Plugin" }, "0"), testing::ExitedWithCode(1), "");
}

TEST(LoaderDeathTest, LoadsOnceAndFindsTheLibrarysSymbols)
{
    ScopedDeviceRoot root;
    install(root, "Plugin", uikitFilter);
    // 42 comes from the plug-in's initialiser; anything added shows what went wrong.
    EXPECT_EXIT(
        {
            unsetenv("TESSARY8_SAFE_MODE");
            Loader::loadLibraries(keyboardProcess);
            install(root, "Later", uikitFilter);
            Loader::loadLibraries(keyboardProcess);
            auto* value = static_cast<int*>(Loader::findSymbol("tessary8TestPluginValue"));
            std::_Exit((value ? *value : 0) + (Loader::findSymbol("tessary8NoSuchSymbol") ? 100 : 0)
                + (Loader::loadedLibraries().size() == 1 ? 0 : 50));
        },
        testing::ExitedWithCode(42), "");
}
