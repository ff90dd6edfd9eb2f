// The session's state when the lock watch begins, read from what
// WTSQuerySessionInformationW answers: a WTSINFOEXW as Microsoft documents it
// (mingw-w64's headers lack it), freed once; nothing known without both functions or an answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include <windows.h>
#include <wtsapi32.h>

#include "platform/toolkit_win.h"

namespace {

// The level at 0; level 1 (8-byte aligned) from 8: the session, its state at 12 and flags at 16; then names and times.
DWORD answer[58];  // 232 bytes
constexpr DWORD kLock = 0, kUnlock = 1, kUnknown = 0xFFFFFFFF;  // WTS_SESSIONSTATE_*
bool answers;
int asked, freed;

BOOL WINAPI Query(HANDLE, DWORD, int info, LPWSTR* buffer, DWORD* bytes) {
    ++asked, *buffer = reinterpret_cast<LPWSTR>(&answer), *bytes = sizeof answer;
    return answers && info == 25;  // WTSSessionInfoEx
}
void WINAPI Free(PVOID buffer) { freed += buffer == &answer; }

TEST(SessionAtStart, FromTheAnswerAsDocumented) {
    const struct { DWORD state, flags; bool windows8, answers, canFree; std::tuple<bool, bool, int, int> told; } cases[] = {
        {WTSActive, kLock, true, true, true, {false, true, 1, 1}},
        {WTSActive, kUnlock, false, true, true, {false, true, 1, 1}},  // the Windows version passed on (the flags: core's table)
        {WTSDisconnected, kUnknown, true, true, true, {true, false, 1, 1}},
        {WTSActive, kLock, true, false, true, {false, false, 1, 0}},
        {WTSActive, kLock, true, true, false, {false, false, 0, 0}}};
    for (const auto& c : cases) {
        std::fill(std::begin(answer), std::end(answer), 0), answer[0] = 1, answer[3] = c.state, answer[4] = c.flags;
        answers = c.answers, asked = freed = 0;
        const auto at = tk::win::QuerySessionAtStart(Query, c.canFree ? Free : nullptr, c.windows8);
        EXPECT_EQ(std::tuple(at.disconnected, at.locked, asked, freed), c.told) << c.state << c.flags << c.answers << c.canFree;
    }
}

}  // namespace
