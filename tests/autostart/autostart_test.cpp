// The Run value: the check box that keeps showing what the registry holds
// (this copy's command quoted, or in the older unquoted form), the elevated run that makes a change the registry refuses
// for lack of rights, and the elevated mode itself.
#include <gtest/gtest.h>

#include <set>

#include "autostart/autostart.h"
#include "autostart/autostart_switch.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

const std::tuple<RegistryRoot, std::wstring, std::wstring> kRun{kAutostartRoot, kAutostartKey, kAutostartValueName};

// Windows and the user at the elevation prompt.
enum class Answer { None, Approve, ApproveButRefused, RunFails, Decline, NotStarted };

// What the Run value holds and what the registry answers, what the user does,
// and what the box, the value and a message show afterwards.
struct Case {
    const char* name;
    std::optional<std::wstring> before;  // "$" stands for this copy's folder
    RegistryResult refusal;              // what writes and deletes answer (Done: they happen)
    int clicks;
    int box;
    std::optional<std::wstring> after;
    bool canElevate = false;
    Answer answer = Answer::None;  // to the one elevation request that must come
    const char* why = "";           // the message's reason; the same reason, the same text
};
const std::wstring kQuoted = L"\"$\\Mój zegar.exe\" /auto", kOlder = L"$\\Mój zegar.exe /auto",
                   kOther = L"\"C:\\Inny\\Czasomir.exe\" /auto";
constexpr RegistryResult kDone = RegistryResult::Done, kDenied = RegistryResult::AccessDenied,
                         kFailed = RegistryResult::Failed;

