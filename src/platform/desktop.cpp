// Helper programs are started with posix_spawnp: no shell, no quoting.
#include "platform/desktop.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <string>

extern char** environ;

namespace platform {

pid_t SpawnProgram(const char* program, const char* argument) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        return -1;
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

const char* DesktopOpener() {
#if defined(__APPLE__)
    return "open";
#else
    return "xdg-open";
#endif
}

pid_t SpawnOpener(const char* path) {
    if (path[0] == '-') {
        const std::string relative = std::string("./") + path;
        return SpawnProgram(DesktopOpener(), relative.c_str());
    }
    return SpawnProgram(DesktopOpener(), path);
}

bool OpenerSucceeded(pid_t pid) {
    // About three seconds: an opener that hands the document on ends well
    // within that, and the user waits no longer than that for Finish.
    constexpr int kChecks = 150;
    const timespec pause = {0, 20 * 1000 * 1000};
    for (int i = 0; i < kChecks; ++i) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        if (ended < 0) {
            return true;  // not ours to wait for: nothing known against it
        }
        nanosleep(&pause, nullptr);
    }
    return true;
}

}  // namespace platform
