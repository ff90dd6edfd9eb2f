// The runtime's thread calls as the program defines them over Windows' locks:
// the once-only call runs its function once however many threads race to it,
// and lets none of them on before it is done; a mutex, also one initialised
// statically, admits one thread at a time; a thread's value goes to its key's
// destructor when the thread ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <pthread.h>

#include <tuple>

namespace {

pthread_once_t once = PTHREAD_ONCE_INIT;
pthread_mutex_t mutex = PTHREAD_MUTEX_INITIALIZER;
pthread_key_t key;
LONG runs = 0, sawRun = 0, inside = 0, overlaps = 0, sum = 0, ended = 0;

DWORD WINAPI Racer(void*) {
    const int done = pthread_once(&once, [] { Sleep(100), InterlockedIncrement(&runs); });
    if (done == 0 && runs == 1) InterlockedIncrement(&sawRun);  // run once, and done, for every thread
    for (int i = 0; i < 500; ++i) {
        pthread_mutex_lock(&mutex);
        overlaps += inside++ != 0;
        SwitchToThread();
        ++sum, --inside;
        pthread_mutex_unlock(&mutex);
    }
    pthread_setspecific(key, &ended);
    return 0;
}

TEST(RuntimeThreadCalls, OnceMutexAndKeyAsTheRuntimeCountsOnThem) {
    ASSERT_EQ(pthread_key_create(&key, [](void* value) { InterlockedIncrement(static_cast<LONG*>(value)); }), 0);
    HANDLE threads[8];
    for (HANDLE& thread : threads) thread = CreateThread(nullptr, 0, Racer, nullptr, 0, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(8, threads, TRUE, 20000), WAIT_OBJECT_0);
    for (HANDLE thread : threads) CloseHandle(thread);
    EXPECT_EQ(std::tuple(runs, sawRun, overlaps, sum, ended), std::tuple(1, 8, 0, 4000, 8));
}

}  // namespace
