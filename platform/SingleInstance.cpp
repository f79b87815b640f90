#include "platform/SingleInstance.h"

#include "platform/Folders.h"

#include <QLockFile>

namespace q9 {

SingleInstance::SingleInstance(const QString& lockPath)
    : lock_(std::make_unique<QLockFile>(lockPath.isEmpty() ? folders::runtimeFolder() + "q9zen.lock" : lockPath))
{
    lock_->setStaleLockTime(0); // stale only when its owner process is gone
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() { return lock_->isLocked() || lock_->tryLock(0); }

} // namespace q9
