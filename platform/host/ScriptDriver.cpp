#include "host/ScriptDriver.h"

#include "Foundation/NSLog.h"
#include "Foundation/PrintableText.h"
#include "ImageIO/PNGCodec.h"
#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"
#include "host/CommandLineOutput.h"
#include "host/ScreenDescription.h"
#include "host/TouchInjector.h"

#include <cmath>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <thread>

namespace {

constexpr double largestCoordinate = 100000;
constexpr double longestWait = 3600;
constexpr int mostSteps = 1000;
constexpr int defaultSteps = 10;
constexpr double largestDistance = 10000;
constexpr double largestTurn = 3600;
// Fingers sampled a frame apart never turn half a turn; a quarter is safely less.
constexpr double largestTurnPerStep = 90;
constexpr const char* commandList = "tap, drag, pinch, rotate, button, tab, choose, cancel, orientation, wait, shot, dump, log, quit";

std::optional<CGPoint> parsePoint(const std::string& text)
{
    double x = 0, y = 0;
    char trailing = 0;
    if (std::sscanf(text.c_str(), "%lf,%lf%c", &x, &y, &trailing) != 2)
        return std::nullopt;
    if (!std::isfinite(x) || !std::isfinite(y) || std::fabs(x) > largestCoordinate || std::fabs(y) > largestCoordinate)
        return std::nullopt;
    return CGPointMake(static_cast<CGFloat>(x), static_cast<CGFloat>(y));
}

std::optional<double> parseNumber(const std::string& text, double lowest, double highest)
{
    char* stop = nullptr;
    double value = std::strtod(text.c_str(), &stop);
    if (text.empty() || *stop || !std::isfinite(value) || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::string trimmed(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}

ScriptDriver::ScriptDriver(std::istream& script, std::ostream& answers, std::shared_ptr<NSRunLoop::Waiter> windowWaiter)
    : m_script(script)
    , m_answers(answers)
    , m_windowWaiter(std::move(windowWaiter))
{
    m_logObserver = Foundation::addLogObserver([this](const std::string& message) { m_log.push_back(message); });
    if (m_windowWaiter)
        startReading();
}

void ScriptDriver::startReading()
{
    m_queue = std::make_shared<LineQueue>();
    m_queue->waiter = m_windowWaiter.get();
    // The thread may outlive the driver (blocked on a terminal at exit): it holds only the queue.
    std::thread([queue = m_queue, &script = m_script] {
        while (auto line = CommandLineReader::read(script)) {
            std::lock_guard guard(queue->lock);
            queue->lines.push_back(std::move(*line));
            if (queue->waiter)
                queue->waiter->wake();
        }
        std::lock_guard guard(queue->lock);
        queue->ended = true;
        if (queue->waiter)
            queue->waiter->wake();
    }).detach();
}

std::optional<CommandLineReader::Line> ScriptDriver::nextLine()
{
    if (!m_queue) {
        if (auto line = CommandLineReader::read(m_script))
            return line;
        m_finished = true;
        return std::nullopt;
    }
    std::lock_guard guard(m_queue->lock);
    if (!m_queue->lines.empty()) {
        auto line = std::move(m_queue->lines.front());
        m_queue->lines.pop_front();
        return line;
    }
    m_finished = m_queue->ended;
    return std::nullopt;
}

ScriptDriver::~ScriptDriver()
{
    Foundation::removeLogObserver(m_logObserver);
    if (m_queue) {
        std::lock_guard guard(m_queue->lock);
        m_queue->waiter = nullptr;
    }
}

void ScriptDriver::wake()
{
    if (m_windowWaiter)
        m_windowWaiter->wake();
}

void ScriptDriver::answer(const std::string& line)
{
    if (!line.starts_with("error:")) {
        m_answers << line << std::endl;
        return;
    }
    m_failed = true;
    // Error lines quote the script's words and file names as given.
    m_answers << Foundation::printableText(line) << std::endl;
}

void ScriptDriver::waitUntil(NSRunLoop& loop, std::optional<double> deadline)
{
    if (m_realWaitEnd) {
        if (loop.now() >= *m_realWaitEnd) {
            m_realWaitEnd.reset();
            answer("ok");
        } else {
            m_windowWaiter->waitUntil(loop, deadline ? std::min(*deadline, *m_realWaitEnd) : *m_realWaitEnd);
        }
        return;
    }
    if (m_waitRemaining > 0) {
        // Headless time passes a frame at a time, so that each frame of an animation is committed.
        double stepLength = std::min(frameInterval, m_waitRemaining);
        CAAnimationClock::shared().advance(stepLength);
        m_waitRemaining -= stepLength;
        if (m_waitRemaining <= 1e-9) {
            m_waitRemaining = 0;
            answer("ok");
        }
        return;
    }
    if (m_finished) {
        if (m_windowWaiter)
            m_windowWaiter->waitUntil(loop, deadline);
        return;
    }
    step(loop, deadline);
}

void ScriptDriver::step(NSRunLoop& loop, std::optional<double> deadline)
{
    auto line = nextLine();
    if (line) {
        if (line->tooLong) {
            answer(CommandLineReader::tooLongAnswer(*line));
        } else if (auto reply = execute(line->text)) {
            if (!reply->empty())
                answer(*reply);
        }
        // The window's events too, without waiting, before the next step.
        if (m_windowWaiter)
            m_windowWaiter->waitUntil(loop, loop.now());
        return;
    }
    if (m_windowWaiter) {
        // Nothing to do until the window or the script says something; a window stays for
        // the person at it after its script.
        if (!m_finished)
            m_windowWaiter->waitUntil(loop, deadline);
        return;
    }
    // A headless run ends with its script.
    UIApplication::sharedApplication()->terminate();
}

std::optional<std::string> ScriptDriver::execute(const std::string& rawLine)
{
    std::string line = trimmed(rawLine);
    if (line.empty() || line.front() == '#')
        return std::string();
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::string rest;
    std::getline(words >> std::ws, rest);
    rest = trimmed(rest);

    if (command == "tap") {
        auto point = parsePoint(rest);
        if (!point)
            return "error: tap takes X,Y (two numbers within ±100000), not '" + rest + "'";
        return tap(*point);
    }
    if (command == "drag" || command == "pinch" || command == "rotate")
        return gesture(command, rest);
    if (command == "choose") {
        if (rest.empty())
            return "error: choose needs a photo's file name";
        auto centre = scrollToPhotoThumbnail(rest);
        if (!centre)
            return "error: no photo picker showing a photo named '" + rest + "'";
        return tap(*centre);
    }
    if (command == "cancel" && rest.empty()) {
        if (findPhotoPickerCancel().empty())
            return "error: no photo picker is showing";
        return tap(findPhotoPickerCancel().front());
    }
    if (command == "button" || command == "tab") {
        if (rest.empty())
            return "error: " + command + " needs a title";
        return tapViewTitled(rest, command == "tab");
    }
    if (command == "orientation") {
        if (rest != "portrait" && rest != "landscape")
            return "error: orientation takes portrait or landscape";
        auto orientation = rest == "portrait" ? UIInterfaceOrientationPortrait : UIInterfaceOrientationLandscapeLeft;
        if (!rotate(orientation))
            return "error: the application does not turn to " + rest;
        if (m_afterRotation)
            m_afterRotation();
        return "ok";
    }
    if (command == "wait") {
        char* stop = nullptr;
        double seconds = std::strtod(rest.c_str(), &stop);
        if (rest.empty() || *stop || !std::isfinite(seconds) || seconds < 0 || seconds > longestWait)
            return "error: wait takes a number of seconds from 0 to 3600, not '" + rest + "'";
        if (seconds == 0)
            return "ok";
        if (m_windowWaiter)
            m_realWaitEnd = NSRunLoop::mainRunLoop().now() + seconds;
        else
            m_waitRemaining = seconds;
        return std::nullopt;
    }
    if (command == "shot") {
        if (rest.empty())
            return "error: shot needs a file name";
        if (auto problem = CommandLineReader::fileNameProblem(rest))
            return "error: " + *problem;
        auto png = screenPNG();
        if (!png)
            return "error: the screen has no picture to write";
        if (!writeCommandLineOutput(rest, *png, m_answers))
            return "error: could not write " + rest;
        return "ok";
    }
    if (command == "dump" && rest.empty())
        return describeScreen().dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    if (command == "log" && rest.empty()) {
        nlohmann::json lines = std::exchange(m_log, {});
        return lines.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
    if (command == "quit" && rest.empty()) {
        answer("ok");
        m_finished = true;
        UIApplication::sharedApplication()->terminate();
        return std::string();
    }
    if (command == "dump" || command == "log" || command == "quit" || command == "cancel")
        return "error: " + command + " takes no argument";
    if (auto added = m_addedCommands.find(command); added != m_addedCommands.end())
        return added->second(rest);
    std::string commands = commandList;
    for (const auto& [name, perform] : m_addedCommands)
        commands += ", " + name;
    return "error: unknown command '" + command + "' (commands: " + commands + ")";
}

void ScriptDriver::sendFrame(std::vector<UIFingerSample> fingers)
{
    UIApplication::sharedApplication()->enqueueTouchFrame({ std::move(fingers), CACurrentMediaTime() });
}

std::string ScriptDriver::tap(CGPoint point)
{
    sendFrame({ { 1, UITouchPhaseBegan, point } });
    sendFrame({ { 1, UITouchPhaseEnded, point } });
    return "ok";
}

std::string ScriptDriver::gesture(const std::string& command, const std::string& arguments)
{
    const std::string usage = "error: " + command + " takes "
        + (command == "drag" ? "X1,Y1 X2,Y2" : command == "pinch" ? "CX,CY FROM TO" : "CX,CY DEGREES") + " [STEPS]";
    const size_t fixedWords = command == "pinch" ? 3 : 2;
    std::istringstream parts(arguments);
    std::vector<std::string> words;
    for (std::string word; parts >> word;)
        words.push_back(word);
    if (words.size() < fixedWords || words.size() > fixedWords + 1)
        return usage;
    int steps = defaultSteps;
    if (words.size() > fixedWords) {
        auto given = parseNumber(words.back(), 1, mostSteps);
        if (!given || *given != std::floor(*given))
            return "error: " + command + " steps must be a whole number from 1 to 1000, not '" + words.back() + "'";
        steps = static_cast<int>(*given);
    }
    auto first = parsePoint(words[0]);
    if (!first)
        return usage;

    if (command == "drag") {
        auto to = parsePoint(words[1]);
        if (!to)
            return usage;
        sendFrames(TouchInjector::dragFrames(*first, *to, steps));
        return "ok";
    }
    if (command == "pinch") {
        auto from = parseNumber(words[1], 1, largestDistance);
        auto to = parseNumber(words[2], 1, largestDistance);
        if (!from || !to)
            return "error: pinch distances must be numbers of points from 1 to 10000, not '" + words[from ? 2 : 1] + "'";
        sendFrames(TouchInjector::pinchFrames(*first, static_cast<CGFloat>(*from), static_cast<CGFloat>(*to), steps));
        return "ok";
    }
    auto degrees = parseNumber(words[1], -largestTurn, largestTurn);
    if (!degrees)
        return "error: rotate takes a number of degrees from -3600 to 3600, not '" + words[1] + "'";
    if (std::fabs(*degrees) / steps > largestTurnPerStep)
        return "error: rotate turns at most 90 degrees a step: give more steps";
    sendFrames(TouchInjector::rotationFrames(*first, static_cast<CGFloat>(*degrees), steps));
    return "ok";
}

void ScriptDriver::sendFrames(const TouchInjector::Frames& frames)
{
    for (auto& frame : frames)
        sendFrame(frame);
}

std::string ScriptDriver::tapViewTitled(const std::string& title, bool tabs)
{
    auto found = findTitledViews(title, tabs ? TitledViewKind::TabBarItem : TitledViewKind::Button);
    if (found.empty())
        return "error: no visible " + std::string(tabs ? "tab" : "button") + " titled '" + title + "'";
    if (found.size() > 1)
        return "error: " + std::to_string(found.size()) + " visible " + (tabs ? "tabs" : "buttons") + " are titled '" + title + "'";
    return tap(found.front());
}

bool ScriptDriver::rotate(UIInterfaceOrientation orientation)
{
    return UIApplication::sharedApplication()->rotateInterfaceToOrientation(orientation);
}

std::optional<std::vector<std::uint8_t>> ScriptDriver::screenPNG()
{
    auto frame = UIScreen::mainScreen()->compositeFrame();
    if (!frame)
        return std::nullopt;
    return ImageIO::encodePNG(*frame);
}
