#include "core/app/instancelock.h"

#include "core/ledger/filestore.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string instanceLockPath(const std::string& dataDir) { return dataDir + INSTANCE_LOCK_NAME; }

InstanceLock acquireInstanceLock(const std::string& dataDir) {
    if (!ensureDirectory(dataDir))
        return InstanceLock::Failed;
    const int fd = ::open(instanceLockPath(dataDir).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return InstanceLock::Failed;
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int reason = errno;
        ::close(fd);
        errno = reason;
        return reason == EWOULDBLOCK ? InstanceLock::HeldByOther : InstanceLock::Failed;
    }
    return InstanceLock::Acquired; // the descriptor stays open for the life of the process
}
