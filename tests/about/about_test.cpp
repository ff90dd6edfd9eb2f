// The About box as the user meets it: opened from the main window's Help menu,
// shown modal, closed with OK or the close box, its two links handed to the shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "czasomir/build_info.h"
#include "platform/headless.h"
#include "platform/resource_ids.h"
#include "ui/about/form2.h"
#include "ui/main/form1.h"

namespace czasomir {
namespace {

class NoRegistry : public Rejestr {
public:
    std::optional<std::wstring> ReadStringValue(RegistryRoot, const std::wstring&, const std::wstring&) override {
        return std::nullopt;
    }
    RegistryResult WriteStringValue(RegistryRoot, const std::wstring&, const std::wstring&,
                                    const std::wstring&) override {
        return RegistryResult::Done;
    }
    RegistryResult DeleteValue(RegistryRoot, const std::wstring&, const std::wstring&) override {
        return RegistryResult::Done;
    }
};

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// What a user can see of an open About box.
struct Seen {
    std::wstring caption;
    int clientWidth, clientHeight;
    bool minButton, maxButton;
    int iconResource;
    std::vector<std::wstring> names, captions;
    std::vector<int> ids, tabIndexes, lefts, tops, widths, heights;
    bool operator==(const Seen&) const = default;
};

Seen Look(const Form2& f) {
    Seen s{f.caption, f.clientWidth, f.clientHeight, f.minButton, f.maxButton, f.iconResource, {}, {}, {}, {}, {}, {}, {}, {}};
    for (const tk::Control* c : f.controls()) {
        s.names.push_back(c->name());
        s.ids.push_back(c->id());
        s.tabIndexes.push_back(c->tabIndex());
        s.lefts.push_back(c->bounds().left);
        s.tops.push_back(c->bounds().top);
        s.widths.push_back(c->bounds().width);
        s.heights.push_back(c->bounds().height);
        if (c->kind() == tk::Kind::Label)
            s.captions.push_back(static_cast<const tk::Label*>(c)->caption());
        else if (c->kind() == tk::Kind::CommandButton)
            s.captions.push_back(static_cast<const tk::CommandButton*>(c)->caption());
    }
    return s;
}

class AboutTest : public ::testing::Test {
protected:
    AboutTest() {
        std::random_device random;
        dir_ = std::filesystem::temp_directory_path() /
               ("czasomir-about-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(dir_);
        platform.appDirectory = dir_;
    }
    ~AboutTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    Form1& Start(const std::wstring& arguments = L"") {
        platform.argumentText = arguments;
        form1_.emplace(platform, registry_);
        platform.Run(*form1_);
        return *form1_;
    }

    // Help > About; `inside` plays the user while the box is open.
    void OpenAbout(const std::function<void(Form2&)>& inside) {
        platform.whileModal = [&](tk::Form& dialog) {
            ASSERT_EQ(&dialog, form1_->about());
            inside(static_cast<Form2&>(dialog));
        };
        platform.Choose(form1_->mnuPomocOProgramie, *form1_);
        platform.whileModal = nullptr;
    }

    std::filesystem::path CzasDat() const { return dir_ / "czas.dat"; }

    tk::HeadlessPlatform platform;

private:
    std::filesystem::path dir_;
    NoRegistry registry_;
    std::optional<Form1> form1_;
};

TEST_F(AboutTest, ShowsItsLayoutModalOverTheMainWindow) {
    Form1& form1 = Start();
    EXPECT_EQ(form1.about(), nullptr);
    bool opened = false;
    OpenAbout([&](Form2& about) {
        opened = true;
        EXPECT_TRUE(about.visible());
        EXPECT_NE(about.handle(), 0u);
        EXPECT_FALSE(platform.Enabled(form1));
        EXPECT_EQ(platform.FocusedControl(), &about.Command1);

        const Seen seen = Look(about);
        EXPECT_EQ(seen.caption, L"Czasomir - O programie");
        EXPECT_EQ(seen.clientWidth, 4845);
        EXPECT_EQ(seen.clientHeight, 4290);
        EXPECT_FALSE(seen.minButton);
        EXPECT_FALSE(seen.maxButton);
        EXPECT_EQ(seen.iconResource, IDI_CZASOMIR);
        EXPECT_EQ(seen.names, (std::vector<std::wstring>{L"Command1", L"Label5", L"Label4", L"Label3", L"Label2", L"Label1"}));
        EXPECT_EQ(seen.ids, (std::vector<int>{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(seen.tabIndexes, (std::vector<int>{3, 5, 4, 2, 1, 0}));
        EXPECT_EQ(seen.lefts, (std::vector<int>{1560, 360, 360, 360, 360, 120}));
        EXPECT_EQ(seen.tops, (std::vector<int>{3480, 2880, 2400, 1920, 1440, 240}));
        EXPECT_EQ(seen.widths, (std::vector<int>{1695, 1455, 1935, 855, 3735, 4575}));
        EXPECT_EQ(seen.heights, (std::vector<int>{495, 255, 255, 255, 255, 855}));
        EXPECT_EQ(seen.captions, (std::vector<std::wstring>{L"&OK", CZASOMIR_WEB_HOST_W, CZASOMIR_EMAIL_W, L"Wersja 1.1",
                                                            CZASOMIR_COPYRIGHT_W, L"Czasomir"}));

        // The two links look alike; the other labels keep the window's text colour and arrow.
        for (const tk::Label* link : {&about.Label4, &about.Label5}) {
            SCOPED_TRACE(link->name());
            EXPECT_TRUE(link->hasForeColor);
            EXPECT_EQ(link->foreColor, (tk::Color{0, 0, 255}));
            ASSERT_TRUE(link->hasFont);
            EXPECT_EQ(link->font.face, L"MS Sans Serif");
            EXPECT_DOUBLE_EQ(link->font.points, 8.25);
            EXPECT_EQ(link->font.weight, 400);
            EXPECT_TRUE(link->font.underline);
            EXPECT_FALSE(link->font.italic);
            EXPECT_EQ(link->font.charset, 238);
            EXPECT_EQ(link->cursor, tk::Cursor::Hand);
            EXPECT_EQ(link->align, tk::Align::Left);
        }
        for (const tk::Label* plain : {&about.Label3, &about.Label2}) {
            SCOPED_TRACE(plain->name());
            EXPECT_FALSE(plain->hasFont);
            EXPECT_FALSE(plain->hasForeColor);
            EXPECT_EQ(plain->cursor, tk::Cursor::Arrow);
            EXPECT_EQ(plain->align, tk::Align::Left);
        }
        const tk::Label& title = about.Label1;
        EXPECT_EQ(title.align, tk::Align::Center);
        EXPECT_FALSE(title.hasForeColor);
        EXPECT_EQ(title.cursor, tk::Cursor::Arrow);
        ASSERT_TRUE(title.hasFont);
        EXPECT_EQ(title.font.face, L"Times New Roman");
        EXPECT_DOUBLE_EQ(title.font.points, 36);
        EXPECT_EQ(title.font.weight, 700);
        EXPECT_TRUE(title.font.italic);
        EXPECT_FALSE(title.font.underline);
        EXPECT_EQ(title.font.charset, 238);
    });
    EXPECT_TRUE(opened);
}

TEST_F(AboutTest, EveryOpeningIsAFreshBoxWithTheSameContent) {
    Form1& form1 = Start();
    std::vector<Seen> seen;
    std::vector<tk::Handle> handles;
    for (int i = 0; i < 3; ++i) {
        OpenAbout([&](Form2& about) {
            if (i == 0) about.Label4.setCaption(L"changed@example.com");  // must not survive the closing
            seen.push_back(Look(about));
            handles.push_back(about.handle());
            platform.Click(about.Command1);
        });
        EXPECT_EQ(form1.about(), nullptr);
    }
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1], seen[2]);
    EXPECT_EQ(seen[1].captions.at(2), CZASOMIR_EMAIL_W);
    EXPECT_NE(handles[0], handles[1]);
    EXPECT_NE(handles[1], handles[2]);
    EXPECT_NE(handles[0], handles[2]);
}

TEST_F(AboutTest, OkAndTheCloseBoxBothCloseIt) {
    Form1& form1 = Start();
    for (bool useOk : {true, false}) {
        SCOPED_TRACE(useOk ? "OK" : "close box");
        bool closed = false;
        OpenAbout([&](Form2& about) {
            if (useOk)
                platform.Click(about.Command1);
            else
                platform.Close(about);
            closed = !about.created() && !about.visible();
            EXPECT_EQ(about.handle(), 0u);
        });
        EXPECT_TRUE(closed);
        EXPECT_EQ(form1.about(), nullptr);
        EXPECT_TRUE(platform.Enabled(form1));
        EXPECT_FALSE(platform.ended);
    }
    EXPECT_TRUE(platform.opened.empty());
    // The main window takes input again.
    platform.Click(form1.Command1);
    EXPECT_EQ(form1.Command1.caption(), L"Stop");
}

TEST_F(AboutTest, LinksOpenTheirOwnTargetsWhateverTheCaptionSays) {
    Start();
    const std::wstring email = CZASOMIR_EMAIL_TARGET_W;
    ASSERT_EQ(email.rfind(L"mailto:", 0), 0u);
    OpenAbout([&](Form2& about) {
        const tk::Handle box = about.handle();
        EXPECT_EQ(L"http://" + about.Label5.caption(), CZASOMIR_WEB_TARGET_W);

        platform.Click(about.Label4);
        platform.Click(about.Label5);
        about.Label4.setCaption(L"someone.else@example.com");
        about.Label5.setCaption(L"www.somewhere-else.example");
        platform.Click(about.Label4);
        platform.Click(about.Label5);
        // Clicks on the other labels open nothing.
        platform.Click(about.Label1);
        platform.Click(about.Label2);
        platform.Click(about.Label3);

        const std::vector<std::pair<tk::Handle, std::wstring>> expected{
            {box, email}, {box, CZASOMIR_WEB_TARGET_W}, {box, email}, {box, CZASOMIR_WEB_TARGET_W}};
        EXPECT_EQ(platform.opened, expected);
        // Following a link leaves the box open.
        EXPECT_TRUE(about.visible());
    });
}

TEST_F(AboutTest, TheMainWindowKeepsCountingAndSavingButTakesNoInput) {
    {
        std::ofstream out(CzasDat(), std::ios::binary);
        out << "100\r\n";
    }
    Form1& form1 = Start();
    platform.Click(form1.Command1);  // counting on
    ASSERT_EQ(form1.Command1.caption(), L"Stop");

    OpenAbout([&](Form2& about) {
        platform.Advance(60.0);
        EXPECT_EQ(form1.Label1.caption(), L"00 : 02 : 40");
        EXPECT_EQ(ReadFile(CzasDat()), "100\r\n");  // no save before 65.535 s

        platform.Advance(5.6);
        EXPECT_EQ(ReadFile(CzasDat()), "165\r\n");  // saved at 65.535 s, total of the tick at 65.4 s

        // Neither the button nor the menus of the main window respond.
        platform.Click(form1.Command1);
        platform.Choose(form1.mnuPlikZresetuj, form1);
        platform.Choose(form1.mnuPomocOProgramie, form1);  // no second box
        platform.Close(form1);
        EXPECT_EQ(form1.Command1.caption(), L"Stop");
        EXPECT_TRUE(form1.Timer1.enabled());
        EXPECT_FALSE(platform.ended);
        EXPECT_EQ(form1.about(), &about);

        platform.Advance(1.0);
        EXPECT_EQ(form1.Label1.caption(), L"00 : 02 : 47");  // 66.6 s counted: not reset
        platform.Click(about.Command1);
    });
    EXPECT_EQ(form1.about(), nullptr);
}

TEST_F(AboutTest, TrayPressIsIgnoredWhileTheBoxIsVisible) {
    Form1& form1 = Start(L"/auto");
    ASSERT_FALSE(form1.visible());
    OpenAbout([&](Form2& about) {
        platform.MouseDown(form1.Picture1, tk::kLeftButton, 0, 513, 0);
        EXPECT_EQ(form1.RestoreFromTray, 0);
        EXPECT_FALSE(form1.visible());
        platform.Click(about.Command1);
    });
    // With the box closed the same press restores the window.
    platform.MouseDown(form1.Picture1, tk::kLeftButton, 0, 513, 0);
    EXPECT_TRUE(form1.visible());
}

}  // namespace
}  // namespace czasomir
