// The stopwatch as the user drives it: startup, Start/Stop, ticks, saves, reset, closing.
#include <gtest/gtest.h>

#include "tests/ui_main/fixture.h"

namespace czasomir::test {
namespace {

// --- Startup ----------------------------------------------------------------

TEST(Startup, MissingFileIsCreatedAndZeroShown) {
    MainWindow w;
    Form1& f = w.Start();
    EXPECT_GT(w.registry.calls, 0);  // the autostart box was set from the registry
    EXPECT_EQ(w.Saved(), "0\r\n");
    EXPECT_EQ(w.Display(), L"00 : 00 : 00");
    EXPECT_EQ(f.Command1.caption(), L"Start");
    EXPECT_FALSE(f.Timer1.enabled());
    EXPECT_TRUE(f.Timer2.enabled());
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(w.platform.FocusedControl(), &f.Command1);
}

TEST(Startup, StoredTotalIsShownWithCountingOff) {
    MainWindow w;
    Form1& f = w.Start("3725\r\n");
    EXPECT_EQ(w.Display(), L"01 : 02 : 05");
    EXPECT_EQ(f.Counter.StoredSeconds, 3725);
    w.platform.Advance(5);
    EXPECT_EQ(w.Display(), L"01 : 02 : 05");
}

TEST(Startup, SecondInstanceEndsBeforeTouchingAnything) {
    MainWindow w;
    w.platform.anotherInstance = true;
    Form1& f = w.Start();
    EXPECT_TRUE(w.platform.ended);
    EXPECT_FALSE(std::filesystem::exists(w.File()));
    EXPECT_EQ(w.registry.calls, 0);
    EXPECT_FALSE(f.visible());
    EXPECT_EQ(w.Display(), L"");
    EXPECT_TRUE(w.platform.trayCalls.empty());
}

TEST(Startup, SecondInstanceLeavesAnExistingFileByteForByte) {
    MainWindow w;
    w.platform.anotherInstance = true;
    w.Start("  42 junk");
    EXPECT_EQ(w.Saved(), "  42 junk");
}

TEST(Startup, FileThatCanBeNeitherReadNorCreatedStillGivesAWorkingWindow) {
    MainWindow w;
    WriteBytes(w.dir / "plik", "not a folder");
    w.platform.appDirectory = w.dir / "plik";  // czas.dat would have to live inside a file
    Form1& f = w.Start();
    EXPECT_EQ(w.Display(), L"00 : 00 : 00");
    EXPECT_TRUE(f.visible());
    w.platform.Click(f.Command1);
    w.platform.Advance(2.1);
    EXPECT_EQ(w.Display(), L"00 : 00 : 02");
    w.platform.Advance(70);  // the periodic save fails and is tried again; nothing breaks
    EXPECT_FALSE(w.platform.ended);
    EXPECT_EQ(w.Display(), L"00 : 01 : 12");
}

// --- Counting on and off ----------------------------------------------------

TEST(StartStop, CaptionAndTickTimerFollowEachOther) {
    MainWindow w;
    Form1& f = w.Start();
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Command1.caption(), L"Stop");
    EXPECT_TRUE(f.Timer1.enabled());
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Command1.caption(), L"Start");
    EXPECT_FALSE(f.Timer1.enabled());
}

