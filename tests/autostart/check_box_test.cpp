// The autostart check box on a real main window, over the headless platform
// and an in-memory registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>

#include "autostart/autostart.h"
#include "fake_rejestr.h"
#include "platform/headless.h"
#include "tests/storage/test_dir.h"
#include "ui/main/form1.h"

namespace czasomir {
namespace {

namespace fs = std::filesystem;
using test::FakeRejestr;

const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kName = L"CzasomirKR";

// A fresh application directory (for czas.dat), with blanks and Polish letters in its name.
class TempDir {
public:
    explicit TempDir(const fs::path& leaf = {}) {
        std::random_device random;
        root_ = fs::temp_directory_path() /
                fs::path(u8"Czasomir autostart zażółć");
        root_ += " " + std::to_string(random()) + "-" + std::to_string(random());
        path_ = leaf.empty() ? root_ : root_ / leaf;
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path root_, path_;
};

class Session {
public:
    explicit Session(const fs::path& leaf = {}) : dir(leaf) { platform.appDirectory = dir.path(); }

    std::wstring Directory() const { return test::Wide(dir.path()); }
    std::wstring Quoted() const { return L"\"" + Directory() + L"\\" + platform.exeName + L".exe\" /auto"; }
    std::wstring Unquoted() const { return Directory() + L"\\" + platform.exeName + L".exe /auto"; }

    void Store(const std::wstring& text) { registry.values[{kHkeyLocalMachine, kRunKey, kName}] = text; }
    std::optional<std::wstring> Stored() const {
        auto it = registry.values.find({kHkeyLocalMachine, kRunKey, kName});
        if (it == registry.values.end()) return std::nullopt;
        return it->second;
    }

    Form1& Start() {
        form = std::make_unique<Form1>(platform, registry);
        platform.Run(*form);
        return *form;
    }
    void ClickBox() { platform.Click(form->Check1); }

