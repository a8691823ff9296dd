#pragma once

#include "UIKit/UIKeyboard.h"
#include "UIKit/UIWindow.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// A platform process that shows keyboards and tells what they look like:
// shows them on command, renders them as PNG and reports their view tree.
class KeyboardHost {
public:
    struct Options {
        UIInterfaceOrientation orientation = UIInterfaceOrientationPortrait;
        std::optional<CGRect> backdropFrame;
        CGFloat scale = 2;
    };

    explicit KeyboardHost(Options);
    ~KeyboardHost();
    KeyboardHost(const KeyboardHost&) = delete;
    KeyboardHost& operator=(const KeyboardHost&) = delete;

    void show();
    [[nodiscard]] std::string report();  // one line of JSON; empties the collected log
    // "-" writes the PNG to standardOutput.
    [[nodiscard]] bool writeShot(const std::string& file, std::ostream& standardOutput);
    [[nodiscard]] bool hasKeyboard() const { return m_keyboard != nullptr; }

    // Reads commands line by line and answers each with one flushed line; ends at "quit" or the end of input.
    void run(std::istream& in, std::ostream& out);
    // One command's answer, and whether the host goes on.
    // "shot -" writes its picture to standardOutput before the answer.
    [[nodiscard]] std::pair<std::string, bool> execute(const std::string& line, std::ostream& standardOutput);

private:
    Options m_options;
    std::shared_ptr<UIKeyboard> m_keyboard;
    UIWindowRef m_window;
    std::vector<std::string> m_log;
    int m_logObserver = 0;
};
