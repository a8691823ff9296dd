#include "PreviewController.h"

#include "Foundation/PrintableText.h"
#include "PreviewPanel.h"
#include "UIKit/UIScreen.h"
#include "host/CommandLineOutput.h"
#include "host/CommandLineReader.h"
#include "host/sdl/SDLWindowHost.h"

#include <iostream>

namespace {

// A build takes a fraction of a second; a busy machine may need far longer, and a keyboard
// process that hangs must not hang the script.
constexpr double catchUpTime = 15;

}

PreviewController::PreviewController(KeyboardPreview::Options options, bool enabled)
    : m_options(std::move(options))
    , m_enabled(enabled)
{
}

void PreviewController::attach(SDLWindowHost* window)
{
    m_window = window;
    std::string error;
    if (m_enabled && m_window && !start(error))
        std::cerr << "tessary8-app: no keyboard preview: " << error << "\n";
}

void PreviewController::toggle()
{
    if (m_preview) {
        m_preview.reset();
        if (m_window)
            m_window->setSidePanel(nullptr);
        return;
    }
    std::string error;
    if (!start(error))
        std::cerr << "tessary8-app: no keyboard preview: " << error << "\n";
}

void PreviewController::screenChanged()
{
    if (m_preview)
        showPanel();
}

bool PreviewController::start(std::string& error)
{
    m_preview = KeyboardPreview::start(m_options, [this] { showPanel(); }, error);
    if (m_preview)
        showPanel();
    return m_preview != nullptr;
}

void PreviewController::showPanel()
{
    if (!m_window || !m_preview)
        return;
    auto screen = UIScreen::mainScreen();
    m_window->setSidePanel(PreviewPanel::draw(m_preview->latest(), screen->bounds().size.height, screen->scale()));
}

std::string PreviewController::writePreview(const std::string& file, std::ostream& standardOutput)
{
    if (file.empty())
        return "error: preview needs a file name";
    if (auto problem = CommandLineReader::fileNameProblem(file))
        return "error: " + *problem;
    if (!m_enabled)
        return "error: the preview is off (--no-preview)";
    std::string error;
    if (!m_preview && !start(error))
        return "error: no keyboard preview: " + error;
    if (!m_preview->waitUntilCurrent(catchUpTime)) {
        if (auto failure = m_preview->failure())
            return "error: no keyboard preview: " + *failure;
        return "error: the preview did not catch up with the shared files in time";
    }
    const auto& build = *m_preview->latest();
    if (!build.error.empty())
        return "error: the keyboard could not be built: " + build.error;
    if (!writeCommandLineOutput(file, build.png, standardOutput))
        return "error: could not write " + file;
    // The window shows what the file got.
    showPanel();
    return "ok";
}
