// What the benchmarks that run Czasomir.exe beside a baseline program share:
// a clock, a median, and one run of a program, killed at the end, with its
// CPU time and memory.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Memory {
    double workingSetKb = 0, privateKb = 0;
    DWORD gdi = 0, user = 0;
};

class Run {
public:
    // Gives the program's window once it is ready, else null; asked every millisecond.
    using Ready = std::function<HWND(DWORD processId)>;

    // Starts `exe` (its path quoted, then `arguments`) with `folder` as its
    // current folder (empty: this process's), and waits up to `tries` times
    // for `ready`. readySeconds is the time from the start to then.
    Run(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder, const Ready& ready,
        int tries) {
        std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        const double start = Now();
        if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &info))
            return;
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        for (int i = 0; i < tries && !window_; ++i) {
            window_ = ready(info.dwProcessId);
            if (!window_) Sleep(1);
        }
        readySeconds = Now() - start;
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() {
        if (!process_) return;
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }

    // The window that `ready` gave; null when it never did.
    HWND window() const { return window_; }
    // Kernel and user time (Wine counts in steps of 10 ms).
    double CpuSeconds() const {
        FILETIME created, ended, kernel, user;
        if (!GetProcessTimes(process_, &created, &ended, &kernel, &user)) return 0;
        return Seconds(kernel) + Seconds(user);
    }
    Memory Measure() const {
        Memory m;
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
            m.workingSetKb = counters.WorkingSetSize / 1024.0;
            m.privateKb = counters.PrivateUsage / 1024.0;
        }
        m.gdi = GetGuiResources(process_, GR_GDIOBJECTS);
        m.user = GetGuiResources(process_, GR_USEROBJECTS);
        return m;
    }
    double readySeconds = 0;

private:
    static double Seconds(FILETIME t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    }
    HANDLE process_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace bench
