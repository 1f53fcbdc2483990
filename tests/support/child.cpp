#include "tests/support/child.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

ChildEnd runInChild(const std::function<int()>& body, unsigned seconds) {
    ChildEnd end;
    const pid_t pid = ::fork();
    if (pid < 0)
        return end;
    if (pid == 0) {
        ::alarm(seconds);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return end;
    if (WIFSIGNALED(status)) {
        end.signal = WTERMSIG(status);
        end.timedOut = end.signal == SIGALRM;
    } else if (WIFEXITED(status)) {
        end.exitCode = WEXITSTATUS(status);
    }
    return end;
}
