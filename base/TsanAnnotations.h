#pragma once

// Qt's event queues hand objects between threads through Qt's own locks,
// which ThreadSanitizer cannot see when Qt is not built with it. Code that
// posts an event across threads marks the hand-over at both ends, so the
// sanitizer knows that everything the poster did happens before the
// receiver's handling (and the freeing of the event). Both are no-ops in
// other builds.

#if defined(__SANITIZE_THREAD__)
#define VELLUMO_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELLUMO_TSAN 1
#endif
#endif

#ifdef VELLUMO_TSAN
#include <sanitizer/tsan_interface.h>
inline void AnnotateHandOver(const void* object) { __tsan_release(const_cast<void*>(object)); }
inline void AnnotateTakeOver(const void* object) { __tsan_acquire(const_cast<void*>(object)); }
#else
inline void AnnotateHandOver(const void*) {}
inline void AnnotateTakeOver(const void*) {}
#endif
