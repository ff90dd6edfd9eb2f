#include "tests/support/headless.h"

#include <algorithm>
#include <cmath>

namespace tk {

void HeadlessPlatform::Deliver(const std::function<void()>& event) {
    if (ended) return;
    try {
        Dispatch(event);
    } catch (const ProcessEnded&) {
        ended = true;
    }
}

namespace {

std::wstring PathText(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    // Through UTF-32, which does not depend on the C library's locale.
    const std::u32string text = path.u32string();
    return std::wstring(text.begin(), text.end());
#endif
}

}  // namespace

std::wstring HeadlessPlatform::AppDirectory() { return PathText(appDirectory); }

void HeadlessPlatform::EndProcess() {
    ended = true;
    throw ProcessEnded{};
}

double HeadlessPlatform::TimeOfDaySeconds() {
    double t = std::fmod(now + wallClockShift, 86400.0);
    return t < 0 ? t + 86400.0 : t;
}

void HeadlessPlatform::Advance(double seconds) {
    const double target = now + seconds;
    while (!ended) {
        Timer* next = nullptr;
        for (auto& [timer, due] : due_) {
            if (due <= target && (!next || due < due_[next] || (due == due_[next] && timer->id() < next->id())))
                next = timer;
        }
        if (!next) break;
        now = due_[next];
        due_[next] += next->interval() / 1000.0;
        Deliver([next] { next->raiseTick(); });
    }
    if (!ended) now = target;
}

void HeadlessPlatform::Sleep(double seconds, bool wokenByKey) {
    if (ended) return;
    now += seconds;
    asleep_ += seconds;
    if (wokenByKey) Input();
    for (auto& [timer, due] : due_) due = std::max(due, now);
    Advance(0);
}

void HeadlessPlatform::Schedule(Timer& timer) {
    if (timer.enabled() && timer.form().created())
        due_[&timer] = now + timer.interval() / 1000.0;
    else
        due_.erase(&timer);
}

bool HeadlessPlatform::Enabled(const Form& form) const {
    auto it = windows_.find(&form);
    return it != windows_.end() && it->second.enabled;
}

bool HeadlessPlatform::Accepts(const Form& form) const { return !ended && form.created() && Enabled(form); }

void HeadlessPlatform::Click(CommandButton& button) {
    if (Accepts(button.form())) Deliver([&] { button.raiseClick(); });
}

void HeadlessPlatform::Click(CheckBox& box) {
    if (Accepts(box.form())) Deliver([&] { box.userClicked(box.value() == 0 ? 1 : 0); });
}

void HeadlessPlatform::Click(Label& label) {
    if (Accepts(label.form())) Deliver([&] { label.raiseClick(); });
}

void HeadlessPlatform::Choose(MenuItem& item, Form& form) {
    if (Accepts(form) && !item.separator()) Deliver(item.onClick);
}

void HeadlessPlatform::Close(Form& form) {
    if (!Accepts(form)) return;
    Deliver([&] {
        if (form.raiseUnload()) form.unload();
    });
}

void HeadlessPlatform::Minimize(Form& form) {
    if (Accepts(form) && IsVisible(form)) Deliver([&] { SetWindowState(form, kMinimized); });
}

void HeadlessPlatform::Restore(Form& form) {
    if (Accepts(form) && IsVisible(form)) Deliver([&] { SetWindowState(form, kNormal); });
}

void HeadlessPlatform::MouseDown(PictureBox& box, int button, int shift, int xPixels, int yPixels) {
    // Shell notifications reach the window whether or not its form takes input.
    if (ended || !box.form().created()) return;
    Deliver([&] { box.raiseMouseDown(button, shift, xPixels * twipsPerPixel, yPixels * twipsPerPixel); });
}

void HeadlessPlatform::DpiChanged(Form& form, double newTwipsPerPixel) {
    twipsPerPixel = newTwipsPerPixel;
    if (!ended && form.created()) Deliver([&] { form.raiseDpiChanged(); });
}

void HeadlessPlatform::TaskbarCreated(Form& form) {
    if (!ended && form.created()) Deliver([&] { form.raiseTaskbarCreated(); });
}

void HeadlessPlatform::AnotherStart(Form& form) {
    if (!ended && form.created()) Deliver([&] { form.raiseAnotherStart(); });
}

bool HeadlessPlatform::PopupMenu(Form& owner, MenuItem& menu) {
    Activate(owner);
    std::wstring shown;
    for (const MenuItem* item : menu.items) shown += (shown.empty() ? L"" : L"|") + item->caption + (item->isDefault ? L"*" : L"");
    popups.push_back(shown);
    if (popupChoice < 0 || popupChoice >= static_cast<int>(menu.items.size()) || menu.items[popupChoice]->separator())
        return false;
    Dispatch(menu.items[popupChoice]->onClick);
    return true;
}

void HeadlessPlatform::Create(Form& form) {
    Window w;
    w.handle = nextHandle_++;
    windows_[&form] = w;
    for (Control* c : form.controls())
        if (c->kind() != Kind::Timer) controlHandles_[c] = nextHandle_++;
    form.setCreated(true);
    for (Control* c : form.controls())
        if (c->kind() == Kind::Timer) Schedule(static_cast<Timer&>(*c));
}

void HeadlessPlatform::Destroy(Form& form) {
    for (Control* c : form.controls()) {
        controlHandles_.erase(c);
        if (c->kind() == Kind::Timer) due_.erase(static_cast<Timer*>(c));
        if (focusedControl_ == c) focusedControl_ = nullptr;
    }
    windows_.erase(&form);
    if (sessionForm_ == &form) sessionForm_ = nullptr;
    if (focusedForm_ == &form) focusedForm_ = nullptr;
    if (activeForm_ == &form) activeForm_ = nullptr;
    form.setCreated(false);
}

void HeadlessPlatform::Show(Form& form) {
    Window& w = windows_.at(&form);
    if (w.visible) return;
    w.visible = true;
    if (!w.shown) {
        w.shown = true;
        // Focus goes to the first control in the tab order that takes it.
        const Control* first = nullptr;
        for (const Control* c : form.controls()) {
            bool focusable = c->kind() == Kind::CommandButton || c->kind() == Kind::CheckBox;
            if (focusable && c->visible() && (!first || c->tabIndex() < first->tabIndex())) first = c;
        }
        if (first) focusedControl_ = first;
    }
    w.state = kNormal;  // a window hidden while minimised comes back restored
    form.raiseResize();
}

void HeadlessPlatform::ShowModal(Form& form, Form& owner) {
    Show(form);
    windows_.at(&owner).enabled = false;
    if (whileModal) whileModal(form);
    if (form.created()) Destroy(form);
    if (owner.created()) windows_.at(&owner).enabled = true;
}

void HeadlessPlatform::Hide(Form& form) { windows_.at(&form).visible = false; }

bool HeadlessPlatform::IsVisible(const Form& form) const {
    auto it = windows_.find(&form);
    return it != windows_.end() && it->second.visible;
}

int HeadlessPlatform::WindowState(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? kNormal : it->second.state;
}

void HeadlessPlatform::SetWindowState(Form& form, int state) {
    Window& w = windows_.at(&form);
    if (w.state == state) return;
    w.state = state;
    if (w.visible) form.raiseResize();
}

void HeadlessPlatform::Focus(Form& form) {
    if (form.created()) focusedForm_ = &form;
}

void HeadlessPlatform::Focus(Control& control) {
    if (control.form().created()) focusedControl_ = &control;
}

void HeadlessPlatform::Activate(Form& form) {
    if (form.created()) activeForm_ = &form;
}

Handle HeadlessPlatform::WindowHandle(const Form& form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? 0 : it->second.handle;
}

Handle HeadlessPlatform::WindowHandle(const Control& control) const {
    auto it = controlHandles_.find(&control);
    return it == controlHandles_.end() ? 0 : it->second;
}

Handle HeadlessPlatform::IconHandle(const Form& form) const {
    return form.created() && form.iconResource ? 0x5000 + form.iconResource : 0;
}

void HeadlessPlatform::Changed(Control& control) {
    if (control.kind() == Kind::Timer) Schedule(static_cast<Timer&>(control));
}

void HeadlessPlatform::ShellOpen(Handle owner, const std::wstring& target) { opened.emplace_back(owner, target); }

bool HeadlessPlatform::NotifyIcon(TrayOp op, const TrayIcon& icon) {
    trayCalls.push_back({op, icon});
    return trayAccepts;
}

int HeadlessPlatform::Run(Form& startup) {
    try {
        Create(startup);
        startup.raiseLoad();
        if (!ended) Show(startup);
    } catch (const ProcessEnded&) {
        ended = true;
    }
    return 0;
}

void HeadlessPlatform::RunElevated(Form&, const std::wstring& arguments, std::function<void(ElevatedRun)> done) {
    elevationRequests.push_back(arguments);
    pendingElevations_.push_back(std::move(done));
}

void HeadlessPlatform::AnswerElevation(ElevatedRun run) {
    if (pendingElevations_.empty()) return;
    auto done = std::move(pendingElevations_.front());
    pendingElevations_.erase(pendingElevations_.begin());
    Deliver([&] { done(run); });
}

void HeadlessPlatform::ShowMessage(Form&, const std::wstring& text) { messages.push_back(text); }

std::uint32_t HeadlessPlatform::TickCountMs() {
    return tickOrigin + static_cast<std::uint32_t>(std::llround(now * 1000) & 0xFFFFFFFF);
}

void HeadlessPlatform::Input(double stampedLater) {
    lastInputTick = TickCountMs() + static_cast<std::uint32_t>(std::llround(stampedLater * 1000));
}

void HeadlessPlatform::WatchSession(Form& form) {
    if (session_.Ask([&] { return sessionServiceReady; }, [&] { return sessionReadyEventWaits; })) {
        sessionForm_ = &form;
        if (sessionLocked) form.raiseSessionChange(SessionChange::Lock);
    } else if (!session_.watching()) {
        sessionForm_ = &form;  // the one waiting
    }
}

void HeadlessPlatform::SessionServiceStarts(bool refusesOnce) {
    sessionServiceReady = !refusesOnce;
    if (session_.waiting() && sessionForm_) {
        session_.ServiceReady();
        if (sessionForm_->created()) Deliver([&] { WatchSession(*sessionForm_); });
    }
    sessionServiceReady = true;
}

void HeadlessPlatform::SessionChange(Form& form, tk::SessionChange change) {
    if (!ended && form.created() && sessionForm_ == &form && session_.watching())
        Deliver([&] { form.raiseSessionChange(change); });
}

int HeadlessPlatform::ReadProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                     int fallback) {
    auto it = profile.find({file, section, key});
    return it == profile.end() ? fallback : it->second;
}

bool HeadlessPlatform::WriteProfileInt(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                                       int value) {
    if (profileWritable) profile[{file, section, key}] = value;
    return profileWritable;
}

}  // namespace tk

namespace tk {

std::wstring HeadlessPlatform::LocalAppDataFolder() { return PathText(localAppData); }

std::wstring HeadlessPlatform::ExecutableKey() {
    if (!executableKey.empty()) return executableKey;
    std::wstring key = PathText(appDirectory) + L"/" + exeName + L".exe";
    for (wchar_t& c : key)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return key;
}

bool HeadlessPlatform::AskYesNo(Form& owner, const std::wstring& text) {
    questions.push_back(text);
    Window& asker = windows_.at(&owner);
    asker.enabled = false;
    if (whileAsked) whileAsked();
    if (owner.created()) windows_.at(&owner).enabled = true;
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.erase(answers.begin());
    return yes;
}
LocalTime HeadlessPlatform::LocalNow() {
    const double days = std::floor((now + wallClockShift) / 86400.0);
    return {firstDay + static_cast<std::int32_t>(days), TimeOfDaySeconds()};
}

std::wstring HeadlessPlatform::TempDirectory() { return PathText(tempDirectory); }

}  // namespace tk
