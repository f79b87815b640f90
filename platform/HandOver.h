#pragma once
// Handing work or data to another thread through Qt's event queue. Qt hands a posted event over
// under its own locks, which ThreadSanitizer cannot see in a Qt that was not built with it; the
// marks below show it the hand-over (the sender releases the object once complete, the receiver
// acquires it before reading). Without the tool they are nothing.
#include <QEvent>

#include <functional>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

class QObject;

namespace q9 {

#if defined(__SANITIZE_THREAD__)
inline void markHandOver(const void* object) { __tsan_release(const_cast<void*>(object)); }
inline void markTakeOver(const void* object) { __tsan_acquire(const_cast<void*>(object)); }
#else
inline void markHandOver(const void*) {}
inline void markTakeOver(const void*) {}
#endif

// Runs `call` on the receiver's thread, from its event queue; dropped with the receiver if that
// goes first. The receiver's event() passes every event to runPostedCall first.
void postCall(QObject* receiver, std::function<void()> call);
// True when the event was a posted call, which has then run.
bool runPostedCall(QEvent* event);

} // namespace q9
