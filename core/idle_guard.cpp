#include "core/idle_guard.h"

#include <algorithm>
#include <utility>
#include <limits>

namespace czasomir {

std::uint32_t IdleMilliseconds(std::uint32_t tickNow, std::uint32_t lastInputTick) {
    const std::uint32_t idle = tickNow - lastInputTick;
    return idle >= 0x80000000u ? 0 : idle;
}

void IdleGuard::Restart(std::uint32_t tickNow, std::uint32_t lastInputTick, std::int32_t total) {
    sinceRestart_ = true;
    restartTick_ = tickNow;
    seenInput_ = lastInputTick;
    totalAtInput_ = total;
}

void IdleGuard::SessionChanged(SessionEvent event, double realTime, std::uint32_t lastInputTick) {
    const bool wasAway = away();
    switch (event) {
    case SessionEvent::Lock: locked_ = true; break;
    case SessionEvent::Unlock: locked_ = false; break;
    case SessionEvent::Disconnect: disconnected_ = true; break;
    case SessionEvent::Connect: disconnected_ = false; break;
    }
    if (away() && !wasAway) awaySince_ = realTime;
    if (!away()) resumeAfter_ = lastInputTick;
}

double IdleGuard::CountUntil(double realTime) const {
    return on && away() && awaySince_ < realTime ? awaySince_ : realTime;
}

// What was counted since the input, never less than nothing: a reset since, a
// lock or a sleep counted nothing that could be taken twice. Once taken, the
// total the next tick sees is lower by as much: nothing is taken twice.
std::int32_t IdleGuard::TakeBack(std::int32_t total) const {
    const std::int64_t counted = std::int64_t{total} - totalAtInput_;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(counted, 0, std::numeric_limits<std::int32_t>::max()));
}

IdleGuard::Step IdleGuard::Tick(std::uint32_t tickNow, std::uint32_t lastInputTick, std::int32_t total) {
    Step step;
    if (lastInputTick != seenInput_) {  // input since the last tick
        const std::uint32_t absent = IdleMilliseconds(lastInputTick, sinceRestart_ ? restartTick_ : seenInput_);
        if (on && absent >= limit_) step.takeBack = TakeBack(total);
        step.input = true;
        seenInput_ = lastInputTick;
        sinceRestart_ = false;
        totalAtInput_ = total - step.takeBack;
    }
    if (!on) {
        step.resume = std::exchange(paused_, false);
        return step;
    }
    const std::uint32_t idle = sinceRestart_ ? tickNow - restartTick_ : IdleMilliseconds(tickNow, lastInputTick);
    const bool idleOut = idle >= limit_;
    if (idleOut) step.takeBack += TakeBack(total - step.takeBack);
    if (!paused_ && (idleOut || away())) {
        paused_ = step.pause = true;
        resumeAfter_ = lastInputTick;
    } else if (paused_ && !idleOut && !away() && lastInputTick != resumeAfter_) {
        paused_ = false;
        step.resume = true;
    }
    return step;
}

}  // namespace czasomir
