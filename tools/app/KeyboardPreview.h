#pragma once

#include "UIKit/UIImage.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

// The keyboard as a newly opened application would show it now, built by a keyboard
// process of its own (`tessary8-keyboard --watch`, into which the loader injects the
// plug-ins as into any application) that rebuilds it whenever a shared file changes.
// Its report lines are read by a thread and handed to the run loop's thread, where the
// latest picture is kept.
class KeyboardPreview {
public:
    struct Options {
        std::filesystem::path keyboardProgram;
        std::filesystem::path deviceRoot;
        double scale = 2;
    };
    struct Build {
        std::vector<std::uint8_t> png;
        UIImageRef image;
        nlohmann::json files;  // the shared files' state the build started from
        std::string error;  // why the last build gave no keyboard, or empty
    };

    // Starts the keyboard process; onUpdate runs on the run loop's thread after each build.
    // Fails with a message when the process cannot be started.
    [[nodiscard]] static std::unique_ptr<KeyboardPreview> start(const Options&, std::function<void()> onUpdate, std::string& error);
    ~KeyboardPreview();
    KeyboardPreview(const KeyboardPreview&) = delete;
    KeyboardPreview& operator=(const KeyboardPreview&) = delete;

    // The latest build; nullopt until the first has come.
    [[nodiscard]] const std::optional<Build>& latest() const { return m_latest; }
    // Takes the builds reported so far (on the run loop's thread).
    void takeReports();
    // Waits up to timeout seconds until the latest build started from the shared files as they
    // are now; false on timeout or when the keyboard process has ended.
    [[nodiscard]] bool waitUntilCurrent(double timeoutSeconds);
    // Why the keyboard process ended, once it has.
    [[nodiscard]] std::optional<std::string> failure();

    // The program beside this one's executable.
    [[nodiscard]] static std::filesystem::path programBesideExecutable(const char* name);

private:
    struct Inbox {
        std::mutex lock;
        std::condition_variable arrived;
        std::deque<std::string> lines;
        bool ended = false;
    };

    KeyboardPreview(Options, std::function<void()> onUpdate);
    bool spawn(std::string& error);
    void stop();
    void readReports(int reportDescriptor, int stopDescriptor);
    void apply(const nlohmann::json& report);

    Options m_options;
    std::function<void()> m_onUpdate;
    std::filesystem::path m_folder;
    std::filesystem::path m_picture;
    pid_t m_process = -1;
    int m_inputDescriptor = -1;  // the process's standard input: it ends when this closes
    int m_stopDescriptors[2] { -1, -1 };
    std::shared_ptr<Inbox> m_inbox = std::make_shared<Inbox>();
    std::thread m_reader;
    int m_source = 0;
    std::optional<Build> m_latest;
    std::string m_endStatus;
};
