#include "ui/settings/form4.h"

#include "core/daily_limit.h"
#include "core/decimal_text.h"
#include "platform/resource_ids.h"

namespace czasomir {

namespace {

constexpr int kFirstLimitMinutes = 120, kFirstBreakMinutes = 50;  // what a first tick of a box offers

}  // namespace

Form4::Form4(tk::Platform& platform, const Values& shown)
    : tk::Form(platform, L"Form4"),
      Check1(*this, L"Check1", {240, 240, 2280, 315}, 0),
      Text1(*this, L"Text1", {2580, 240, 480, 315}, 1, 0, 23),
      Label1(*this, L"Label1", {3375, 270, 180, 255}, -1),
      Text2(*this, L"Text2", {3600, 240, 480, 315}, 2, 0, 59),
      Label2(*this, L"Label2", {4395, 270, 480, 255}, -1),
      Check2(*this, L"Check2", {240, 720, 2280, 315}, 3),
      Text3(*this, L"Text3", {2580, 720, 480, 315}, 4, 10, 240),
      Label3(*this, L"Label3", {3375, 750, 1500, 255}, -1),
      Check3(*this, L"Check3", {240, 1200, 4635, 315}, 5),
      Command1(*this, L"Command1", {2100, 1800, 1335, 375}, 6),
      Command2(*this, L"Command2", {3540, 1800, 1335, 375}, 7),
      values(shown) {
    caption = L"Czasomir - Ustawienia";
    clientWidth = 5115;
    clientHeight = 2415;
    minButton = false;
    iconResource = IDI_CZASOMIR;
    defaultButton = &Command1;
    cancelButton = &Command2;

    Check1.caption = L"Dzienny limit czasu:";
    Check1.setValue(shown.limitMinutes > 0);
    const int limit = shown.limitMinutes > 0 ? shown.limitMinutes : kFirstLimitMinutes;
    Text1.setText(DecimalText<wchar_t>(limit / 60));
    Label1.setCaption(L"h");
    Text2.setText(DecimalText<wchar_t>(limit % 60));
    Label2.setCaption(L"min");
    Check2.caption = L"Przypominaj o przerwie po";
    Check2.setValue(shown.breakMinutes > 0);
    Text3.setText(DecimalText<wchar_t>(shown.breakMinutes > 0 ? shown.breakMinutes : kFirstBreakMinutes));
    Label3.setCaption(L"min pracy");
    Check3.caption = L"Pomijaj czas bezczynności";
    Check3.setValue(shown.skipIdle);
    Command1.setCaption(L"OK");
    Command2.setCaption(L"Anuluj");

    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

// A value out of range keeps the window open and saves nothing.
void Form4::Command1_Click() {
    Values chosen{0, 0, Check3.value() == 1};
    if (Check1.value() == 1) {
        const auto hours = NumberIn(Text1.text(), 0, 23), minutes = NumberIn(Text2.text(), 0, 59);
        chosen.limitMinutes = hours && minutes ? *hours * 60 + *minutes : 0;
        if (chosen.limitMinutes < 15) return platform().ShowMessage(*this, L"Podaj czas od 0:15 do 23:59.");
    }
    if (Check2.value() == 1) {
        const auto minutes = NumberIn(Text3.text(), 10, 240);
        if (!minutes) return platform().ShowMessage(*this, L"Podaj liczbę minut od 10 do 240.");
        chosen.breakMinutes = *minutes;
    }
    values = chosen;
    accepted = true;
    unload();
}

}  // namespace czasomir
