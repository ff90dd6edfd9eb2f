// Czasomir.exe against the bare window in the same run, both without
// (minimal_window.exe) and with the themed common controls 6 that Czasomir
// uses (minimal_window_cc6.exe beside it), the latter the baseline of the aims:
//   - the file's size (aim: under 190 KB);
//   - time from process start to a visible window (median of N runs; aim:
//     within 1.2 times the themed bare window), and in tray mode to the icon
//     being in the notification area;
//   - CPU time while counting with the window shown, minimised, and hidden in
//     the tray, beside the minimal window idle and the minimal window ticking
//     a label every 200 ms;
//   - resident memory (working set; aim: within 512 KB of the themed bare
//     window), private bytes, GDI and USER objects, at the start of counting
//     and at the end (growth would be a leak).
// Prints each figure and its ratio to the baseline; nothing passes or fails.
//   runtime_bench <Czasomir.exe> <minimal_window.exe> [seconds per phase, 30] [runs, 10]
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_run.h"

namespace {

// Control ids of Czasomir's main window (in order of creation).
constexpr int kPicture1 = 2;
constexpr int kCommand1 = 4;

HWND TopWindowOf(DWORD pid, const wchar_t* className) {
    struct Search {
        DWORD pid;
        const wchar_t* className;
        HWND found;
    } search{pid, className, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            wchar_t name[64] = L"";
            GetClassNameW(w, name, 64);
            if (owner != s->pid || std::wcscmp(name, s->className) != 0) return TRUE;
            s->found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool TrayIconExists(HWND window, UINT id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

std::wstring FolderOf(const std::wstring& exe) {
    const auto slash = exe.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : exe.substr(0, slash);
}

enum class Until { Visible, TrayIcon };

// Ready once the program's window of that class is visible, or its tray icon is there.
bench::Run::Ready ReadyWhen(const wchar_t* className, Until until) {
    return [className, until, window = HWND{}](DWORD pid) mutable -> HWND {
        if (!window) window = TopWindowOf(pid, className);
        const bool ready = window && (until == Until::Visible ? IsWindowVisible(window) != FALSE
                                                              : TrayIconExists(GetDlgItem(window, kPicture1), 1));
        return ready ? window : nullptr;
    };
}

// One run of a program, started in its own folder and killed at the end.
class Run : public bench::Run {
public:
    Run(const std::wstring& exe, const wchar_t* className, const std::wstring& arguments, Until until)
        : bench::Run(exe, arguments, FolderOf(exe), ReadyWhen(className, until), 10000) {}
};

void Line(const char* what, double app, double baseline, const char* unit, const char* aim) {
    std::printf("%-40s Czasomir %10.1f %-3s  themed minimal %10.1f %-3s  ratio %6.2f  (aim %s)\n", what, app, unit,
                baseline, unit, baseline > 0 ? app / baseline : 0.0, aim);
}

double FileKb(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1024;
}

// CPU used by each run over the same stretch of time, in milliseconds.
std::vector<double> CpuOver(const std::vector<const Run*>& runs, DWORD ms) {
    std::vector<double> before;
    for (const Run* r : runs) before.push_back(r->CpuSeconds());
    Sleep(ms);
    std::vector<double> used;
    for (std::size_t i = 0; i < runs.size(); ++i) used.push_back((runs[i]->CpuSeconds() - before[i]) * 1000);
    return used;
}

void CpuLines(const char* what, const std::vector<double>& used, DWORD ms) {
    const double app = used[0], idle = used[1], ticking = used[2];
    std::printf("%-40s Czasomir %8.1f ms (%.2f%% of a core; aim < 0.1%%)  minimal idle %8.1f ms  minimal ticking %8.1f ms\n", what,
                app, app / ms * 100, idle, ticking);
    // A figure of 0 is less than the 10 ms that Wine counts in: no ratio then.
    std::printf("%-40s ratio to idle %6.2f (aim <= 2)  ratio to ticking %6.2f%s\n", "", idle > 0 ? app / idle : 0.0,
                ticking > 0 ? app / ticking : 0.0, idle > 0 && ticking > 0 ? "" : "  (a 0 is below the clock's 10 ms)");
}

void MemoryLine(const char* when, const bench::Memory& app, const bench::Memory& base, const bench::Memory& cc6) {
    std::printf("%-40s Czasomir %8.0f KB  themed minimal %8.0f KB  difference %+7.0f KB (aim <= +512)\n", when,
                app.workingSetKb, cc6.workingSetKb, app.workingSetKb - cc6.workingSetKb);
    std::printf("%-40s minimal without common controls 6 %8.0f KB: Czasomir %+7.0f KB beyond it\n", "",
                base.workingSetKb, app.workingSetKb - base.workingSetKb);
    // Wine reports neither private bytes nor GUI objects of another process: left out when zero.
    if (app.privateKb > 0)
        std::printf("%-40s private  %8.0f KB  minimal %8.0f KB\n", "", app.privateKb, base.privateKb);
    if (app.gdi + app.user > 0)
        std::printf("%-40s GDI objects %lu (minimal %lu), USER objects %lu (minimal %lu)\n", "", app.gdi, base.gdi,
                    app.user, base.user);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: runtime_bench <Czasomir.exe> <minimal_window.exe> [seconds per phase] [runs]\n");
        return 2;
    }
    const std::wstring app = argv[1], minimal = argv[2];
    const DWORD phaseMs = static_cast<DWORD>((argc > 3 ? std::wcstod(argv[3], nullptr) : 30.0) * 1000);
    const int runs = argc > 4 ? std::max(1, static_cast<int>(std::wcstol(argv[4], nullptr, 10))) : 10;
    const wchar_t* kApp = L"Czasomir.Form1";
    const wchar_t* kMinimal = L"MinimalWindow";

    const std::wstring minimalCc6 = FolderOf(minimal) + L"\\minimal_window_cc6.exe";  // may be missing

    // Start-up: the programs in turns, so that a slow stretch of the machine hits all of them.
    std::vector<double> appStart, trayStart, minimalStart, cc6Start;
    for (int i = 0; i < runs; ++i) {
        {
            Run r(minimal, kMinimal, L"", Until::Visible);
            if (r.window()) minimalStart.push_back(r.readySeconds * 1000);
        }
        {
            Run r(minimalCc6, kMinimal, L"", Until::Visible);
            if (r.window()) cc6Start.push_back(r.readySeconds * 1000);
        }
        {
            Run r(app, kApp, L"", Until::Visible);
            if (r.window()) appStart.push_back(r.readySeconds * 1000);
        }
        {
            Run r(app, kApp, L"/auto", Until::TrayIcon);
            if (r.window()) trayStart.push_back(r.readySeconds * 1000);
        }
    }
    std::printf("runs: %d; phases of %.0f s\n", runs, phaseMs / 1000.0);
    const double appKb = FileKb(app);
    std::printf("%-40s Czasomir %10.1f KB (%.0f bytes; aim < 190 KB: %s)  minimal %.1f KB, themed %.1f KB\n", "file size",
                appKb, appKb * 1024, appKb < 190 ? "met" : "missed", FileKb(minimal), FileKb(minimalCc6));
    if (appStart.empty() || minimalStart.empty() || cc6Start.empty()) {
        std::fprintf(stderr, "a window did not appear\n");
        return 1;
    }
    Line("start to visible window (median)", bench::Median(appStart), bench::Median(cc6Start), "ms", "<= 1.2");
    std::printf("%-40s minimal without common controls 6 %10.1f ms  Czasomir's ratio to it %6.2f\n", "",
                bench::Median(minimalStart), bench::Median(appStart) / bench::Median(minimalStart));
    Line("start to visible window (fastest)", *std::min_element(appStart.begin(), appStart.end()),
         *std::min_element(cc6Start.begin(), cc6Start.end()), "ms", "-");
    if (!trayStart.empty())
        Line("\"/auto\": start to tray icon (median)", bench::Median(trayStart), bench::Median(cc6Start), "ms", "-");
    else
        std::printf("\"/auto\": the tray icon never appeared\n");

    // Counting, shown then minimised, then hidden in the tray, beside the two baselines.
    Run idle(minimal, kMinimal, L"", Until::Visible);
    Run ticking(minimal, kMinimal, L"/tick", Until::Visible);
    Run cc6(minimalCc6, kMinimal, L"", Until::Visible);
    if (!idle.window() || !ticking.window()) {
        std::fprintf(stderr, "a window did not appear\n");
        return 1;
    }
    {
        Run a(app, kApp, L"", Until::Visible);
        if (!a.window()) {
            std::fprintf(stderr, "Czasomir's window did not appear\n");
            return 1;
        }
        SendMessageW(GetDlgItem(a.window(), kCommand1), BM_CLICK, 0, 0);
        Sleep(500);
        const bench::Memory appFirst = a.Measure(), idleFirst = idle.Measure(), cc6First = cc6.Measure();
        const std::vector<const Run*> three{&a, &idle, &ticking};
        CpuLines("CPU while counting, window shown", CpuOver(three, phaseMs), phaseMs);
        for (const Run* r : three) ShowWindow(r->window(), SW_MINIMIZE);
        Sleep(300);
        CpuLines("CPU while counting, window minimised", CpuOver(three, phaseMs), phaseMs);
        const bench::Memory appLast = a.Measure(), idleLast = idle.Measure(), cc6Last = cc6.Measure();
        MemoryLine("memory when counting began (shown)", appFirst, idleFirst, cc6First);
        MemoryLine("memory after both phases (minimised)", appLast, idleLast, cc6Last);
        std::printf("%-40s working set %+.0f KB, private %+.0f KB, GDI %+ld, USER %+ld\n", "Czasomir's growth meanwhile",
                    appLast.workingSetKb - appFirst.workingSetKb, appLast.privateKb - appFirst.privateKb,
                    static_cast<long>(appLast.gdi) - static_cast<long>(appFirst.gdi),
                    static_cast<long>(appLast.user) - static_cast<long>(appFirst.user));
    }
    {
        Run t(app, kApp, L"/auto", Until::TrayIcon);
        if (!t.window()) {
            std::fprintf(stderr, "\"/auto\": the tray icon did not appear\n");
            return 1;
        }
        Sleep(500);
        CpuLines("CPU while counting in the tray (hidden)", CpuOver({&t, &idle, &ticking}, phaseMs), phaseMs);
        MemoryLine("memory in the tray", t.Measure(), idle.Measure(), cc6.Measure());
    }
    return 0;
}
