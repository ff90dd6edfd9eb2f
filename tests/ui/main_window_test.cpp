// The stopwatch as the user drives it: startup, Start/Stop, reset, saves, closing.
#include <gtest/gtest.h>

#include "tests/support.h"

namespace czasomir::test {
namespace {

TEST(Startup, ShowsTheStoredTotalOrCreatesZeroWithCountingOff) {
    for (const auto& [content, display] : {std::pair<std::optional<std::string>, const wchar_t*>{std::nullopt, L"00 : 00 : 00"},
                                           {"3725\r\n", L"01 : 02 : 05"}, {"  42 junk", L"00 : 00 : 00"}}) {
        MainWindow w;
        Form1& f = w.Start(content);
        EXPECT_EQ(w.Display(), display);
        EXPECT_EQ(w.Saved(), content.value_or("0\r\n"));
        EXPECT_EQ(f.Command1.caption(), L"Start");
        EXPECT_TRUE(f.visible());
        EXPECT_EQ(w.platform.FocusedControl(), &f.Command1);
        w.platform.Advance(5);
        EXPECT_EQ(w.Display(), display);
    }
}

TEST(Counting, WholeSecondsOfTheTicksAreAddedAndKeptAtStop) {
    MainWindow w;
    Form1& f = w.Start("59\r\n");
    w.platform.now += 0.4;
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Command1.caption(), L"Stop");
    EXPECT_EQ(w.Display(), L"00 : 00 : 59");  // until the first tick
    w.platform.Advance(0.2);
    EXPECT_EQ(w.Display(), L"00 : 01 : 00");  // 10:00:00.6 is 10:00:01 in whole seconds
    w.platform.Advance(3.1);
    w.platform.Click(f.Command1);
    EXPECT_EQ(f.Command1.caption(), L"Start");
    w.platform.Advance(10);
    EXPECT_EQ(w.Display(), L"00 : 01 : 03");
    w.platform.Click(f.Command1);  // a second run goes on from there
    w.platform.Advance(2.05);
    EXPECT_EQ(w.Display(), L"00 : 01 : 05");
}

TEST(Counting, AnOverflowingTickLeavesTheLastGoodTotal) {
    MainWindow w;
    Form1& f = w.Start("2147483646\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(6);
    EXPECT_EQ(w.Display(), L"596523 : 14 : 07");
    w.platform.Close(f);
    EXPECT_EQ(w.Saved(), "2147483647\r\n");
}

TEST(Reset, ShowsZeroAndCountingGoesOnFromThere) {
    MainWindow w;
    Form1& f = w.Start("5000\r\n");
    w.platform.Click(f.Command1);
    w.platform.Advance(3.1);
    w.platform.Choose(f.mnuPlikZresetuj, f);
    EXPECT_EQ(w.Display(), L"00 : 00 : 00");
    EXPECT_EQ(w.Saved(), "5000\r\n");  // saved at the next save only
    w.platform.Advance(2);
    EXPECT_EQ(w.Display(), L"00 : 00 : 02");
    w.platform.Click(f.Command1);
    w.platform.Choose(f.mnuPlikZresetuj, f);
    w.platform.Close(f);
    EXPECT_EQ(w.Saved(), "0\r\n");
}

TEST(PeriodicSave, Every65535MsAndAFailedSaveIsMadeLater) {
    MainWindow w;
    Form1& f = w.Start("7\r\n");
    Write(w.dir / "czas.dat", "junk");
    w.platform.Advance(65.534);
    EXPECT_EQ(w.Saved(), "junk");
    w.platform.Advance(0.002);
    EXPECT_EQ(w.Saved(), "7\r\n");
    w.platform.Click(f.Command1);
    fs::create_directory(w.dir / "czas.dat.new");  // the next save cannot write its new file
    w.platform.Advance(65.535);
    EXPECT_EQ(w.Saved(), "7\r\n");
    fs::remove(w.dir / "czas.dat.new");
    w.platform.Advance(65.535);
    EXPECT_EQ(w.Saved(), "138\r\n");
}

// Close box and File > Close: save, take the icon away, end; a save that fails does not keep the program.
TEST(Closing, SavesRemovesTheIconAndEndsEvenWhenTheSaveFails) {
    for (bool menu : {false, true}) {
        for (bool failing : {false, true}) {
            MainWindow w(L"/auto");
            Form1& f = w.Start("10\r\n");
            if (failing) fs::create_directory(w.dir / "czas.dat.new");
            w.platform.Advance(3.15);
            menu ? w.platform.Choose(f.mnuPlikZamknij, f) : w.platform.Close(f);
            w.platform.Close(f);  // nothing more is delivered once ended
            EXPECT_TRUE(w.platform.ended);
            EXPECT_EQ(w.Saved(), failing ? "10\r\n" : "13\r\n");
            EXPECT_EQ(w.TrayCalls(tk::TrayOp::Delete), 1);
        }
    }
}

TEST(Startup, AFolderThatCannotHoldCzasDatStillGivesAWorkingWindow) {
    MainWindow w;
    Write(w.dir / "plik", "not a folder");
    w.platform.appDirectory = w.dir / "plik";
    Form1& f = w.Start();
    w.platform.Click(f.Command1);
    w.platform.Advance(70.1);  // the periodic save fails; nothing breaks
    EXPECT_FALSE(w.platform.ended);
    EXPECT_EQ(w.Display(), L"00 : 01 : 10");
}

}  // namespace
}  // namespace czasomir::test
