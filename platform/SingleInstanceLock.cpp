#include "platform/SingleInstanceLock.h"

namespace sarn {

// TODO(foundation): the real lock.
SingleInstanceLock::SingleInstanceLock(QString name, QString directory)
    : path_(directory + u'/' + name) {}

SingleInstanceLock::~SingleInstanceLock() = default;

SingleInstanceLock::Result SingleInstanceLock::TryAcquire() {
    return Result::Acquired;
}

}  // namespace sarn
