#pragma once
// Where a top-level X window is, as the server last said or the program
// last asked. The window manager has the last word: it may move, resize,
// refuse or ignore any request, so the program never waits for an answer;
// it takes every report that is not older than its own last request.

#include <windows.h>

#include <X11/Xlib.h>

#include <chrono>
#include <optional>

namespace platform {

class X11Placement {
public:
    using Clock = std::chrono::steady_clock;
    // How long a report skipped for a pending request waits for the
    // manager's answer before the program asks the server itself.
    static constexpr std::chrono::milliseconds kAnswerWait{400};

    // `place`: the X window's position on the root window (left, top) and
    // its size (right, bottom).
    explicit X11Placement(const RECT& place) : place_(place) {}

    const RECT& Place() const { return place_; }

    // Asks the server to put the window at `place`, unless it is there
    // already; true when a request went out.
    bool Request(Display* display, ::Window window, const RECT& place);

    // The place a ConfigureNotify reports on the root window (a reparenting
    // manager's real events are relative to its frame; its synthetic ones
    // are on the root window), which becomes the known place. Nullopt when
    // the event was made before the server saw the last request: the answer
    // to that request (a real event, or a synthetic one when the manager
    // refuses) is still to come. Should none come, the skipped report may
    // have been the last word on the window's place: QueryDue says when to
    // ask the server.
    std::optional<RECT> Report(Display* display, const XConfigureEvent& event,
                               Clock::time_point now);

    // When a report was skipped and no answer has followed yet: the time
    // from which Query should run.
    std::optional<Clock::time_point> QueryDue() const { return queryDue_; }

    // Asks the server where the window is and takes that as the known
    // place; reports older than the question are skipped from then on, as
    // it supersedes them. Nullopt when the place is the known one.
    std::optional<RECT> Query(Display* display, ::Window window);

private:
    RECT place_;
    // The serial of the last request that moved the window or asked where it is.
    unsigned long lastRequest_ = 0;
    // Whether that request was a question: an older report is then out of
    // date, not awaiting an answer.
    bool lastWasQuery_ = false;
    std::optional<Clock::time_point> queryDue_;
};

} // namespace platform
