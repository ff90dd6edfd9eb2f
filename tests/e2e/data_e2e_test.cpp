// The real Czasomir.exe where its folder refuses writes, and its question before a reset.
#include <gtest/gtest.h>

#include "storage/data_folder.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::App;
using e2e::Model;
namespace fs = std::filesystem;

// Refused by a folder in the place of the save's new file, then by a read-only czas.dat (as root, Wine
// refuses nothing else): the total goes on in this copy's own folder, across runs, also when started by
// its short (8.3) name in other letters (Wine reports the long name then; Windows may not, and the program
// makes it long itself); the program folder's czas.dat stays as it was.
TEST(DataFolder, ARefusingProgramFolderKeepsTheTotalInTheCopysOwnFolder) {
    for (const bool readOnly : {false, true}) {
        App placed("500\r\n");
        placed.kill();
        const fs::path czasDat = placed.folder() / L"czas.dat";
        readOnly ? SetFileAttributesW(czasDat.c_str(), FILE_ATTRIBUTE_READONLY) : fs::create_directory(czasDat.wstring() + L".new");
        std::wstring key = placed.exe().wstring(), shortName(MAX_PATH, L'\0');
        shortName.resize(GetShortPathNameW(key.c_str(), shortName.data(), MAX_PATH));
        CharUpperW(key.data()), CharLowerW(shortName.data());
        const fs::path own = czasomir::FallbackFolder(_wgetenv(L"LOCALAPPDATA"), key);
        std::optional<std::int64_t> last = 500;
        for (const std::wstring& exe : {placed.exe().wstring(), shortName}) {
            e2e::Process app(exe, e2e::Quoted(exe), placed.folder());
            ASSERT_NE(app.mainWindow(), nullptr) << readOnly;
            EXPECT_EQ(app.shown(), last) << readOnly;
            app.click(Model().Command1);
            ASSERT_TRUE(e2e::WaitUntil([&] { return app.shown() > last; }));
            app.click(Model().Command1);
            last = app.shown();
            app.post(WM_CLOSE);
            ASSERT_TRUE(app.waitForExit());
            EXPECT_EQ(e2e::WholeLine(e2e::Read(own / L"czas.dat")), last) << readOnly;
        }
        EXPECT_EQ(placed.czasDat(), "500\r\n");
        SetFileAttributesW(czasDat.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(own);
    }
}

// File > Reset asks in a task dialog of the process with our own buttons while the display counts on:
// Escape and Enter (Nie is the default) keep the total; Tak resets it.
TEST(Reset, AsksFirstOnlyTakResets) {
    App app("3725\r\n");
    ASSERT_NE(app.mainWindow(), nullptr);
    app.click(Model().Command1);
    for (const WPARAM answer : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}, WPARAM{IDYES}}) {
        const auto before = app.shown();
        app.post(WM_COMMAND, Model().mnuPlikZresetuj.id);
        HWND box = app.window(L"#32770");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(e2e::WindowText(GetDlgItem(box, IDYES)) + e2e::WindowText(GetDlgItem(box, IDCANCEL)), L"TakNie");
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown() > before; }));  // counting behind the question
        answer == IDYES ? void(SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0)) : e2e::Press(e2e::FocusOf(box), answer);  // Nie, the default
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
        EXPECT_EQ(app.shown() < before, answer == IDYES) << answer;
    }
}

}  // namespace
