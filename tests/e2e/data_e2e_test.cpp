// The real Czasomir.exe where its folder refuses writes, and its question before a reset.
#include <gtest/gtest.h>

#include "storage/data_folder.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::App;
using e2e::Model;
namespace fs = std::filesystem;

std::optional<std::string> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return in ? std::optional(std::string(std::istreambuf_iterator<char>(in), {})) : std::nullopt;
}

// Refused by a folder in the place of the save's new file, then by a read-only czas.dat (as root, Wine
// refuses nothing else): the total goes on in this copy's own folder, across runs, also when started by
// its short (8.3) name in other letters; the program folder's czas.dat stays as it was.
TEST(DataFolder, ARefusingProgramFolderKeepsTheTotalInTheCopysOwnFolder) {
    for (const bool readOnly : {false, true}) {
        App placed("500\r\n");
        placed.kill();
        if (readOnly)
            SetFileAttributesW((placed.folder() / L"czas.dat").c_str(), FILE_ATTRIBUTE_READONLY);
        else
            fs::create_directory(placed.folder() / L"czas.dat.new");
        std::wstring key = placed.exe().wstring(), local(MAX_PATH, L'\0'), shortName(MAX_PATH, L'\0');
        CharUpperW(key.data());
        local.resize(GetEnvironmentVariableW(L"LOCALAPPDATA", local.data(), MAX_PATH));
        shortName.resize(GetShortPathNameW(placed.exe().c_str(), shortName.data(), MAX_PATH));
        CharLowerW(shortName.data());
        const fs::path own = czasomir::FallbackFolder(local, key);
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
            EXPECT_EQ(e2e::WholeLine(Bytes(own / L"czas.dat")), last) << readOnly;
        }
        EXPECT_EQ(placed.czasDat(), "500\r\n");
        SetFileAttributesW((placed.folder() / L"czas.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(own);
    }
}

// File > Reset asks in a task dialog of the process with our own buttons while the display counts on:
// Escape and Enter (Nie is the default) keep the total; Tak resets it.
TEST(Reset, AsksFirstOnlyTakResets) {
    App app("3725\r\n");
    HWND main = app.mainWindow();
    ASSERT_NE(main, nullptr);
    app.click(Model().Command1);
    for (const WPARAM answer : {WPARAM{VK_ESCAPE}, WPARAM{VK_RETURN}, WPARAM{IDYES}}) {
        const auto before = app.shown();
        PostMessageW(main, WM_COMMAND, Model().mnuPlikZresetuj.id, 0);
        HWND box = nullptr;
        ASSERT_TRUE(e2e::WaitUntil([&] { return (box = e2e::FindWindowOf(app.id(), L"#32770")) && IsWindowVisible(box); }));
        EXPECT_EQ(e2e::WindowText(GetDlgItem(box, IDYES)) + e2e::WindowText(GetDlgItem(box, IDCANCEL)), L"TakNie");
        EXPECT_TRUE(e2e::WaitUntil([&] { return app.shown() > before; }));  // counting behind the question
        if (answer == IDYES) {
            SendMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        } else {
            HWND focus = e2e::FocusOf(box);
            PostMessageW(focus, WM_KEYDOWN, answer, 1), PostMessageW(focus, WM_KEYUP, answer, static_cast<LPARAM>(0xC0000001));
        }
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(box); }));
        EXPECT_EQ(app.shown() < before, answer == IDYES) << answer;
    }
}

}  // namespace
