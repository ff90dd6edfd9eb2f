// The few thread calls that the C++ runtime makes when it handles exceptions
// (each thread's exception state, the emergency memory pool), done directly
// with Windows' own locks and fiber-local storage. The runtime asks for them
// by their POSIX names; defining them here keeps the rest of the static pthread
// library (threads, condition variables, read-write locks: some 24 KB) out of
// the exe. The program itself starts threads only through CreateThread.
#include <windows.h>

#include <pthread.h>

#include <cerrno>
#include <cstdint>

namespace {

static_assert(sizeof(pthread_mutex_t) == sizeof(SRWLOCK), "a mutex holds a slim reader/writer lock in place");

SRWLOCK* Lock(pthread_mutex_t* mutex) {
    // A statically initialised mutex holds -1 until first used; a lock in use
    // never holds -1 (its bits point to a wait block in user memory).
    InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(mutex), nullptr,
                                      reinterpret_cast<void*>(PTHREAD_MUTEX_INITIALIZER));
    return reinterpret_cast<SRWLOCK*>(mutex);
}

SRWLOCK onceLock = SRWLOCK_INIT;

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
    InitializeSRWLock(reinterpret_cast<SRWLOCK*>(mutex));
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t*) { return 0; }

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    AcquireSRWLockExclusive(Lock(mutex));
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    ReleaseSRWLockExclusive(Lock(mutex));
    return 0;
}

int pthread_once(pthread_once_t* once, void (*init)(void)) {
    if (InterlockedCompareExchange(once, 0, 0) != 0) return 0;
    AcquireSRWLockExclusive(&onceLock);
    if (*once == 0) {
        init();
        InterlockedExchange(once, 1);
    }
    ReleaseSRWLockExclusive(&onceLock);
    return 0;
}

// Fiber-local storage calls its destructor when a thread ends, as a key's should.
int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    const DWORD index = FlsAlloc(reinterpret_cast<PFLS_CALLBACK_FUNCTION>(destructor));
    if (index == FLS_OUT_OF_INDEXES) return EAGAIN;
    *key = index;
    return 0;
}

void* pthread_getspecific(pthread_key_t key) { return FlsGetValue(key); }

int pthread_setspecific(pthread_key_t key, const void* value) {
    return FlsSetValue(key, const_cast<void*>(value)) ? 0 : ENOMEM;
}

}  // extern "C"
