// When to ask Windows again for the session's lock and disconnection
// notifications. Windows takes a window's registration only once its session
// service runs; at logon the service sets an event when it is ready. A watch
// that could not begin is asked for again later (the option switched on, the
// service's ready message) instead of being given up for the run. Decisions
// only: the backend does the asking.
#pragma once

namespace czasomir {

class SessionWatch {
public:
    bool watching() const { return state_ == State::Watching; }
    bool waiting() const { return state_ == State::Waiting; }

    // Watching is asked for. Registers unless watching already or waiting for
    // the service; when refused, waits for the service's ready event, unless
    // that event has fired already (it stays set: waiting on it again would
    // only end at once, and fail again). True when watching began now.
    template <class Register, class Wait>
    bool Ask(Register registerWindow, Wait waitForService) {
        if (state_ != State::Idle) return false;
        if (registerWindow()) {
            state_ = State::Watching;
            return true;
        }
        if (!serviceReady_ && waitForService()) state_ = State::Waiting;
        return false;
    }

    // The service's ready event fired: the wait is over, and the next Ask registers again.
    void ServiceReady() {
        serviceReady_ = true;
        if (state_ == State::Waiting) state_ = State::Idle;
    }

private:
    enum class State { Idle, Waiting, Watching } state_ = State::Idle;
    bool serviceReady_ = false;
};

// The session as Windows describes it when the watch begins (WTSSessionInfoEx,
// level 1): disconnected (WTSDisconnected, 4), and locked. Its lock flag
// (WTS_SESSIONSTATE_LOCK) is 0 from Windows 8 on and 1 on Windows 7, where the
// two flags are swapped; any other level tells nothing.
struct SessionAtStart {
    bool disconnected = false, locked = false;
};
inline SessionAtStart ReadSessionAtStart(unsigned long level, int state, long flags, bool windows8OrLater) {
    if (level != 1) return {};
    return {state == 4, flags == (windows8OrLater ? 0 : 1)};
}

}  // namespace czasomir
