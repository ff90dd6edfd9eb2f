// The run's clock held still while the computer is in standby. Windows'
// unbiased interrupt time leaves out sleep and hibernation, but Modern Standby
// keeps the computer in its working state (S0), and the time in it is taken
// out here, from what Windows reports:
// - the suspend and resume notifications (PBT_APMSUSPEND, and
//   PBT_APMRESUMEAUTOMATIC or PBT_APMRESUMESUSPEND) mark the standby: they
//   come when the computer really enters it and when it leaves it;
// - a display that turns off is no standby: the computer runs on, and so does
//   the count (the idle option decides about an empty desk);
// - a display that turns on again ends a standby whose resume was not reported.
// Measured on the same clock, a sleep that the clock already leaves out takes
// nothing out twice.
#pragma once

namespace czasomir {

class StandbyClock {
public:
    enum class Report { Suspend, Resume, DisplayOff, DisplayOn };

    // A reading of the underlying clock, in seconds, less the standby time.
    double Read(double clock) const { return (inStandby_ ? since_ : clock) - standby_; }

    // Windows reported this at this reading of the underlying clock. A second
    // suspend, or a resume without a suspend, changes nothing.
    void Reported(Report report, double clock) {
        if (report == Report::Suspend && !inStandby_) {
            inStandby_ = true;
            since_ = clock;
        } else if ((report == Report::Resume || report == Report::DisplayOn) && inStandby_) {
            inStandby_ = false;
            if (clock > since_) standby_ += clock - since_;
        }
    }

private:
    bool inStandby_ = false;
    double since_ = 0;    // the reading when the standby began
    double standby_ = 0;  // the standby time of the standbys that ended
};

}  // namespace czasomir
