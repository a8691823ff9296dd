#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What every platform process does as it starts: name itself for the log, pick
// its device root, load the frameworks' classes, then let the loader inject the
// plug-ins whose filters match.
class PlatformProcess {
public:
    struct Options {
        std::string name;
        std::filesystem::path deviceRoot;  // empty: the default root
        std::vector<std::string> bundles { "com.apple.Foundation", "com.apple.UIKit" };
    };
    static void start(const Options&);
};
