#include "Device.h"
#include "ThemeTransfer.h"

#include "Foundation/DeviceRoot.h"
#include "Foundation/PrintableText.h"
#include "host/PlatformProcess.h"

#include "../ProgramGuard.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <iostream>

namespace {

std::optional<bool> onOff(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    return text == "on";
}

}

static int run(int argc, char** argv)
{
    CLI::App app { "Prepares and inspects a simulated Tessary8 device (a device root folder)." };
    app.require_subcommand(1);
    // --root may come before or after the subcommand.
    app.fallthrough();
    std::string root;
    app.add_option("--root", root, "Device root folder (default: $TESSARY8_ROOT, else $XDG_DATA_HOME/tessary8/device)");

    std::string library = TESSARY8_PLUGIN_BUILD_PATH;
    auto* init = app.add_subcommand("init", "Install the plug-in with its filter and create the device's folders (safe to repeat)");
    init->add_option("--library", library, "The built plug-in library to install")->capture_default_str();

    auto* status = app.add_subcommand("status", "Say what is installed and what the Settings and Background image files hold");
    status->add_option("--library", library, "The built plug-in library to compare the installed one with")->capture_default_str();

    auto* set = app.add_subcommand("set", "Change the shared files as the application does");
    std::vector<double> color;
    std::string colorSwitch, imageSwitch, image;
    set->add_option("--color", color, "Save a colour: R,G,B,A, each 0..1")->delimiter(',')->expected(4);
    set->add_option("--color-switch", colorSwitch, "on or off")->check(CLI::IsMember({ "on", "off" }));
    set->add_option("--image-switch", imageSwitch, "on or off")->check(CLI::IsMember({ "on", "off" }));
    set->add_option("--image", image, "Store this picture (PNG, JPEG or HEIC) as the keyboard background, as PNG")->check(CLI::ExistingFile);

    auto* photos = app.add_subcommand("photos", "List the device's photo library, oldest first (or add to it)");
    photos->require_subcommand(0, 1);
    auto* addPhotos = photos->add_subcommand("add", "Copy pictures into the photo library as a camera would: IMG_0001.JPG and on");
    std::vector<std::string> photoFiles;
    addPhotos->add_option("FILE", photoFiles, "PNG, JPEG or HEIC files")->required()->check(CLI::ExistingFile);

    auto* exportLook = app.add_subcommand("export", "Write the current look (the colour and switch keys of the Settings file, and the picture) as one theme file");
    std::string exportFile;
    exportLook->add_option("FILE", exportFile, "The theme file to write (an XML property list), replaced atomically; - for standard output")->required();
    exportLook->footer("A device with no Settings file and no picture exports an empty look: both switches off, no colour, no picture.");

    auto* importLook = app.add_subcommand("import", "Apply a theme file written by export: the picture first, then the Settings keys");
    std::string importFile;
    importLook->add_option("FILE", importFile, "The theme file to read (at most 8 MiB; - reads standard input)")->required();
    importLook->footer("Everything is checked before anything is written; a refused theme changes nothing. A switch the theme says is off "
                       "loses its key; Settings keys the theme does not carry stay, and a theme without a picture leaves the device's picture alone.");

    CLI11_PARSE(app, argc, argv);
    // No plug-ins are injected into this tool: it is the installer, not an application.
    PlatformProcess::start({ "tessary8-device", root, {} });

    std::optional<std::string> error;
    if (init->parsed()) {
        error = Device::install(library);
        if (!error)
            std::cout << "device ready at " << DeviceRoot::current().string() << "\n";
    } else if (addPhotos->parsed()) {
        error = Device::addPhotos({ photoFiles.begin(), photoFiles.end() }, std::cout);
    } else if (photos->parsed()) {
        std::cout << Device::describePhotos();
    } else if (exportLook->parsed()) {
        error = ThemeTransfer::exportTheme(exportFile, std::cout);
    } else if (importLook->parsed()) {
        error = ThemeTransfer::importTheme(importFile);
    } else if (set->parsed()) {
        Device::SettingsChange change;
        if (!color.empty()) {
            std::array<float, 4> components {};
            for (size_t i = 0; i < 4; ++i) {
                if (!std::isfinite(color[i]) || color[i] < 0 || color[i] > 1) {
                    std::cerr << "tessary8-device: --color components must lie in 0..1\n";
                    return 2;
                }
                components[i] = static_cast<float>(color[i]);
            }
            change.color = components;
        }
        change.colorSwitch = onOff(colorSwitch);
        change.imageSwitch = onOff(imageSwitch);
        if (!image.empty())
            change.image = image;
        if (!change.color && !change.colorSwitch && !change.imageSwitch && !change.image) {
            std::cerr << "tessary8-device: set: nothing to change (give --color, --color-switch, --image-switch or --image)\n";
            return 1;
        }
        error = Device::apply(change);
    } else {
        std::cout << Device::status(library);
    }
    if (error) {
        std::cerr << "tessary8-device: " << Foundation::printableText(*error) << "\n";
        return 1;
    }
    return 0;
}

int main(int argc, char** argv)
{
    return runGuarded("tessary8-device", [&] { return run(argc, argv); });
}
