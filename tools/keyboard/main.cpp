#include "KeyboardHost.h"
#include "KeyboardWatch.h"

#include "Foundation/PrintableText.h"
#include "host/CommandLineReader.h"
#include "host/PlatformProcess.h"

#include "../ProgramGuard.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

std::optional<CGRect> parseFrame(const std::string& text, std::string& error)
{
    double values[4];
    char trailing = 0;
    if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf%c", &values[0], &values[1], &values[2], &values[3], &trailing) != 4) {
        error = "--frame takes X,Y,W,H (four numbers separated by commas), not '" + text + "'";
        return std::nullopt;
    }
    for (double value : values) {
        if (!std::isfinite(value) || std::fabs(value) > 100000) {
            error = "--frame values must be finite numbers within ±100000";
            return std::nullopt;
        }
    }
    if (values[2] < 0 || values[3] < 0) {
        error = "--frame width and height must not be negative";
        return std::nullopt;
    }
    return CGRectMake(static_cast<CGFloat>(values[0]), static_cast<CGFloat>(values[1]), static_cast<CGFloat>(values[2]),
        static_cast<CGFloat>(values[3]));
}

}

static int run(int argc, char** argv)
{
    CLI::App app { "Shows on-screen keyboards in a platform process (so plug-ins are injected), renders them as PNG and reports "
                   "their backdrop as JSON.\nWithout --out it reads commands on standard input: show, report, shot FILE, quit." };
    std::string root;
    std::string orientation = "portrait";
    std::string frameText;
    double scale = 2;
    std::string out;
    app.add_option("--root", root, "Device root folder (default: $TESSARY8_ROOT, else $XDG_DATA_HOME/tessary8/device)");
    app.add_option("--orientation", orientation, "portrait or landscape")->check(CLI::IsMember({ "portrait", "landscape" }));
    app.add_option("--frame", frameText, "Frame X,Y,W,H the backdrop is built with, instead of (0, 0, keyboard size)");
    // A number first, so that "2abc" is called what it is rather than out of range.
    app.add_option("--scale", scale, "Pixels per point in PNGs")
        ->check(CLI::Validator(
            [](std::string& text) {
                char* stop = nullptr;
                (void)std::strtod(text.c_str(), &stop);
                return text.empty() || *stop ? "'" + text + "' is not a number" : std::string();
            },
            "NUMBER"))
        ->check(CLI::Range(0.25, 8.0));
    auto* outOption = app.add_option("--out", out, "Show one keyboard, write it to this PNG file (- for standard output), print the report (then on standard error) and exit");
    bool watch = false;
    app.add_flag("--watch", watch,
        "With --out FILE: write the keyboard to FILE, then again whenever the Settings file or the Background image file "
        "changes, each time as a newly opened application shows it; one JSON line per build");
    app.footer(KeyboardWatch::lineFormat());
    CLI11_PARSE(app, argc, argv);

    if (!std::isfinite(scale)) {
        std::cerr << "tessary8-keyboard: --scale must be a number from 0.25 to 8\n";
        return 2;
    }

    KeyboardHost::Options options;
    options.orientation = orientation == "landscape" ? UIInterfaceOrientationLandscapeLeft : UIInterfaceOrientationPortrait;
    options.scale = static_cast<CGFloat>(scale);
    if (!frameText.empty()) {
        std::string error;
        options.backdropFrame = parseFrame(frameText, error);
        if (!options.backdropFrame) {
            std::cerr << "tessary8-keyboard: " << error << "\n";
            return 2;
        }
    }

    if (outOption->count() && out.empty()) {
        std::cerr << "tessary8-keyboard: --out needs a file name\n";
        return 2;
    }
    if (auto problem = CommandLineReader::fileNameProblem(out)) {
        std::cerr << "tessary8-keyboard: --out: " << *problem << "\n";
        return 2;
    }

    if (watch) {
        if (out.empty()) {
            std::cerr << "tessary8-keyboard: --watch needs --out FILE, the picture it keeps up to date\n";
            return 2;
        }
        if (out == "-") {
            std::cerr << "tessary8-keyboard: --watch writes a file: --out - (a stream of pictures) is refused\n";
            return 2;
        }
        KeyboardWatch watcher({ out, root, options });
        if (auto problem = watcher.outProblem()) {
            std::cerr << "tessary8-keyboard: " << Foundation::printableText(*problem) << "\n";
            return 2;
        }
        return watcher.run(std::cout);
    }

    PlatformProcess::start({ "tessary8-keyboard", root });
    KeyboardHost host(options);
    if (!out.empty()) {
        host.show();
        if (!host.writeShot(out, std::cout)) {
            std::cerr << "tessary8-keyboard: could not write " << Foundation::printableText(out) << "\n";
            return 1;
        }
        // With the picture on standard output the report must not corrupt it.
        (out == "-" ? std::cerr : std::cout) << host.report() << std::endl;
        return 0;
    }
    host.run(std::cin, std::cout);
    return 0;
}

int main(int argc, char** argv)
{
    return runGuarded("tessary8-keyboard", [&] { return run(argc, argv); });
}
