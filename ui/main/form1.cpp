#include "ui/main/form1.h"

#include <exception>

#include "core/elapsed_text.h"
#include "platform/resource_ids.h"

namespace czasomir {

namespace {

// Startup steps run under a guard: a step that fails is skipped and the next one runs.
template <class Step>
void Guarded(Step step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

const wchar_t kStart[] = L"Start";
const wchar_t kStop[] = L"Stop";

}  // namespace

Form1::Form1(tk::Platform& platform, Rejestr& registry, int saveIntervalMs, std::uint32_t idleLimitMs)
    : tk::Form(platform, L"Form1"),
      Timer2(*this, L"Timer2", saveIntervalMs, true),
      Picture1(*this, L"Picture1", {3360, 240, 615, 375}, 3, false),
      Check1(*this, L"Check1", {480, 3240, 3135, 375}, 2),
      Command1(*this, L"Command1", {840, 2160, 2415, 735}, 1),
      Timer1(*this, L"Timer1", 200, false),
      Label1(*this, L"Label1", {120, 1080, 3855, 855}, 0),
      Image1(*this, L"Image1", {840, 120, 2400, 675}, IDR_BANNER),
      TrayRetry(*this, L"TrayRetry", kTrayRetryMs, false),
      NoteTimer(*this, L"NoteTimer", kNoteFallbackMs, false),
      breaks_(idleLimitMs),
      registry_(registry),
      timeFile_(platform.AppDirectory()),
      chosen_{platform.AppDirectory()},
      idle_(idleLimitMs) {
    caption = L"Czasomir";
    clientWidth = 4080;
    clientHeight = 3720;
    minButton = true;
    maxButton = false;
    iconResource = IDI_CZASOMIR;

    Check1.caption = L"Automatycznie zacznij mierzyć czas przy uruchamianiu komputera.";
    Check1.toolTip =
        L"Zaznaczenie tej opcji spowoduje, że program uruchomi się w postaci ikonki w zasobniku systemowym i "
        L"będzie mierzyć czas od włączenia komputera.";
    Command1.setCaption(kStart);
    Label1.align = tk::Align::Center;
    Label1.hasFont = true;
    Label1.font = {L"Times New Roman", 26.25, 700, false, false, 238};
    Image1.title = L"Czasomir";
    Image1.subtitle = L"mierzy czas pracy";

    mnuPlik = tk::MenuItem(L"mnuPlik", L"&Plik", {&mnuPlikZresetuj, &mnuPlikPomijaj, &mnuPlikHistoria, &mnuPlikUstawienia, &a,
                                           &mnuPlikZamknij});
    mnuPlikZresetuj = tk::MenuItem(L"mnuPlikZresetuj", L"Zre&setuj");
    mnuPlikPomijaj = tk::MenuItem(L"mnuPlikPomijaj", L"&Pomijaj czas bezczynności");
    mnuPlikHistoria = tk::MenuItem(L"mnuPlikHistoria", L"&Historia...");
    mnuPlikUstawienia = tk::MenuItem(L"mnuPlikUstawienia", L"&Ustawienia...");
    a = tk::MenuItem(L"a", L"-");
    mnuPlikZamknij = tk::MenuItem(L"mnuPlikZamknij", L"&Zamknij");
    mnuPomoc = tk::MenuItem(L"mnuPomoc", L"Po&moc", {&mnuPomocOProgramie});
    mnuPomocOProgramie = tk::MenuItem(L"mnuPomocOProgramie", L"O Programie ...");
    addMenu(mnuPlik);
    addMenu(mnuPomoc);

    onLoad = [this] { Form_Load(); };
    onResize = [this] {
        Form_Resize();
        TellSaveFailure();
    };
    onUnload = [this](int& cancel) { Form_Unload(cancel); };
    onTaskbarCreated = [this] { Form_TaskbarCreated(); };
    onDpiChanged = [this] { RefreshTrayIcon(); };  // the tray's picture at the new scale
    Command1.onClick = [this] { Command1_Click(); };
    Check1.onClick = [this] { Check1_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
    TrayRetry.onTick = [this] { TrayRetry_Timer(); };
    Picture1.onMouseDown = [this](int button, int shift, double x, double y) {
        Picture1_MouseDown(button, shift, x, y);
    };
    mnuPlikZresetuj.onClick = [this] { mnuPlikZresetuj_Click(); };
    mnuPlikZamknij.onClick = [this] { mnuPlikZamknij_Click(); };
    mnuPlikHistoria.onClick = [this] { mnuPlikHistoria_Click(); };
    mnuPomocOProgramie.onClick = [this] { mnuPomocOProgramie_Click(); };
    mnuPlikPomijaj.onClick = [this] { mnuPlikPomijaj_Click(); };
    mnuPlikUstawienia.onClick = [this] { mnuPlikUstawienia_Click(); };
    NoteTimer.onTick = [this] { RemoveNoteIcon(); };
    onSessionChange = [this](tk::SessionChange change) { Form_SessionChange(change); };
    SetUpTray();
}

// Startup: one instance per data folder; then every step is guarded.
void Form1::Form_Load() {
    Guarded([&] { ChooseDataFolder(); });
    if (platform().AnotherInstanceRunning(chosen_.path)) {
        // No file is touched: the running copy comes forward, unless this start is the one at logon.
        if (!TrayMode()) platform().WakeOtherInstance();
        platform().EndProcess();
    }
    Guarded([&] { platform().RegisterRestart(platform().ArgumentText()); });  // back after an update

    Guarded([&] { PrepareDataFolder(); });
    Guarded([&] { timeFile_.LoadOrCreate(Counter); });
    Guarded([&] { LoadHistory(); });
    Guarded([&] { Label1.setCaption(FormatElapsed(Counter.TotalSeconds)); });
    Guarded([&] { SyncAutostartCheckBox(); });
    Guarded([&] { LoadIdleOption(); });
    Guarded([&] { LoadLimit(); });
    Guarded([&] {
        if (TrayMode()) EnterTrayMode();
    });
}

// The caption is the one record of whether counting is on.
void Form1::Command1_Click() {
    if (Command1.caption() != kStop) {
        Command1.setCaption(kStop);
        Counter.StartCounting(platform().TimeOfDaySeconds(), platform().RealTimeSeconds());
        historyBase_ = Counter.TotalSeconds;
        recentDays_.Clear();
        idle_.Restart(platform().TickCountMs(), platform().LastInputTickMs(), Counter.TotalSeconds);
        Timer1.setEnabled(true);
    } else {
        Timer1.setEnabled(false);
        Command1.setCaption(kStart);
        Counter.StopCounting();
        idle_.Stopped();
        ShowPauseState();
    }
    breaks_.Break();
    RefreshTrayIcon();
}

// A tick that overflows leaves the display (and what is saved) at the last good total.
// While counting pauses for the user's absence the counter is stopped, and the
// ticks go on to see when to take time back and when to resume.
void Form1::Timer1_Timer() {
    const double now = platform().RealTimeSeconds();
    const std::int32_t before = Counter.TotalSeconds;
    if (!idle_.paused()) Counter.Tick(idle_.CountUntil(now));
    FollowUse(now);
    CountHistory();  // after FollowUse: what it takes back is taken from the days too
    FollowLimit(true);
    FollowStretch(Counter.TotalSeconds - before, now);
    Label1.setCaption(FormatElapsed(Counter.TotalSeconds));
    ShowPauseState();  // a pause for idle begins or ends between ticks: the caption, the tray's picture and tip
}

// A failed save is tried again at the next period; czas.dat keeps its last good value.
// The history is saved first: its failure is kept for the next save, and never stops this one.
void Form1::Timer2_Timer() {
    FollowLimit(false);  // a midnight while stopped
    ShowPauseState();
    SaveHistory();
    try {
        timeFile_.SaveTotal(Counter);
    } catch (const SaveFailed&) {
        SaveFailedNow();
    }
}

// A total of zero has nothing to lose: no question.
void Form1::mnuPlikZresetuj_Click() {
    if (Counter.TotalSeconds != 0 && !ConfirmReset()) return;
    Counter.ResetCounter(platform().TimeOfDaySeconds(), platform().RealTimeSeconds());
    historyBase_ = Counter.TotalSeconds;  // the days keep what they have
    recentDays_.Clear();
    idle_.TotalReset();
    Label1.setCaption(L"00 : 00 : 00");
}

void Form1::mnuPlikZamknij_Click() {
    int cancel = 0;
    Form_Unload(cancel);
    platform().EndProcess();
}

void Form1::mnuPomocOProgramie_Click() {
    about_ = std::make_unique<Form2>(platform());
    about_->showModal(*this);
    about_.reset();
}

// Closing: save, take the icon away, end. A save that fails does not keep the
// program alive: saves replace czas.dat whole, so it still holds the last saved total.
void Form1::Form_Unload(int& /*cancel*/) {
    Guarded([&] { timeFile_.SaveTotal(Counter); });
    SaveHistory();
    Guarded([&] { RemoveTrayIcon(); });
    platform().EndProcess();
}

}  // namespace czasomir
