// The autostart registration: the check box that keeps showing what the registry holds (this copy's command, quoted
// or in the older unquoted form, not switched off in Task Manager), the elevated run that makes a change the registry
// refuses for lack of rights, the elevated mode itself, and where each location registers.
#include <gtest/gtest.h>

#include "autostart/autostart_switch.h"
#include "tests/support.h"

namespace czasomir::test {
namespace {

using Name = MemoryRejestr::Name;
using Values = std::map<Name, MemoryRejestr::Value>;
using Bytes = std::vector<std::uint8_t>;
const Name kRun{kHkeyLocalMachine, kAutostartKey, kAutostartValueName}, kUserRun{kHkeyCurrentUser, kAutostartKey, kAutostartValueName},
    kApproval{kHkeyLocalMachine, kStartupApprovedKey, kAutostartValueName},
    kUserApproval{kHkeyCurrentUser, kStartupApprovedKey, kAutostartValueName};
const Bytes kOn{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, kOff{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const std::wstring kQuoted = L"\"C:\\Program Files\\Zegar\\Mój zegar.exe\" /auto",
                   kOlder = L"C:\\Program Files\\Zegar\\Mój zegar.exe /auto", kOther = L"\"C:\\Inny\\Czasomir.exe\" /auto";
constexpr RegistryResult kDone = RegistryResult::Done, kDenied = RegistryResult::AccessDenied, kFailed = RegistryResult::Failed;

// The program in its elevated mode, started for the request, answers it.
void Elevate(MainWindow& w, RegistryResult refusal = kDone) {
    ASSERT_EQ(w.platform.elevationRequests.size(), 1u);
    w.registry.refusal = refusal;
    const auto code = RunAutostartSwitch(w.platform.elevationRequests[0], ThisCopysAutostart(w.platform), w.registry);
    w.platform.AnswerElevation({tk::ElevatedRun::Ran, static_cast<unsigned long>(code.value_or(-1))});
}

// Windows and the user at the elevation prompt.
enum class Answer { None, Approve, ApproveButRefused, RunFails, Decline, NotStarted, NotProtected };

// A copy for every user (HKEY_LOCAL_MACHINE): what the Run value holds and what the registry answers, what the user
// does, and what the box, the value and a message show afterwards.
struct Case {
    const char* name;
    std::optional<std::wstring> before;
    RegistryResult refusal;              // what writes and deletes answer (Done: they happen)
    int clicks;
    int box;
    std::optional<std::wstring> after;
    bool canElevate = false;
    Answer answer = Answer::None;  // to the one elevation request that must come
    const char* why = "";           // the message's reason; the same reason, the same text
};

TEST(AutostartBox, TellsWhyAChangeDidNotHappen) {
    const Case cases[] = {
        {"OlderFormWithoutRightsNeitherAsksNorTells", kOlder, kDenied, 0, 1, kOlder, true},
        {"RefusedWithoutAPromptUnticksAndTells", {}, kDenied, 2, 0, {}, false, Answer::None, "rights"},
        {"FailedDeleteTicksAgain", kQuoted, kFailed, 1, 1, kQuoted, false, Answer::None, "failure"},
        {"Declined", {}, kDenied, 1, 0, {}, true, Answer::Decline, "declined"},
        {"ElevatedRunRefusedToo", {}, kDenied, 1, 0, {}, true, Answer::ApproveButRefused, "rights"},
        {"ElevatedRunFailed", {}, kDenied, 1, 0, {}, true, Answer::RunFails, "failure"},
        {"PromptCouldNotStart", kQuoted, kDenied, 1, 1, kQuoted, true, Answer::NotStarted, "not started"},
        {"OneChangeAtATime", {}, kDenied, 2, 1, kQuoted, true, Answer::Approve},  // clicked again while asking
        {"ElevatedRunFindsTheCopyUnprotected", {}, kDenied, 1, 0, {}, true, Answer::NotProtected, "not protected"},
    };
    std::map<std::wstring, std::string> reasonOf;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MainWindow w;
        w.platform.appDirectory = L"C:\\Program Files\\Zegar", w.platform.exeName = L"Mój zegar", w.platform.canElevate = c.canElevate;
        if (c.before) w.registry.values[kRun] = *c.before;
        w.registry.refusal = c.refusal;
        Form1& f = w.Start();
        for (int i = 0; i < c.clicks; ++i) w.platform.Click(f.Check1);
        ASSERT_EQ(w.platform.elevationRequests.size(), c.answer == Answer::None ? 0u : 1u);
        if (c.answer != Answer::None) {
            EXPECT_EQ(w.platform.elevationRequests[0], (c.box == 1) == (c.answer == Answer::Approve) ? L"/autostart:on" : L"/autostart:off");
            if (c.answer == Answer::Approve || c.answer == Answer::ApproveButRefused)
                Elevate(w, c.answer == Answer::Approve ? kDone : c.refusal);
            else
                w.platform.AnswerElevation({c.answer == Answer::Decline ? tk::ElevatedRun::Declined : c.answer == Answer::NotStarted ?
                                            tk::ElevatedRun::NotStarted : tk::ElevatedRun::Ran, c.answer == Answer::RunFails ? 1ul : kSwitchNotProtected});
        }
        EXPECT_EQ(f.Check1.value(), c.box);
        EXPECT_EQ(w.registry.values, c.after ? Values({{kRun, *c.after}}) : Values());  // nothing anywhere else
        ASSERT_EQ(w.platform.messages.size(), *c.why ? static_cast<std::size_t>(c.clicks) : 0u);  // one a try
        EXPECT_TRUE(!*c.why || reasonOf.emplace(w.platform.messages[0], c.why).first->second == c.why);  // no text for two reasons
    }
    EXPECT_EQ(reasonOf.size(), 5u);  // and no reason with two texts
}

// A copy for its user (HKEY_CURRENT_USER). The box for each Run value (none, this copy's quoted or in the older form,
// another's, this copy's in other letters) and Task Manager's value (none, on, off, 7, the single byte 3, empty,
// another type), then one click: unticking deletes both values, ticking registers and switches on.
TEST(AutostartBox, FollowsTaskManagersSwitchAndClickingSetsBothValues) {
    const std::optional<MemoryRejestr::Value> approvals[] = {{}, kOn, kOff, Bytes{7, 1}, Bytes{3}, Bytes{}, L"\x3"};
    for (int i = 0; i < 5 * 7; ++i) {
        const int run = i / 7, a = i % 7;
        SCOPED_TRACE(testing::Message() << "run " << run << ", approval " << a);
        MainWindow w;
        const std::wstring dir = w.platform.AppDirectory(), mine = AutostartCommand(dir, L"Czasomir");
        const std::wstring runs[] = {L"", mine, UnquotedAutostartCommand(dir, L"Czasomir"), kOther, AutostartCommand(dir, L"CZASOMIR")};
        if (run > 0) w.registry.values[kUserRun] = runs[run];
        if (approvals[a]) w.registry.values[kUserApproval] = *approvals[a];
        const bool off = a >= 2 && a <= 4, on = (run == 1 || run == 2) && !off;
        Form1& f = w.Start();
        EXPECT_EQ(f.Check1.value(), on ? 1 : 0);
        w.platform.Click(f.Check1);
        EXPECT_EQ(f.Check1.value(), on ? 0 : 1);
        Values after = on ? Values() : Values({{kUserRun, mine}});
        if (!on && approvals[a]) after[kUserApproval] = off ? kOn : *approvals[a];
        EXPECT_EQ(w.registry.values, after);
    }
}

// Where each location registers: ticking; a value left by an earlier version under each root (an older unquoted
// command: the startup's rewrite), unticked; the elevated mode started for it. After the start HKEY_LOCAL_MACHINE
// refuses this process, as it refuses a standard user; the elevated run may write there.
TEST(AutostartLocation, EveryUserOnlyFromAProtectedFolder) {
    const std::wstring pf = L"\\\\?\\C:\\Program Files\\Czasomir\\Czasomir.exe";
    const std::tuple<const char*, std::wstring, std::optional<std::wstring>, bool> cases[] = {
        {"ProgramFiles", L"C:\\Program Files\\Czasomir", pf, true}, {"ProgramFilesX86", L"C:\\Program Files (x86)\\Czasomir", {}, true},
        {"WindowsFolder", L"C:\\Windows\\Czasomir", {}, false}, {"OtherLetterCase", L"c:\\PROGRAM FILES\\Czasomir", pf, true},
        {"Downloads", L"C:\\Users\\Ola\\Downloads", {}, false}, {"NameBeginningAlike", L"C:\\Program Files2\\Czasomir", {}, false},
        {"ShortName", L"C:\\PROGRA~1\\Czasomir", pf, false}, {"ShortNameInside", L"C:\\Program Files\\CZASOM~1", pf, false},
        {"JunctionIntoProgramFiles", L"C:\\Users\\Ola\\Programy", pf, false},
        {"JunctionOutOfProgramFiles", L"C:\\Program Files\\Czasomir", L"\\\\?\\C:\\Users\\Ola\\Czasomir.exe", false},
        {"FinalPathUnknown", L"C:\\Program Files\\Czasomir", L"", false}};
    for (const auto& [name, folder, finalPath, everyUser] : cases) {
        const std::wstring mine = AutostartCommand(folder, L"Czasomir"), older = UnquotedAutostartCommand(folder, L"Czasomir");
        // The value left (none: the box is ticked), what the startup leaves, what the click leaves, whether it asks.
        const std::tuple<const Name*, Values, Values, bool> actions[] = {
            {nullptr, {}, {{everyUser ? kRun : kUserRun, mine}}, everyUser},
            {&kRun, {{kRun, everyUser ? mine : older}}, {}, true},
            {&kUserRun, {{kUserRun, everyUser ? older : mine}}, {}, false}};
        for (const auto& [legacy, started, clicked, asks] : actions) {
            SCOPED_TRACE(testing::Message() << name << (legacy ? legacy == &kRun ? ", machine's value" : ", user's value" : ""));
            MainWindow w;
            w.platform.appDirectory = folder, w.platform.finalExePath = finalPath, w.platform.canElevate = true;
            if (legacy) w.registry.values[*legacy] = older;
            Form1& f = w.Start();
            EXPECT_EQ(w.registry.values, started);
            w.registry.refusingRoot = kHkeyLocalMachine, w.registry.refusal = kDenied;
            w.platform.Click(f.Check1);
            ASSERT_EQ(w.platform.elevationRequests.size(), asks ? 1u : 0u);
            if (asks) Elevate(w);
            EXPECT_EQ(w.registry.values, clicked);
            EXPECT_EQ(f.Check1.value(), legacy ? 0 : 1);
        }
    }
}

// The elevated mode: exactly one switch makes its one change, for this copy only, and Task Manager's value with it;
// the installer's registers where the box would, the uninstaller's takes both roots' values, and is done when there is
// nothing to take.
TEST(AutostartSwitch, TakesOnlyItsExactSwitches) {
    const std::wstring dir = L"C:\\Program Files\\Czasomir", mine = AutostartCommand(dir, L"Czasomir");
    enum { Kept, On, Off, Removed };
    const std::tuple<std::wstring, std::optional<int>, int> cases[] = {
        {L"/autostart:on", 0, On}, {L"  /autostart:on\t", 0, On}, {L"/autostart:off", 0, Off},
        {L" /autostart:uninstall ", 0, Removed}, {L"/autostart:uninstall /auto", 87, Kept}, {L"/Autostart:Uninstall", 87, Kept},
        {L"/autostart:install", 0, On}, {L"/autostart:install x", 87, Kept},
        {L"/autostart:on \"C:\\Zły\\program.exe\"", 87, Kept}, {L"/autostart:on /autostart:off", 87, Kept},
        {L"/AUTOSTART:ON", 87, Kept}, {L"/autostart", 87, Kept}, {L"/auto", {}, Kept}, {L"", {}, Kept},
        {L"x /autostart:on", {}, Kept}};
    for (const std::optional<std::wstring>& before :
         {std::optional(UnquotedAutostartCommand(dir, L"Czasomir")), std::optional(kOther), std::optional<std::wstring>()}) {
        for (const auto& [arguments, code, change] : cases) {
            MemoryRejestr registry;
            if (before) registry.values = {{kRun, *before}, {kApproval, kOff}, {kUserRun, *before}, {kUserApproval, kOff}};
            const Values user = before ? Values({{kUserRun, *before}, {kUserApproval, kOff}}) : Values();
            Values expected = registry.values;  // another copy's values stay
            if (change == On) expected[kRun] = mine;
            if (change == On && before) expected[kApproval] = kOn;
            if (before != kOther && change == Off) expected = user;
            if (before != kOther && change == Removed) expected = {};
            EXPECT_EQ(RunAutostartSwitch(arguments, AutostartEntry(dir, L"Czasomir", true), registry), code) << arguments;
            EXPECT_EQ(registry.values, expected) << arguments;
        }
    }
    // Refused, failed, or asked of a copy outside a protected folder: the code tells which.
    for (const auto& [arguments, refusal, protectedCopy, code] :
         {std::tuple(L"/autostart:on", kFailed, true, 1), std::tuple(L"/autostart:uninstall", kDenied, true, 5),
          std::tuple(L"/autostart:on", kDone, false, kSwitchNotProtected)}) {
        MemoryRejestr failing;
        failing.values = {{kRun, mine}};
        failing.refusal = refusal;
        EXPECT_EQ(RunAutostartSwitch(arguments, AutostartEntry(dir, L"Czasomir", protectedCopy), failing), code) << arguments;
        EXPECT_EQ(failing.values, Values({{kRun, mine}})) << arguments;
    }
}

}  // namespace
}  // namespace czasomir::test
