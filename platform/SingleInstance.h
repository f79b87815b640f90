#pragma once
// One running copy per user: a lock file in the runtime folder. A lock left by a copy that crashed
// is taken over (the lock records its owner's process).
#include <QString>

#include <memory>

class QLockFile;

namespace q9 {

class SingleInstance {
public:
    explicit SingleInstance(const QString& lockPath = QString());
    ~SingleInstance();
    // True when this process now owns the lock; false when another copy runs.
    bool acquire();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace q9
