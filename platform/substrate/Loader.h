#pragma once

#include <string>
#include <vector>

namespace substrate {

// The plug-in loader: at process start it loads every library in
// "/Library/MobileSubstrate/DynamicLibraries" of the device whose filter
// property list ("Name.plist" beside "Name.dylib") matches the process:
//   Filter = { Bundles = (...); Executables = (...); Classes = (...); Mode = "Any"; }
// Each list matches when one of its entries does (a bundle the process uses, its
// executable name, a class that exists); all given lists must match unless Mode
// is "Any". A library without a filter is not loaded. One that fails to load is
// reported on standard error and skipped. TESSARY8_SAFE_MODE=1 loads nothing.
class Loader {
public:
    struct Process {
        std::string executable;
        std::vector<std::string> bundles;  // e.g. "com.apple.UIKit"
    };
    struct LoadedLibrary {
        std::string path;  // the device path
        void* handle = nullptr;
    };

    static constexpr const char* libraryFolder = "/Library/MobileSubstrate/DynamicLibraries";

    // Loads the libraries once per process; later calls do nothing.
    static void loadLibraries(const Process&);
    [[nodiscard]] static std::vector<LoadedLibrary> loadedLibraries();
    // The address of an exported symbol in the first loaded library that has it.
    [[nodiscard]] static void* findSymbol(const char* name);
};

}