    TempDir dir;
    tk::HeadlessPlatform platform;
    FakeRejestr registry;
    std::unique_ptr<Form1> form;
};

TEST(AutostartAtStartup, NoValueLeavesTheBoxUntickedAndWritesNothing) {
    Session s;
    s.registry.values[{kHkeyLocalMachine, kRunKey, L"InnyProgram"}] = s.Quoted();  // another name does not count
    Form1& form = s.Start();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_EQ(form.RunEntry, L"");
    EXPECT_TRUE(s.registry.written.empty());
    EXPECT_EQ(s.registry.deletes, 0);
    EXPECT_EQ(s.registry.reads, 1);
    EXPECT_FALSE(s.Stored());
}

TEST(AutostartAtStartup, TheExactCommandTicksTheBoxAndIsWrittenOnceAgain) {
    Session s;
    s.Store(s.Quoted());
    Form1& form = s.Start();
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(form.RunEntry, s.Quoted());
    ASSERT_EQ(s.registry.written.size(), 1u);
    EXPECT_EQ(s.registry.written[0], s.Quoted());
    EXPECT_EQ(s.registry.deletes, 0);
    EXPECT_EQ(s.Stored(), s.Quoted());
    for (const auto& place : s.registry.places)
        EXPECT_EQ(place, (FakeRejestr::Place{kHkeyLocalMachine, kRunKey, kName}));
}

TEST(AutostartAtStartup, TheOlderUnquotedCommandIsTakenAndRewrittenQuoted) {
    Session s;
    s.Store(s.Unquoted());
    Form1& form = s.Start();
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(form.RunEntry, s.Unquoted());
    ASSERT_EQ(s.registry.written.size(), 1u);
    EXPECT_EQ(s.Stored(), s.Quoted());
    EXPECT_EQ(s.registry.deletes, 0);
}

TEST(AutostartAtStartup, AnyOtherTextLeavesTheBoxUntickedAndTheValueAlone) {
    Session probe;
    const std::wstring quoted = probe.Quoted(), unquoted = probe.Unquoted();
    std::wstring upper = quoted;
    upper.replace(upper.find(L"Czasomir.exe"), 12, L"CZASOMIR.EXE");
    const std::wstring others[] = {
        L"",
        upper,
        quoted + L" ",
        L" " + quoted,
        unquoted.substr(0, unquoted.size() - 6) + L"  /auto",
        L"\"" + unquoted + L"\"",                                  // the whole command quoted
        quoted.substr(0, quoted.size() - 5) + L"/AUTO",
        L"\"C:\\Inny katalog\\Czasomir.exe\" /auto",               // a copy elsewhere
        L"C:\\Inny katalog\\Czasomir.exe /auto",
    };
    for (const auto& other : others) {
        Session s;
        // Each session has a directory of its own: aim the text at this one's.
        std::wstring text = other;
        if (auto at = text.find(probe.Directory()); at != std::wstring::npos)
            text.replace(at, probe.Directory().size(), s.Directory());
        s.Store(text);
        Form1& form = s.Start();
        EXPECT_EQ(form.Check1.value(), 0) << text;
        EXPECT_EQ(form.RunEntry, text);
        EXPECT_TRUE(s.registry.written.empty()) << text;
        EXPECT_EQ(s.registry.deletes, 0) << text;
        EXPECT_EQ(s.Stored(), text);
    }
}

TEST(AutostartAtStartup, WithoutWriteRightsARegisteredBoxStaysTicked) {
    for (bool older : {false, true}) {
        Session s;
        s.registry.refuseWrites = true;  // an ordinary user below HKEY_LOCAL_MACHINE
        const std::wstring text = older ? s.Unquoted() : s.Quoted();
        s.Store(text);
        Form1& form = s.Start();
        EXPECT_EQ(form.Check1.value(), 1) << older;
        EXPECT_EQ(s.registry.written.size(), 1u);
        EXPECT_EQ(s.registry.deletes, 0);
        EXPECT_EQ(s.Stored(), text);
    }
}

struct FailingRead : FakeRejestr {
    std::optional<std::wstring> ReadStringValue(RegistryRoot, const std::wstring&, const std::wstring&) override {
        throw std::runtime_error("registry unreadable");
    }
};

TEST(AutostartAtStartup, AFailingReadLeavesTheBoxUntickedAndStartupGoesOn) {
    TempDir dir;
    tk::HeadlessPlatform platform;
    platform.appDirectory = dir.path();
    platform.argumentText = L"/auto";
    FailingRead registry;
    Form1 form(platform, registry);
    platform.Run(form);
    EXPECT_FALSE(platform.ended);
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_EQ(form.RunEntry, L"");
    EXPECT_TRUE(registry.written.empty());
    EXPECT_EQ(form.Command1.caption(), L"Stop");  // tray mode still started counting
}

TEST(AutostartBox, TickingStoresTheQuotedCommand) {
    Session s;  // the directory's name holds blanks
    ASSERT_NE(s.Directory().find(L' '), std::wstring::npos);
    Form1& form = s.Start();
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(s.Stored(), L"\"" + s.Directory() + L"\\Czasomir.exe\" /auto");
    EXPECT_EQ(s.registry.written.size(), 1u);
    EXPECT_EQ(s.registry.deletes, 0);
    EXPECT_EQ(form.RunEntry, L"");  // read at startup only
}

TEST(AutostartBox, TheExecutablesOwnNameIsUsed) {
    Session s;
    s.platform.exeName = L"Mój zegar";
    s.Start();
    s.ClickBox();
    EXPECT_EQ(s.Stored(), L"\"" + s.Directory() + L"\\Mój zegar.exe\" /auto");
}

TEST(AutostartBox, ADirectoryEndingInASeparatorGivesTwoInARow) {
    Session s(L"dysk\\");  // as a drive root's text, "C:\", ends
    ASSERT_EQ(s.Directory().back(), L'\\');
    s.Start();
    s.ClickBox();
    EXPECT_EQ(s.Stored(), L"\"" + s.Directory() + L"\\Czasomir.exe\" /auto");
    EXPECT_NE(s.Stored()->find(L"\\\\Czasomir.exe"), std::wstring::npos);
}

TEST(AutostartBox, UntickingDeletesWhateverTheValueHeld) {
    Session s;
    s.Store(s.Quoted());
    Form1& form = s.Start();
    ASSERT_EQ(form.Check1.value(), 1);
    s.Store(L"\"C:\\Inny katalog\\Czasomir.exe\" /auto");  // another copy registered meanwhile
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_FALSE(s.Stored());
    EXPECT_EQ(s.registry.deletes, 1);
    EXPECT_EQ(s.registry.written.size(), 1u);  // the startup rewrite only
}

TEST(AutostartBox, TickingTakesOverAnotherCopysRegistrationAndUntickingRemovesIt) {
    Session s;
    s.Store(L"C:\\Inny katalog\\Czasomir.exe /auto");
    Form1& form = s.Start();
    ASSERT_EQ(form.Check1.value(), 0);
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 1);
    EXPECT_EQ(s.Stored(), s.Quoted());
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_FALSE(s.Stored());
    EXPECT_EQ(s.registry.written.size(), 1u);
    EXPECT_EQ(s.registry.deletes, 1);
}

TEST(AutostartBox, AGreyedBoxCountsAsUnticked) {
    Session s;
    s.Store(s.Quoted());
    Form1& form = s.Start();
    s.platform.Deliver([&] { form.Check1.userClicked(2); });
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_FALSE(s.Stored());
}

TEST(AutostartBox, ARefusedWriteUnticksTheBoxAgain) {
    Session s;
    s.registry.refuseWrites = true;
    Form1& form = s.Start();
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_FALSE(s.Stored());
    EXPECT_EQ(s.registry.written.size(), 1u);  // one attempt, no second round
    EXPECT_EQ(s.registry.deletes, 0);          // the correction deletes nothing

    s.ClickBox();  // the user may try again, with the same outcome
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_EQ(s.registry.written.size(), 2u);
    EXPECT_EQ(s.registry.deletes, 0);
}

TEST(AutostartBox, ARefusedWriteLeavesAnotherCopysRegistrationInPlace) {
    Session s;
    const std::wstring other = L"\"C:\\Inny katalog\\Czasomir.exe\" /auto";
    s.Store(other);
    s.registry.refuseWrites = true;
    Form1& form = s.Start();
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_EQ(s.Stored(), other);
    EXPECT_EQ(s.registry.deletes, 0);
}

TEST(AutostartBox, ARefusedDeleteTicksTheBoxAgainWhileTheRegistrationRemains) {
    for (bool older : {false, true}) {
        Session s;
        s.Store(older ? s.Unquoted() : s.Quoted());
        Form1& form = s.Start();
        ASSERT_EQ(form.Check1.value(), 1);
        const auto held = s.Stored();
        s.registry.refuseDeletes = true;
        s.registry.refuseWrites = true;  // as it goes without administrator rights
        s.ClickBox();
        EXPECT_EQ(form.Check1.value(), 1) << older;
        EXPECT_EQ(s.Stored(), held);
        EXPECT_EQ(s.registry.deletes, 1);
        EXPECT_EQ(s.registry.written.size(), 1u);  // the startup rewrite only: the correction writes nothing
    }
}

TEST(AutostartBox, ARefusedDeleteOfAnotherCopysValueLeavesTheBoxUnticked) {
    Session s;
    s.Store(s.Quoted());
    Form1& form = s.Start();
    const std::wstring other = L"\"C:\\Inny katalog\\Czasomir.exe\" /auto";
    s.Store(other);
    s.registry.refuseDeletes = true;
    s.ClickBox();
    EXPECT_EQ(form.Check1.value(), 0);
    EXPECT_EQ(s.Stored(), other);
}

TEST(AutostartBox, EveryCallGoesToTheRunValue) {
    Session s;
    s.Store(s.Unquoted());
    s.Start();
    s.ClickBox();
    s.ClickBox();
    ASSERT_FALSE(s.registry.places.empty());
    for (const auto& place : s.registry.places)
        EXPECT_EQ(place, (FakeRejestr::Place{kHkeyLocalMachine, kRunKey, kName}));
}

}  // namespace
}  // namespace czasomir
