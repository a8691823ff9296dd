#include "KeyboardHost.h"

#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "host/CommandLineOutput.h"
#include "Foundation/PrintableText.h"
#include "host/CommandLineReader.h"
#include "host/Snapshot.h"
#include "host/ViewTreeDescription.h"
#include "substrate/Loader.h"

#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>

KeyboardHost::KeyboardHost(Options options)
    : m_options(options)
{
    m_logObserver = Foundation::addLogObserver([this](const std::string& message) { m_log.push_back(message); });
}

KeyboardHost::~KeyboardHost()
{
    Foundation::removeLogObserver(m_logObserver);
}

void KeyboardHost::show()
{
    m_keyboard = UIKeyboard::show(m_options.orientation, m_options.backdropFrame);
    // On screen in a window of its own, as the platform's keyboard is, and committed like
    // any change a platform process makes: the turn lays it out and displays it.
    if (!m_window)
        m_window = UIWindow::initWithFrame(CGRectZero);
    for (auto& old : m_window->subviews())
        old->removeFromSuperview();
    m_window->setFrame(m_keyboard->frame());
    m_window->addSubview(m_keyboard);
    m_window->makeKeyAndVisible();
    NSRunLoop::mainRunLoop().runOnce(false);
}

std::string KeyboardHost::report()
{
    nlohmann::json answer;
    if (m_keyboard) {
        CGSize size = m_keyboard->keyboardSize();
        answer["size"] = describeNumbers({ size.width, size.height });
        answer["lightKeyboard"] = m_keyboard->isLightKeyboard();
    } else {
        answer["size"] = nullptr;
        answer["lightKeyboard"] = nullptr;
    }
    auto* globalSwitch = static_cast<const bool*>(substrate::Loader::findSymbol("GlobalisSwitch"));
    answer["GlobalisSwitch"] = globalSwitch ? nlohmann::json(*globalSwitch) : nlohmann::json(nullptr);
    answer["log"] = m_log;
    m_log.clear();
    answer["backdrop"] = m_keyboard && m_keyboard->backdrop() ? describeViewTree(*m_keyboard->backdrop()) : nlohmann::json(nullptr);
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool KeyboardHost::writeShot(const std::string& file, std::ostream& standardOutput)
{
    return m_keyboard && writeCommandLineOutput(file, viewSnapshotPNG(*m_keyboard, m_options.scale), standardOutput);
}

std::pair<std::string, bool> KeyboardHost::execute(const std::string& line, std::ostream& standardOutput)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string rest;
    std::getline(words >> std::ws, rest);

    if (command == "show" && rest.empty()) {
        show();
        return { "ok", true };
    }
    if (command == "report" && rest.empty())
        return { report(), true };
    if (command == "shot") {
        if (rest.empty())
            return { "error: shot needs a file name", true };
        if (auto problem = CommandLineReader::fileNameProblem(rest))
            return { "error: " + *problem, true };
        if (!m_keyboard)
            return { "error: no keyboard is shown yet; send show first", true };
        if (!writeShot(rest, standardOutput))
            return { "error: could not write " + rest, true };
        return { "ok", true };
    }
    if (command == "quit" && rest.empty())
        return { "ok", false };
    if (command == "show" || command == "report" || command == "quit")
        return { "error: " + command + " takes no argument", true };
    if (command.empty())
        return { "error: empty command (commands: show, report, shot FILE, quit)", true };
    return { "error: unknown command '" + command + "' (commands: show, report, shot FILE, quit)", true };
}

void KeyboardHost::run(std::istream& in, std::ostream& out)
{
    while (auto line = CommandLineReader::read(in)) {
        if (line->tooLong) {
            out << CommandLineReader::tooLongAnswer(*line) << std::endl;
            continue;
        }
        if (!line->text.empty() && line->text.back() == '\r')
            line->text.pop_back();
        auto [answer, goOn] = execute(line->text, out);
        // Error lines quote the command and file names as given.
        out << (answer.starts_with("error:") ? Foundation::printableText(answer) : answer) << std::endl;
        if (!goOn)
            return;
    }
}
