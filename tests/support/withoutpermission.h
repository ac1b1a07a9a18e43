#pragma once
// Runs an attempt with the permission bits the test has just removed taking
// effect. Root ignores those bits, so as root the attempt runs in a child
// process that has become the unprivileged user "nobody".
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace velmora::testkit {

inline bool AttemptWithoutPermission(const std::function<bool()>& attempt) {
    if (::geteuid() != 0) return attempt();
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(2);
        ::_exit(attempt() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return true;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace velmora::testkit
