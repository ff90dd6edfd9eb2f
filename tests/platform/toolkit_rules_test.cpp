// Rules every backend keeps, shown on the headless one: check box clicks,
// disabled timers, failing handlers and the end of the process.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/headless.h"

namespace {

class TestForm : public tk::Form {
public:
    explicit TestForm(tk::Platform& p)
        : tk::Form(p, L"Test"),
          Check(*this, L"Check", {0, 0, 1000, 300}, 0),
          Button(*this, L"Button", {0, 400, 1000, 300}, 1),
          Fast(*this, L"Fast", 100, true),
          Slow(*this, L"Slow", 250, false) {}

    tk::CheckBox Check;
    tk::CommandButton Button;
    tk::Timer Fast, Slow;
};

class ToolkitRules : public ::testing::Test {
protected:
    tk::HeadlessPlatform platform;
    TestForm form{platform};
    void SetUp() override { form.show(); }
};

TEST_F(ToolkitRules, ProgramChangeOfACheckBoxRaisesClickAtOnceButTheSameValueDoesNot) {
    std::vector<int> seen;
    form.Check.onClick = [&] { seen.push_back(form.Check.value()); };
    form.Check.setValue(1);
    ASSERT_EQ(seen, std::vector<int>({1}));  // raised before setValue returned, with the new value
    form.Check.setValue(1);
    form.Check.setValue(2);
    form.Check.setValue(0);
    form.Check.setValue(0);
    EXPECT_EQ(seen, std::vector<int>({1, 2, 0}));
    platform.Click(form.Check);
    EXPECT_EQ(seen.back(), 1);
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(ToolkitRules, DisabledTimerDeliversNoTickNotEvenOneAlreadyOnItsWay) {
    int fast = 0, slow = 0;
    form.Fast.onTick = [&] { ++fast; };
    form.Slow.onTick = [&] { ++slow; };
    platform.Advance(1.0);
    EXPECT_EQ(fast, 10);
    EXPECT_EQ(slow, 0);

    form.Fast.setEnabled(false);
    platform.Advance(1.0);
    form.Fast.raiseTick();  // a tick the backend had already queued before the switch
    EXPECT_EQ(fast, 10);

    form.Slow.setEnabled(true);
    platform.Advance(1.0);
    EXPECT_EQ(slow, 4);
}

TEST_F(ToolkitRules, TimerDisabledByAnotherHandlerGetsNoFurtherTick) {
    int fast = 0;
    form.Fast.onTick = [&] { ++fast; };
    form.Slow.setEnabled(true);
    form.Slow.onTick = [&] { form.Fast.setEnabled(false); };
    platform.Advance(1.0);
    EXPECT_EQ(fast, 2);  // 0.1 and 0.2 s; the slow timer stopped it at 0.25 s
}

TEST_F(ToolkitRules, FailingHandlerStopsAtItsFailureAndLaterEventsStillArrive) {
    int before = 0, after = 0, clicks = 0;
    form.Button.onClick = [&] {
        ++before;
        throw std::runtime_error("disk full");
        ++after;  // never reached
    };
    form.Fast.onTick = [&] { throw std::out_of_range("overflow"); };
    form.Check.onClick = [&] { ++clicks; };
    platform.Click(form.Button);
    platform.Advance(0.35);
    platform.Click(form.Button);
    platform.Click(form.Check);
    EXPECT_EQ(before, 2);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(platform.ended);
}

TEST_F(ToolkitRules, EndingTheProcessInAHandlerStopsEveryFurtherEvent) {
    int ticks = 0, clicks = 0, unloads = 0, rest = 0;
    form.Fast.onTick = [&] { ++ticks; };
    form.Check.onClick = [&] { ++clicks; };
    form.onUnload = [&](int&) { ++unloads; };
    form.Button.onClick = [&] {
        platform.EndProcess();
        ++rest;
    };
    platform.Advance(0.25);
    platform.Click(form.Button);
    EXPECT_TRUE(platform.ended);
    platform.Advance(1.0);
    platform.Click(form.Check);
    platform.Close(form);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(rest, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(unloads, 0);
}

}  // namespace
