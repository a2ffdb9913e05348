#pragma once

// Qt hands events between threads through its own futex-based locks, which
// the thread sanitizer cannot see. These annotations state the hand-over
// explicitly; they compile to nothing in other builds.
#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#define VELLUMET_TSAN_RELEASE(addr) __tsan_release(const_cast<void*>(static_cast<const void*>(addr)))
#define VELLUMET_TSAN_ACQUIRE(addr) __tsan_acquire(const_cast<void*>(static_cast<const void*>(addr)))
#else
#define VELLUMET_TSAN_RELEASE(addr) ((void)0)
#define VELLUMET_TSAN_ACQUIRE(addr) ((void)0)
#endif
