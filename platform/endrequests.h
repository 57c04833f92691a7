#pragma once
#include <functional>
#include <memory>

class QObject;

namespace quintelle::platform {

// Requests from outside to end the program: SIGTERM (what a session manager,
// systemd or `kill` sends), SIGINT (Ctrl+C in a terminal), SIGHUP (the
// terminal went away) and the session manager's request to save before a
// logout. A player loses nothing to any of them: each is answered by the
// program's own way of ending, as if the player had closed the window.
//
// The signal handler only writes to a pipe; the answer runs from the event
// loop on the thread that created this, never inside the handler.
class EndRequests {
  public:
    // From here on the three signals no longer end the process at once
    // (those it was started with ignored stay ignored); a request that
    // arrives before answerWith() waits for it.
    EndRequests();
    // The signals end the process at once again.
    ~EndRequests();
    EndRequests(const EndRequests&) = delete;
    EndRequests& operator=(const EndRequests&) = delete;

    // Calls `end` for every request from now on, and at the event loop's
    // next turn for those that came before. A signal's request waits for the
    // event loop; the session manager's is answered before it is told the
    // program has saved.
    void answerWith(std::function<void()> end);

  private:
    std::unique_ptr<QObject> listener_;
};

}  // namespace quintelle::platform
