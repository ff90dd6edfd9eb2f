#include "platform/toolkit.h"

#include <exception>
#include <utility>

namespace tk {

void Dispatch(const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception&) {
        // The handler stopped at its failing step; nothing is shown and events go on.
    }
}

// Control ------------------------------------------------------------------

Control::Control(Form& form, std::wstring name, Kind kind, Bounds bounds, int tabIndex, bool visible)
    : form_(form), name_(std::move(name)), kind_(kind), id_(static_cast<int>(form.controls().size()) + 1),
      bounds_(bounds), tabIndex_(tabIndex), visible_(visible) {
    form.add(*this);
}

Handle Control::handle() const { return form_.platform().WindowHandle(*this); }

double Control::twipsPerPixel() const { return form_.platform().TwipsPerPixel(form_); }

void Control::changed() {
    if (form_.created()) form_.platform().Changed(*this);
}

Label::Label(Form& form, std::wstring name, Bounds bounds, int tabIndex)
    : Control(form, std::move(name), Kind::Label, bounds, tabIndex) {}

void Label::setCaption(const std::wstring& text) {
    if (text == caption_) return;  // no needless repaint
    caption_ = text;
    changed();
}

CommandButton::CommandButton(Form& form, std::wstring name, Bounds bounds, int tabIndex)
    : Control(form, std::move(name), Kind::CommandButton, bounds, tabIndex) {}

void CommandButton::setCaption(const std::wstring& text) {
    if (text == caption_) return;
    caption_ = text;
    changed();
}

void CommandButton::setFocus() { form().platform().Focus(*this); }

CheckBox::CheckBox(Form& form, std::wstring name, Bounds bounds, int tabIndex)
    : Control(form, std::move(name), Kind::CheckBox, bounds, tabIndex) {}

void CheckBox::setValue(int value) {
    if (value == value_) return;
    value_ = value;
    changed();
    Dispatch(onClick);
}

void CheckBox::userClicked(int value) {
    value_ = value;
    Dispatch(onClick);
}

PictureBox::PictureBox(Form& form, std::wstring name, Bounds bounds, int tabIndex, bool visible)
    : Control(form, std::move(name), Kind::PictureBox, bounds, tabIndex, visible) {}

void PictureBox::raiseMouseDown(int button, int shift, double x, double y) {
    if (onMouseDown) Dispatch([&] { onMouseDown(button, shift, x, y); });
}

Image::Image(Form& form, std::wstring name, Bounds bounds, int pictureResource)
    : Control(form, std::move(name), Kind::Image, bounds, -1), picture_(pictureResource) {}

BarChart::BarChart(Form& form, std::wstring name, Bounds bounds)
    : Control(form, std::move(name), Kind::BarChart, bounds, -1) {}

bool Image::showsWords() const { return !title.empty() && form().platform().HighContrast(); }

std::wstring Image::accessibleName() const { return title + L" - " + subtitle; }

void BarChart::setData(std::vector<Bar> bars, std::vector<Mark> marks, double top, std::wstring summary) {
    bars_ = std::move(bars);
    marks_ = std::move(marks);
    top_ = top > 0 ? top : 1;
    summary_ = std::move(summary);
    changed();
}

SpinBox::SpinBox(Form& form, std::wstring name, Bounds bounds, int tabIndex, int minimum, int maximum)
    : Control(form, std::move(name), Kind::SpinBox, bounds, tabIndex), minimum(minimum), maximum(maximum) {}

void SpinBox::setText(const std::wstring& text) {
    text_ = text;
    changed();
}

Timer::Timer(Form& form, std::wstring name, int intervalMs, bool enabled)
    : Control(form, std::move(name), Kind::Timer, Bounds{}, -1, false), interval_(intervalMs), enabled_(enabled) {}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    changed();
}

void Timer::raiseTick() {
    if (enabled_) Dispatch(onTick);
}

// Form ---------------------------------------------------------------------

Form::Form(Platform& platform, std::wstring name) : platform_(platform), name_(std::move(name)) {}

Form::~Form() {
    if (created_) platform_.Destroy(*this);
}

void Form::add(Control& control) { controls_.push_back(&control); }

void Form::number(MenuItem& item) {
    item.id = nextCommand_++;
    for (MenuItem* child : item.items) number(*child);
}

void Form::addMenu(MenuItem& top) {
    number(top);
    menu_.push_back(&top);
}

void Form::show() {
    if (!created_) platform_.Create(*this);
    platform_.Show(*this);
}

void Form::showModal(Form& owner) {
    if (!created_) platform_.Create(*this);
    platform_.ShowModal(*this, owner);
}

void Form::hide() {
    if (created_) platform_.Hide(*this);
}

void Form::unload() {
    if (created_) platform_.Destroy(*this);
}

bool Form::visible() const { return created_ && platform_.IsVisible(*this); }

int Form::windowState() const { return created_ ? platform_.WindowState(*this) : kNormal; }

void Form::setWindowState(int state) {
    if (created_) platform_.SetWindowState(*this, state);
}

void Form::setFocus() {
    if (created_) platform_.Focus(*this);
}

Handle Form::handle() const { return platform_.WindowHandle(*this); }

Handle Form::iconHandle() const { return platform_.IconHandle(*this); }

void Form::setCaption(const std::wstring& text) {
    if (text == caption) return;
    caption = text;
    if (created_) platform_.CaptionChanged(*this);
}

void Form::setChecked(MenuItem& item, bool checked) {
    if (item.checked == checked) return;
    item.checked = checked;
    if (created_) platform_.MenuItemChanged(*this, item);
}

bool Form::raiseUnload() {
    int cancel = 0;
    if (onUnload) Dispatch([&] { onUnload(cancel); });
    return cancel == 0;
}

}  // namespace tk