TEST(AutostartBox, ShowsWhatTheRegistryHoldsAndTellsWhyAChangeDidNotHappen) {
    const Case cases[] = {
        {"NoValue", {}, kDone, 0, 0, {}},
        {"ThisCopy", kQuoted, kDone, 0, 1, kQuoted},
        {"OlderUnquotedFormIsRewrittenQuoted", kOlder, kDone, 0, 1, kQuoted},
        {"OlderFormWithoutRightsNeitherAsksNorTells", kOlder, kDenied, 0, 1, kOlder, true},
        {"OtherLetterCase", L"\"$\\MÓJ ZEGAR.EXE\" /auto", kDone, 0, 0, L"\"$\\MÓJ ZEGAR.EXE\" /auto"},
        {"AnotherCopy", kOther, kDone, 0, 0, kOther},
        {"TickingStoresTheQuotedCommand", {}, kDone, 1, 1, kQuoted},
        {"TickingTakesOverAnotherCopy", kOther, kDone, 1, 1, kQuoted},
        {"UntickingDeletes", kQuoted, kDone, 1, 0, {}},
        {"RefusedWithoutAPromptUnticksAndTells", {}, kDenied, 2, 0, {}, false, Answer::None, "rights"},
        {"RefusedLeavesAnotherCopy", kOther, kDenied, 1, 0, kOther, false, Answer::None, "rights"},
        {"OtherFailureTells", {}, kFailed, 1, 0, {}, true, Answer::None, "failure"},
        {"FailedDeleteTicksAgain", kQuoted, kFailed, 1, 1, kQuoted, false, Answer::None, "failure"},
        {"ElevatedRunWrites", {}, kDenied, 1, 1, kQuoted, true, Answer::Approve},
        {"ElevatedRunDeletes", kQuoted, kDenied, 1, 0, {}, true, Answer::Approve},
        {"Declined", {}, kDenied, 1, 0, {}, true, Answer::Decline, "declined"},
        {"ElevatedRunRefusedToo", {}, kDenied, 1, 0, {}, true, Answer::ApproveButRefused, "rights"},
        {"ElevatedRunFailed", {}, kDenied, 1, 0, {}, true, Answer::RunFails, "failure"},
        {"PromptCouldNotStart", kQuoted, kDenied, 1, 1, kQuoted, true, Answer::NotStarted, "not started"},
        {"OneChangeAtATime", {}, kDenied, 2, 1, kQuoted, true, Answer::Approve},  // clicked again while asking
    };
    std::map<std::string, std::wstring> textOf;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        w.platform.exeName = L"Mój zegar";
        w.platform.canElevate = c.canElevate;
        auto here = [&](std::optional<std::wstring> text) {
            if (text && text->find(L'$') != std::wstring::npos) text->replace(text->find(L'$'), 1, Wide(w.dir.path));
            return text;
        };
        if (c.before) w.registry.values[kRun] = *here(c.before);
        w.registry.refusal = c.refusal;
        Form1& f = w.Start();
        for (int i = 0; i < c.clicks; ++i) w.platform.Click(f.Check1);
        ASSERT_EQ(w.platform.elevationRequests.size(), c.answer == Answer::None ? 0u : 1u);
        if (c.answer != Answer::None) {
            EXPECT_EQ(w.platform.elevationRequests[0], (c.box == 1) == (c.answer == Answer::Approve) ? L"/autostart:on" : L"/autostart:off");
            tk::ElevatedRun run{c.answer == Answer::Decline ? tk::ElevatedRun::Declined : tk::ElevatedRun::NotStarted};
            if (c.answer == Answer::RunFails) run = {tk::ElevatedRun::Ran, 1};
            if (c.answer == Answer::Approve || c.answer == Answer::ApproveButRefused) {  // the program in its elevated mode
                w.registry.refusal = c.answer == Answer::Approve ? kDone : c.refusal;
                const auto code = RunAutostartSwitch(w.platform.elevationRequests[0], Wide(w.dir.path), L"Mój zegar", w.registry);
                run = {tk::ElevatedRun::Ran, static_cast<unsigned long>(code.value_or(-1))};
            }
            w.platform.AnswerElevation(run);
        }
        EXPECT_EQ(f.Check1.value(), c.box);
        EXPECT_EQ(w.registry.ReadStringValue(kAutostartRoot, kAutostartKey, kAutostartValueName), here(c.after));
        EXPECT_EQ(w.registry.values.size(), c.after ? 1u : 0u);  // nothing written anywhere else
        ASSERT_EQ(w.platform.messages.size(), *c.why ? static_cast<std::size_t>(c.clicks) : 0u);  // one a try
        if (*c.why) {
            EXPECT_EQ(textOf.emplace(c.why, w.platform.messages[0]).first->second, w.platform.messages[0]);
        }
    }
    std::set<std::wstring> texts;
    for (const auto& [why, text] : textOf) texts.insert(text);
    EXPECT_EQ(texts.size(), 4u);  // each reason a text of its own
}

// The elevated mode: exactly one switch makes its one change, for this copy only.
TEST(AutostartSwitch, TakesOnlyItsExactSwitches) {
    const std::wstring dir = L"C:\\Program Files\\Czasomir", mine = AutostartCommand(dir, L"Czasomir");
    const std::tuple<std::wstring, std::optional<int>, std::optional<std::wstring>> cases[] = {
        {L"/autostart:on", 0, mine}, {L"  /autostart:on\t", 0, mine}, {L"/autostart:off", 0, {}},
        {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, L"other"}, {L"/autostart:on /autostart:off", 87, L"other"},
        {L"/AUTOSTART:ON", 87, L"other"}, {L"/autostart", 87, L"other"}, {L"/auto", {}, L"other"}, {L"", {}, L"other"},
        {L"x /autostart:on", {}, L"other"}};
    for (const auto& [arguments, code, stored] : cases) {
        MemoryRejestr registry;
        registry.values[kRun] = L"other";
        EXPECT_EQ(RunAutostartSwitch(arguments, dir, L"Czasomir", registry), code) << arguments;
        EXPECT_EQ(registry.values.count(kRun) ? std::optional(registry.values[kRun]) : std::nullopt, stored) << arguments;
    }
    MemoryRejestr failing;
    failing.refusal = RegistryResult::Failed;
    EXPECT_EQ(RunAutostartSwitch(L"/autostart:on", dir, L"Czasomir", failing), 1);
}

}  // namespace
}  // namespace czasomir::test
