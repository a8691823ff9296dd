#pragma once

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIApplication.h"
#include "host/CommandLineReader.h"

#include <deque>
#include <functional>
#include <map>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Runs a script of commands against the running application, through the same
// event path as real input: one command a line, `#` starts a comment, each answered
// with one line (`ok`, a JSON value, or `error: …`). It is the run loop's waiter in
// a headless run (each wait is the next step of the script; time passes only by
// `wait`) and stands in front of a window's waiter otherwise (where `wait` waits in
// real time while the window goes on).
//
//   tap X,Y                 one finger down and up at a screen point
//   drag X1,Y1 X2,Y2 [N]    one finger, N moves (10 by default)
//   pinch CX,CY FROM TO [N] two fingers mirrored about the point on a horizontal line, their
//                           distance going from FROM to TO points in N moves (10 by default)
//   rotate CX,CY DEGREES [N]
//                           two fingers 100 points apart turning about the point, clockwise
//                           on the screen for positive degrees, in N moves (10 by default,
//                           at most 90 degrees each)
//   button TITLE            taps the one visible button, bar button or alert button so titled
//   tab TITLE               taps that tab bar item
//   choose NAME             taps the photo picker's thumbnail of the file so named, scrolling to it
//   cancel                  taps the photo picker's "Cancel"
//   orientation portrait|landscape
//   wait SECONDS            lets that much time pass on the animation clock
//   shot FILE               the screen as PNG at its scale
//   dump                    every window as one line of JSON
//   log                     the lines logged since the last `log`, as JSON
//   quit
//
// and the commands the host program adds.
class ScriptDriver : public NSRunLoop::Waiter {
public:
    // waiter: a window's, which the driver waits through while nothing of the script is
    // due; nullptr for a headless run.
    ScriptDriver(std::istream& script, std::ostream& answers, std::shared_ptr<NSRunLoop::Waiter> windowWaiter);
    ~ScriptDriver() override;
    ScriptDriver(const ScriptDriver&) = delete;
    ScriptDriver& operator=(const ScriptDriver&) = delete;

    void waitUntil(NSRunLoop&, std::optional<double> deadline) override;
    void wake() override;

    // One command; nullopt while it is still going on (a wait).
    std::optional<std::string> execute(const std::string& line);
    [[nodiscard]] bool anyCommandFailed() const { return m_failed; }
    // What the host does once the interface has turned (a window takes the new size).
    void setAfterRotation(std::function<void()> afterRotation) { m_afterRotation = std::move(afterRotation); }
    // A command of the host program's own: perform gets the rest of the line and answers
    // `ok`, a JSON value or `error: …`.
    void addCommand(const std::string& name, std::function<std::string(const std::string& rest)> perform)
    {
        m_addedCommands[name] = std::move(perform);
    }
    [[nodiscard]] bool isFinished() const { return m_finished; }

    // The interface turned (the script's `orientation`, or a window's keys).
    static bool rotate(UIInterfaceOrientation);
    // The screen as it is now, as PNG bytes.
    [[nodiscard]] static std::optional<std::vector<std::uint8_t>> screenPNG();

    static constexpr double frameInterval = 1.0 / 60;

private:
    // Lines read by a thread of their own, so that a window goes on while the script has
    // nothing new (a person typing commands, a test speaking to the program).
    struct LineQueue {
        std::mutex lock;
        std::deque<CommandLineReader::Line> lines;
        bool ended = false;
        // Woken for each line while the driver lives. The thread never owns the window: were it
        // to hold the last reference, the window would close on that thread, after main returned.
        NSRunLoop::Waiter* waiter = nullptr;
    };

    void step(NSRunLoop&, std::optional<double> deadline);
    void startReading();
    // The next line; nullopt at the end of the script, or (in a window) while none has come.
    std::optional<CommandLineReader::Line> nextLine();
    void answer(const std::string&);
    void sendFrame(std::vector<UIFingerSample>);
    std::string tap(CGPoint);
    // drag, pinch and rotate: the arguments checked, the frames queued.
    std::string gesture(const std::string& command, const std::string& arguments);
    void sendFrames(const std::vector<std::vector<UIFingerSample>>&);
    std::string tapViewTitled(const std::string& title, bool tabs);

    std::istream& m_script;
    std::shared_ptr<LineQueue> m_queue;
    std::ostream& m_answers;
    std::shared_ptr<NSRunLoop::Waiter> m_windowWaiter;
    std::function<void()> m_afterRotation;
    std::map<std::string, std::function<std::string(const std::string&)>> m_addedCommands;
    std::vector<std::string> m_log;
    int m_logObserver = 0;
    double m_waitRemaining = 0;
    std::optional<double> m_realWaitEnd;
    bool m_failed = false;
    bool m_finished = false;
};
