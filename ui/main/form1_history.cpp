// The per-day history: the seconds the total gains (or, taken back, loses) go
// to the local day on which they are counted, kept in historia.csv beside
// czas.dat and saved with it; Plik > Historia... shows them.
#include <algorithm>
#include <exception>
#include <limits>

#include "ui/main/form1.h"

namespace czasomir {

// The one place that says where historia.csv is kept: the folder of czas.dat.
std::wstring Form1::HistoryFolder() { return DataFolder(); }

void Form1::LoadHistory() {
    history_.emplace(HistoryFolder());
    history_->Load();
    historyBase_ = Counter.TotalSeconds;
}

void Form1::CountHistory() {
    const std::int64_t change = std::int64_t{Counter.TotalSeconds} - historyBase_;
    historyBase_ = Counter.TotalSeconds;
    if (change == 0 || !history_) return;
    const tk::LocalTime now = platform().LocalNow();
    constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
    history_->days().Count(now.day, now.timeOfDay, static_cast<std::int32_t>(std::clamp(change, -kMost, kMost)),
                           idle_.on ? &recentDays_ : nullptr);
}

// A history that cannot be saved now stays in memory and is saved whole later.
void Form1::SaveHistory() {
    try {
        if (history_) history_->Save();
    } catch (const std::exception&) {
    }
}

std::int32_t Form1::TodaySeconds() { return history_ ? history_->days().Seconds(platform().LocalNow().day) : 0; }

void Form1::mnuPlikHistoria_Click() {
    if (historyWindow_) return;
    static const DayHistory kNone;
    historyWindow_ = std::make_unique<Form3>(platform(), history_ ? history_->days() : kNone,
                                             platform().LocalNow().day, HistoryFolder());
    historyWindow_->showModal(*this);
    historyWindow_.reset();
}

}  // namespace czasomir
