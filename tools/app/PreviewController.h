#pragma once

#include "KeyboardPreview.h"

#include <iosfwd>
#include <memory>
#include <string>

class SDLWindowHost;

// The live preview of the keyboard beside the phone: in a window it starts with the window
// (unless turned off) and F2 shows or hides it; its panel is drawn again after each build
// and when the screen turns. Headless, the script's first `preview FILE` starts it.
class PreviewController {
public:
    PreviewController(KeyboardPreview::Options, bool enabled);

    // Shows the preview beside the screen of this window from now on.
    void attach(SDLWindowHost*);
    void toggle();
    // The screen turned: the panel takes the window's new height.
    void screenChanged();
    // The script's `preview FILE`: once the preview has caught up with the shared files,
    // its keyboard as PNG ("-": on standardOutput). Answers `ok` or `error: …`.
    [[nodiscard]] std::string writePreview(const std::string& file, std::ostream& standardOutput);

private:
    bool start(std::string& error);
    void showPanel();

    KeyboardPreview::Options m_options;
    bool m_enabled;
    SDLWindowHost* m_window = nullptr;
    std::unique_ptr<KeyboardPreview> m_preview;
};
