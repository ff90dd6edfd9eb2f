// The run's clock held still while the computer is in Modern Standby. Windows'
// unbiased interrupt time stops during sleep and hibernation, but a computer
// in Modern Standby (S0 low-power idle) is still "running" for it; the backend
// tells this clock when such a standby begins and ends (on a computer that
// supports it, the standby lasts while the display is off).
#pragma once

namespace czasomir {

class StandbyClock {
public:
    // A reading of the underlying clock, in seconds, less the standby time.
    double Read(double clock) const { return (inStandby_ ? since_ : clock) - standby_; }

    // The standby began (`in`) or ended at this reading of the underlying clock;
    // telling the state it is already in changes nothing.
    void Standby(bool in, double clock) {
        if (in == inStandby_) return;
        if (in)
            since_ = clock;
        else if (clock > since_)
            standby_ += clock - since_;
        inStandby_ = in;
    }

private:
    bool inStandby_ = false;
    double since_ = 0;    // the reading when the standby began
    double standby_ = 0;  // the standby time of the standbys that ended
};

}  // namespace czasomir
