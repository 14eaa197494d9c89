#include "child_process.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <exception>

ChildEnd RunInChild(const std::function<std::string()>& body, unsigned seconds) {
  int fds[2];
  if (pipe(fds) != 0) return {0, "no pipe to the child"};
  const pid_t child = fork();
  if (child < 0) return {0, "no child process"};
  if (child == 0) {
    close(fds[0]);
    alarm(seconds);
    // Nothing may leave the child but its report: an exception caught by the
    // test framework here would run the remaining tests a second time.
    std::string report;
    try {
      report = body();
    } catch (const std::exception& e) {
      report = std::string("threw: ") + e.what();
    } catch (...) {
      report = "threw";
    }
    for (std::size_t done = 0; done < report.size();) {
      const ssize_t n = write(fds[1], report.data() + done, report.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    _exit(0);
  }
  close(fds[1]);
  ChildEnd end;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) end.report.append(buffer, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  if (waitpid(child, &status, 0) == child && WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

std::string ProblemsInChild(const std::function<std::string()>& body, unsigned seconds) {
  ChildEnd end = RunInChild(body, seconds);
  if (end.signal != 0) end.report += std::string("[ended by signal: ") + strsignal(end.signal) + "]";
  return end.report;
}

std::optional<UserIds> Nobody() {
  const passwd* pw = getpwnam("nobody");
  if (pw == nullptr) return std::nullopt;
  return UserIds{pw->pw_uid, pw->pw_gid};
}

bool BecomeUser(const UserIds& user) {
  return setgroups(0, nullptr) == 0 && setresgid(user.gid, user.gid, user.gid) == 0 &&
         setresuid(user.uid, user.uid, user.uid) == 0;
}
