#pragma once

#include <string>

// Keeps a second copy of the program from working on the same data. The lock is an flock on a
// file inside the data directory, so copies started with different environments still meet,
// and the kernel releases it when the holder dies, however it dies.

inline constexpr const char* INSTANCE_LOCK_NAME = ".lock";

// dataDir + ".lock".
std::string instanceLockPath(const std::string& dataDir);

enum class InstanceLock {
    Acquired,    // this process holds it until it exits
    HeldByOther, // another copy runs on this data
    Failed,      // the lock file cannot be opened or locked at all; errno tells why
};

// Creates the data directory (0700) and the lock file (0600) when they are missing.
InstanceLock acquireInstanceLock(const std::string& dataDir);
