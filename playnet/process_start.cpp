// fork/exec of a detached program with one inherited descriptor.
//
// The launcher forks twice: the middle process forks the program and exits at once, so the
// program is adopted by init and this process never has to reap it. Between fork and exec
// only async-signal-safe calls are made; everything they need is prepared before the fork.
// The program's exec (or the failure of chdir/exec) is reported back through a pipe that is
// closed on exec: end of file means it runs, four bytes carry the errno otherwise.
#include "playnet/process_start.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace playnet {
namespace {

[[noreturn]] void reportAndExit(int errorPipe, int error) {
    // Nothing can be done if this write fails: the parent then sees "running".
    ssize_t n = write(errorPipe, &error, sizeof error);
    (void)n;
    _exit(127);
}

// Closes the descriptors first..last (inclusive, last below `limit` when close_range is
// missing).
void closeRange(int first, unsigned last, int limit) {
    if (static_cast<unsigned>(first) > last) return;
#ifdef SYS_close_range
    if (syscall(SYS_close_range, first, last, 0) == 0) return;
#endif
    for (int fd = first; fd < limit && static_cast<unsigned>(fd) <= last; ++fd) close(fd);
}

[[noreturn]] void runProgram(const char* dir, const char* path, char* const* argv,
                             char* const* envp, int inheritFd, int errorPipe, int fdLimit) {
    setsid();  // its own session: the lobby's terminal signals are not the game's
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    if (chdir(dir) != 0) reportAndExit(errorPipe, errno);
    // The error pipe must not sit where the socket goes.
    if (errorPipe == kInheritedFd) {
        int moved = fcntl(errorPipe, F_DUPFD_CLOEXEC, kInheritedFd + 1);
        if (moved < 0) reportAndExit(errorPipe, errno);
        errorPipe = moved;
    }
    if (inheritFd == kInheritedFd) {
        if (fcntl(inheritFd, F_SETFD, 0) != 0) reportAndExit(errorPipe, errno);
    } else if (dup2(inheritFd, kInheritedFd) < 0) {
        reportAndExit(errorPipe, errno);
    }
    // Nothing else of the lobby's (its hall connection above all) may leak into the program.
    closeRange(kInheritedFd + 1, static_cast<unsigned>(errorPipe) - 1, fdLimit);
    closeRange(errorPipe + 1, ~0U, fdLimit);
    execve(path, argv, envp);
    reportAndExit(errorPipe, errno);
}

}  // namespace

int StartDetached(const std::string& workingDir, const std::string& program,
                  const std::string& argv0, int inheritFd, const std::string& extraEnv) {
    // Everything the child needs, prepared before the fork.
    std::string path = program;
    if (path.empty() || path[0] != '/') path = workingDir + "/" + program;
    std::vector<char*> argv{const_cast<char*>(argv0.c_str()), nullptr};
    std::vector<char*> envp;
    for (char** e = environ; e && *e; ++e) envp.push_back(*e);
    envp.push_back(const_cast<char*>(extraEnv.c_str()));
    envp.push_back(nullptr);
    rlimit lim{};
    int fdLimit = 1024;
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY)
        fdLimit = static_cast<int>(lim.rlim_cur < 1048576 ? lim.rlim_cur : 1048576);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return errno;
    pid_t middle = fork();
    if (middle < 0) {
        int e = errno;
        close(pipeFds[0]);
        close(pipeFds[1]);
        return e;
    }
    if (middle == 0) {
        close(pipeFds[0]);
        pid_t child = fork();
        if (child < 0) reportAndExit(pipeFds[1], errno);
        if (child > 0) _exit(0);
        runProgram(workingDir.c_str(), path.c_str(), argv.data(), envp.data(), inheritFd,
                   pipeFds[1], fdLimit);
    }
    close(pipeFds[1]);
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    do {
        n = read(pipeFds[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    close(pipeFds[0]);
    if (n == static_cast<ssize_t>(sizeof error)) return error != 0 ? error : ECHILD;
    return 0;
}

}  // namespace playnet