TEST(StartStop, StartAndStopWithinOneTickAddNothing) {
    MainWindow w;
    Form1& f = w.Start("100\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(0.15);
    w.platform.Click(f.Command1);
    w.platform.Advance(5);
    EXPECT_EQ(f.Counter.StoredSeconds, 100);
    EXPECT_EQ(w.Display(), L"00 : 01 : 40");
}

TEST(StartStop, StopKeepsTheTotalOfTheLastTickExactly) {
    MainWindow w;
    Form1& f = w.Start("100\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(3.1);  // last tick at 3.0 s
    EXPECT_EQ(w.Display(), L"00 : 01 : 43");
    w.platform.Advance(0.15);  // no tick in between: the part-second is not added
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Counter.StoredSeconds, 103);
    w.platform.Advance(10);
    EXPECT_EQ(w.Display(), L"00 : 01 : 43");
    // A second run goes on from there.
    w.platform.Click(f.Command1);
    w.platform.Advance(2.05);
    EXPECT_EQ(w.Display(), L"00 : 01 : 45");
}

TEST(StartStop, DisplayKeepsTheOldTotalUntilTheFirstTick) {
    MainWindow w;
    Form1& f = w.Start("59\r\n");
    w.platform.now += 0.4;  // starts at 10:00:00.4, in whole seconds 10:00:00
    w.platform.Click(f.Command1);
    EXPECT_EQ(w.Display(), L"00 : 00 : 59");
    w.platform.Advance(0.2);
    EXPECT_EQ(w.Display(), L"00 : 01 : 00");  // 10:00:00.6 is 10:00:01 in whole seconds
}

TEST(StartStop, CountingCrossesMidnight) {
    MainWindow w;
    w.platform.now = 86400 - 10;
    Form1& f = w.Start();
    w.platform.Click(f.Command1);
    w.platform.Advance(20);
    EXPECT_EQ(w.Display(), L"00 : 00 : 20");
}

TEST(StartStop, OverflowingTickLeavesTheLastGoodTotalAndTheProgramRunning) {
    MainWindow w;
    Form1& f = w.Start("2147483646\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(1.1);
    EXPECT_EQ(w.Display(), L"596523 : 14 : 07");
    w.platform.Advance(5);  // every further tick overflows
    EXPECT_EQ(w.Display(), L"596523 : 14 : 07");
    EXPECT_FALSE(w.platform.ended);
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Command1.caption(), L"Start");
    w.platform.Close(f);
    EXPECT_EQ(w.Saved(), "2147483647\r\n");
}

// --- Reset ------------------------------------------------------------------

TEST(Reset, WhileCountingShowsZeroAndCountsOnFromZero) {
    MainWindow w;
    Form1& f = w.Start("5000\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(3.1);
    w.platform.Choose(f.mnuPlikZresetuj, f);
    EXPECT_EQ(w.Display(), L"00 : 00 : 00");
    EXPECT_EQ(f.Command1.caption(), L"Stop");
    EXPECT_EQ(w.Saved(), "5000\r\n");  // not saved until the next save
    w.platform.Advance(2.0);
    EXPECT_EQ(w.Display(), L"00 : 00 : 02");
}

TEST(Reset, WhileStoppedThenClosingWritesZero) {
    MainWindow w;
    Form1& f = w.Start("5000\r\n");
    w.platform.Choose(f.mnuPlikZresetuj, f);
    EXPECT_EQ(w.Display(), L"00 : 00 : 00");
    EXPECT_EQ(f.Command1.caption(), L"Start");
    w.platform.Close(f);
    EXPECT_EQ(w.Saved(), "0\r\n");
}

// --- The periodic save ------------------------------------------------------

TEST(PeriodicSave, WritesEvery65535MsWhetherCountingOrNot) {
    MainWindow w;
    Form1& f = w.Start("7\r\n");
    WriteBytes(w.File(), "junk");
    w.platform.Advance(65.534);
    EXPECT_EQ(w.Saved(), "junk");
    w.platform.Advance(0.002);
    EXPECT_EQ(w.Saved(), "7\r\n");  // counting is off: the same total again
    w.platform.Click(f.Command1);
    w.platform.Advance(65.535);
    EXPECT_EQ(w.Saved(), "72\r\n");
}

TEST(PeriodicSave, FailedSaveIsTriedAgainAtTheNextPeriod) {
    MainWindow w;
    Form1& f = w.Start("7\r\n");
    w.platform.Click(f.Command1);
    std::filesystem::create_directory(w.dir / "czas.dat.new");  // the save cannot write its new file
    w.platform.Advance(65.6);
    EXPECT_EQ(w.Saved(), "7\r\n");
    std::filesystem::remove(w.dir / "czas.dat.new");
    w.platform.Advance(65.535);
    EXPECT_EQ(w.Saved(), "138\r\n");
}

// --- Closing ----------------------------------------------------------------

TEST(Closing, CloseBoxWhileCountingSavesTheLastTickAndEnds) {
    MainWindow w;
    Form1& f = w.Start("10\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(3.15);
    w.platform.Close(f);
    EXPECT_TRUE(w.platform.ended);
    EXPECT_EQ(w.Saved(), "13\r\n");
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);  // asked even without a tray icon
}

TEST(Closing, FileCloseRunsTheSequenceOnce) {
    MainWindow w;
    Form1& f = w.Start("10\r\n");
    w.platform.Choose(f.mnuPlikZamknij, f);
    EXPECT_TRUE(w.platform.ended);
    EXPECT_EQ(w.Saved(), "10\r\n");
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);
    w.platform.Close(f);  // nothing more is delivered once the process ended
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);
}

TEST(Closing, FailedSaveStillRemovesTheIconAndEnds) {
    MainWindow w(L"/auto");
    Form1& f = w.Start("10\r\n");
    std::filesystem::create_directory(w.dir / "czas.dat.new");
    w.platform.Advance(3.1);
    w.platform.Choose(f.mnuPlikZamknij, f);
    EXPECT_TRUE(w.platform.ended);
    EXPECT_EQ(w.Saved(), "10\r\n");  // the last good total is intact
    EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);
}

}  // namespace
}  // namespace czasomir::test
