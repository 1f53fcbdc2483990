#pragma once

#include <string>

// Keeps a second copy of the program from running for the same user. The lock is an flock on a
// file in the runtime directory, so the kernel releases it when the holder dies, however it dies.

// The lock file for `name`: $XDG_RUNTIME_DIR/<name>.lock, or /tmp/<name>-<uid>.lock without one.
std::string instanceLockPath(const std::string& name);

// True when this process now holds the lock (it keeps it until it exits); false when another
// process holds it or it cannot be taken.
bool acquireInstanceLock(const std::string& path);
