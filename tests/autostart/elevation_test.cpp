// Autostart changes that the registry refuses for lack of rights: the elevated
// run that makes them, and what the user sees meanwhile and afterwards.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "autostart/autostart.h"
#include "autostart/autostart_switch.h"
#include "fake_rejestr.h"
#include "platform/headless.h"
#include "tests/storage/test_dir.h"
#include "ui/main/form1.h"

namespace czasomir {
namespace {

using test::FakeRejestr;
enum class Answer { None, Approve, ApproveButRefused, RunFails, Decline, NotStarted };

struct Session {
    test::TestDir dir;
    tk::HeadlessPlatform platform;
    FakeRejestr registry;
    std::unique_ptr<Form1> form;

    Session() { platform.appDirectory = dir.path(); }
    std::wstring Command() const { return AutostartCommand(test::Wide(dir.path()), platform.exeName); }
    std::optional<std::wstring> Stored() const {
        auto it = registry.values.find({kAutostartRoot, kAutostartKey, kAutostartValueName});
        return it == registry.values.end() ? std::nullopt : std::optional(it->second);
    }
    void Start() {
        form = std::make_unique<Form1>(platform, registry);
        platform.Run(*form);
    }
    // Windows and the user at the prompt; an approved run is this program in its elevated mode.
    void Respond(Answer answer) {
        tk::ElevatedRun run{answer == Answer::Decline ? tk::ElevatedRun::Declined : tk::ElevatedRun::NotStarted};
        if (answer == Answer::RunFails) run = {tk::ElevatedRun::Ran, 1};
        if (answer == Answer::Approve || answer == Answer::ApproveButRefused) {
            const bool writes = registry.refuseWrites, deletes = registry.refuseDeletes;
            registry.refuseWrites = registry.refuseDeletes = answer == Answer::ApproveButRefused;
            const auto code = RunAutostartSwitch(platform.elevationRequests.back(), platform.AppDirectory(),
                                                 platform.exeName, registry);
            registry.refuseWrites = writes, registry.refuseDeletes = deletes;
            run = {tk::ElevatedRun::Ran, static_cast<unsigned long>(code.value_or(-1))};
        }
        platform.AnswerElevation(run);
    }
};

TEST(AutostartElevation, AClickTheRegistryRefusesEndsAsTheAnswerDecides) {
    struct Case {
        const char* name;
        bool tick;  // else untick a registered box
        RegistryResult refusal;
        bool canElevate;
        Answer answer;
        int box;
        const char* why;  // the message's reason, "" for none: cases with the same reason show the same text
    };
    const RegistryResult denied = RegistryResult::AccessDenied, failed = RegistryResult::Failed;
    const Case cases[] = {
        {"written directly", true, RegistryResult::Done, true, Answer::None, 1, ""},
        {"approved", true, denied, true, Answer::Approve, 1, ""},
        {"declined", true, denied, true, Answer::Decline, 0, "declined"},
        {"elevated run refused too", true, denied, true, Answer::ApproveButRefused, 0, "rights"},
        {"elevated run failed otherwise", true, denied, true, Answer::RunFails, 0, "failure"},
        {"prompt could not start", true, denied, true, Answer::NotStarted, 0, "not started"},
        {"already elevated, or UAC off", true, denied, false, Answer::None, 0, "rights"},
        {"another failure", true, failed, true, Answer::None, 0, "failure"},
        {"delete approved", false, denied, true, Answer::Approve, 0, ""},
        {"delete declined", false, denied, true, Answer::Decline, 1, "declined"},
        {"delete refused elevated", false, denied, true, Answer::ApproveButRefused, 1, "rights"},
        {"delete failed", false, failed, false, Answer::None, 1, "failure"},
    };
    std::map<std::string, std::wstring> textOf;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.platform.canElevate = c.canElevate;
        if (!c.tick) s.registry.values[{kAutostartRoot, kAutostartKey, kAutostartValueName}] = s.Command();
        s.Start();
        const std::size_t writesBefore = s.registry.written.size();
        s.registry.refusal = c.refusal;
        s.registry.refuseWrites = s.registry.refuseDeletes = c.refusal != RegistryResult::Done;
        s.platform.Click(s.form->Check1);

        const bool asks = c.answer != Answer::None;
        ASSERT_EQ(s.platform.elevationRequests.size(), asks ? 1u : 0u);
        if (asks) {
            EXPECT_EQ(s.platform.elevationRequests[0], c.tick ? L"/autostart:on" : L"/autostart:off");
            EXPECT_EQ(s.form->Check1.value(), c.tick ? 1 : 0);  // as the user set it, until the answer
            EXPECT_TRUE(s.platform.messages.empty());
            s.Respond(c.answer);
        }
        EXPECT_EQ(s.form->Check1.value(), c.box);
        EXPECT_EQ(s.Stored(), c.box ? std::optional(s.Command()) : std::nullopt);
        if (c.tick) {  // the refused try, then the elevated run's one write, if it ran
            const bool ran = c.answer == Answer::Approve || c.answer == Answer::ApproveButRefused;
            EXPECT_EQ(s.registry.written.size() - writesBefore, ran ? 2u : 1u);
        }
        ASSERT_EQ(s.platform.messages.size(), *c.why ? 1u : 0u);
        if (*c.why && !textOf.emplace(c.why, s.platform.messages[0]).second) {
            EXPECT_EQ(s.platform.messages[0], textOf[c.why]);
        }
    }
    EXPECT_EQ(textOf.size(), 4u);  // each reason has a text of its own
    for (const auto& [why, text] : textOf)
        for (const auto& [other, otherText] : textOf) EXPECT_TRUE(why == other || text != otherText);
}

TEST(AutostartElevation, WhileTheRunIsUnderWayTheWindowGoesOnAndNoSecondOneStarts) {
    Session s;
    s.platform.canElevate = true;
    s.registry.refuseWrites = true;
    s.Start();
    s.platform.Click(s.form->Command1);
    s.platform.Click(s.form->Check1);
    ASSERT_TRUE(s.platform.ElevationPending());
    s.platform.Advance(3);
    EXPECT_EQ(s.form->Label1.caption(), L"00 : 00 : 03");
    s.platform.Click(s.form->Check1);  // the user tries again meanwhile
    EXPECT_EQ(s.form->Check1.value(), 1);
    EXPECT_EQ(s.platform.elevationRequests.size(), 1u);
    s.Respond(Answer::Approve);
    EXPECT_EQ(s.form->Check1.value(), 1);
    EXPECT_EQ(s.Stored(), s.Command());
}

TEST(AutostartElevation, StartupNeverAsksAndUpgradesAnOlderValueOnlyWhenItMayWrite) {
    for (bool mayWrite : {false, true}) {
        Session s;
        s.platform.canElevate = true;
        s.registry.refuseWrites = !mayWrite;
        const std::wstring older = test::Wide(s.dir.path()) + L"\\Czasomir.exe /auto";
        s.registry.values[{kAutostartRoot, kAutostartKey, kAutostartValueName}] = older;
        s.Start();
        EXPECT_EQ(s.form->Check1.value(), 1);
        EXPECT_TRUE(s.platform.elevationRequests.empty());
        EXPECT_TRUE(s.platform.messages.empty());
        EXPECT_EQ(s.Stored(), mayWrite ? s.Command() : older);
    }
}

TEST(AutostartElevation, TheElevatedModeTakesOnlyItsExactSwitches) {
    const std::wstring dir = L"C:\\Program Files\\Czasomir", mine = AutostartCommand(dir, L"Czasomir");
    struct Case {
        std::wstring arguments;
        std::optional<int> code;
        std::optional<std::wstring> stored;  // the value afterwards; it holds "other" before
    };
    const Case cases[] = {
        {L"/autostart:on", 0, mine},
        {L"  /autostart:on\t", 0, mine},
        {L"/autostart:off", 0, std::nullopt},
        {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, L"other"},
        {L"/autostart:on /autostart:off", 87, L"other"},
        {L"/autostart:\"C:\\Zły\\program.exe\"", 87, L"other"},
        {L"/AUTOSTART:ON", 87, L"other"},
        {L"/autostart", 87, L"other"},
        {L"/auto", std::nullopt, L"other"},
        {L"", std::nullopt, L"other"},
        {L"x /autostart:on", std::nullopt, L"other"},
    };
    for (const Case& c : cases) {
        FakeRejestr registry;
        registry.values[{kAutostartRoot, kAutostartKey, kAutostartValueName}] = L"other";
        EXPECT_EQ(RunAutostartSwitch(c.arguments, dir, L"Czasomir", registry), c.code) << c.arguments;
        auto it = registry.values.find({kAutostartRoot, kAutostartKey, kAutostartValueName});
        EXPECT_EQ(it == registry.values.end() ? std::nullopt : std::optional(it->second), c.stored) << c.arguments;
    }
    FakeRejestr failing;  // a failure other than a refusal for lack of rights
    failing.refuseWrites = true;
    failing.refusal = RegistryResult::Failed;
    EXPECT_EQ(RunAutostartSwitch(L"/autostart:on", dir, L"Czasomir", failing), 1);
}

}  // namespace
}  // namespace czasomir
