// Czasomir.exe against the smallest one-window Win32 program, in the same run:
// file size, time from start to a visible window, CPU time while it runs
// shown and minimised, and resident memory. Prints each figure and the ratio.
//   app_bench <Czasomir.exe> <minimal_window.exe> [seconds per phase, default 30]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_run.h"

namespace {

struct Found {
    DWORD pid;
    HWND window;
};

HWND VisibleWindowOf(DWORD pid) {
    Found found{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* f = reinterpret_cast<Found*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner != f->pid || !IsWindowVisible(w) || GetWindow(w, GW_OWNER)) return TRUE;
            f->window = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// A run of one program, until its first visible top-level window.
class Run : public bench::Run {
public:
    explicit Run(const std::wstring& exe) : bench::Run(exe, L"", L"", VisibleWindowOf, 2000) {}
};

double FileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<double>((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

void Report(const char* what, double app, double baseline, const char* unit) {
    std::printf("%-34s Czasomir %12.3f %-4s baseline %12.3f %-4s ratio %8.2f\n", what, app, unit, baseline, unit,
                baseline > 0 ? app / baseline : 0.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: app_bench <Czasomir.exe> <minimal_window.exe> [seconds per phase]\n");
        return 2;
    }
    const std::wstring app = argv[1], baseline = argv[2];
    const DWORD phaseMs = static_cast<DWORD>((argc > 3 ? std::wcstod(argv[3], nullptr) : 30.0) * 1000);

    const double appBytes = FileBytes(app);
    Report("file size", appBytes / 1024, FileBytes(baseline) / 1024, "KB");
    std::printf("Czasomir.exe size: %.0f bytes (%s the aim of 150 KB)\n", appBytes,
                appBytes <= 150 * 1024 ? "within" : "over");

    std::vector<double> appStarts, baseStarts;
    for (int i = 0; i < 5; ++i) {
        appStarts.push_back(Run(app).readySeconds);
        baseStarts.push_back(Run(baseline).readySeconds);
    }
    Report("start to visible window (median)", bench::Median(appStarts) * 1000, bench::Median(baseStarts) * 1000, "ms");

    Run a(app), b(baseline);
    if (!a.window() || !b.window()) {
        std::fprintf(stderr, "a window did not appear\n");
        return 1;
    }
    const double a0 = a.CpuSeconds(), b0 = b.CpuSeconds();
    Sleep(phaseMs);
    Report("CPU while shown", (a.CpuSeconds() - a0) * 1000, (b.CpuSeconds() - b0) * 1000, "ms");
    ShowWindow(a.window(), SW_MINIMIZE);
    ShowWindow(b.window(), SW_MINIMIZE);
    const double a1 = a.CpuSeconds(), b1 = b.CpuSeconds();
    Sleep(phaseMs);
    Report("CPU while minimised", (a.CpuSeconds() - a1) * 1000, (b.CpuSeconds() - b1) * 1000, "ms");
    Report("resident memory", a.Measure().workingSetKb, b.Measure().workingSetKb, "KB");
    return 0;
}
