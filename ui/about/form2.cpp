#include "ui/about/form2.h"

#include "czasomir/build_info.h"
#include "platform/resource_ids.h"

namespace czasomir {

const wchar_t* const Form2::kEmailTarget = CZASOMIR_EMAIL_TARGET_W;
const wchar_t* const Form2::kWebTarget = CZASOMIR_WEB_TARGET_W;

Form2::Form2(tk::Platform& platform)
    : tk::Form(platform, L"Form2"),
      Command1(*this, L"Command1", {1560, 3480, 1695, 495}, 3),
      Label5(*this, L"Label5", {360, 2880, 1455, 255}, 5),
      Label4(*this, L"Label4", {360, 2400, 1935, 255}, 4),
      Label3(*this, L"Label3", {360, 1920, 855, 255}, 2),
      Label2(*this, L"Label2", {360, 1440, 3735, 255}, 1),
      Label1(*this, L"Label1", {120, 240, 4575, 855}, 0) {
    caption = L"Czasomir - O programie";
    clientWidth = 4845;
    clientHeight = 4290;
    minButton = false;
    maxButton = false;
    iconResource = IDI_CZASOMIR;

    Command1.setCaption(L"&OK");

    Label5.setCaption(CZASOMIR_WEB_HOST_W);
    Label5.link = true;

    Label4.setCaption(CZASOMIR_EMAIL_W);
    Label4.link = true;

    Label3.setCaption(L"Wersja 1.1");
    Label2.setCaption(CZASOMIR_COPYRIGHT_W);

    Label1.setCaption(L"Czasomir");
    Label1.align = tk::Align::Center;
    Label1.hasFont = true;
    Label1.font = {L"Times New Roman", 36, 700, true, false, 238};

    Command1.onClick = [this] { Command1_Click(); };
    Label4.onClick = [this] { Label4_Click(); };
    Label5.onClick = [this] { Label5_Click(); };
}

void Form2::Command1_Click() { unload(); }

// The shell's answer is not looked at: when nothing handles the scheme, the box just stays open.
void Form2::Label4_Click() { platform().ShellOpen(handle(), kEmailTarget); }

void Form2::Label5_Click() { platform().ShellOpen(handle(), kWebTarget); }

}  // namespace czasomir
