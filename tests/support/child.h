#pragma once

#include <functional>

// What became of a child process that ran a piece of a test.
struct ChildEnd {
    bool timedOut = false; // still running when its time was up, so it was killed
    int signal = 0;        // the signal that ended it, if one did
    int exitCode = -1;     // its exit status when it ended by itself
};

// Runs `body` in a child process and returns how it ended; its return value is the exit status.
// After `seconds` the child is ended by SIGALRM, so a read that would wait forever fails the test
// instead of holding it up.
ChildEnd runInChild(const std::function<int()>& body, unsigned seconds = 10);
