#include "platform/instancemarker.h"

#include <QDir>

namespace quintelle::platform {

InstanceMarker::InstanceMarker(const QString& name)
    : lock_(std::make_unique<QLockFile>(QDir::temp().filePath(name + QStringLiteral(".lock")))) {
    lock_->setStaleLockTime(0);
    lock_->tryLock(0);
}

bool InstanceMarker::held() const {
    return lock_->isLocked();
}

}  // namespace quintelle::platform
