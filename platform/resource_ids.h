// Resource ids shared by the resource script and the code that loads them.
#pragma once

#define IDI_CZASOMIR 1    // the stopwatch: window icon, tray icon while counting, About box icon
#define IDR_BANNER 2      // BITMAP: the banner shown by the main window's Image1
#define IDI_CZASOMIR_STOPPED 4  // the stopwatch greyed: the tray icon while nothing is counted
