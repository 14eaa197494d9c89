// Runs part of a test in a forked child process, for what the test process
// itself must not do: hang (opening a FIFO the blocking way), get killed, or
// give up root for good.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

struct ChildEnd {
  int signal = 0;      // the signal that ended the child, 0 when the body returned
  std::string report;  // what the body returned
};

// Runs `body` in a child that SIGALRM ends after `seconds`.
ChildEnd RunInChild(const std::function<std::string()>& body, unsigned seconds = 10);

// What went wrong in the child: the body's report (empty when each of its
// checks held), what it threw, and the signal that ended it when the body
// did not return (a hang ends it with SIGALRM).
std::string ProblemsInChild(const std::function<std::string()>& body, unsigned seconds = 10);

struct UserIds {
  uid_t uid;
  gid_t gid;
};

// The unprivileged user "nobody", when there is one.
std::optional<UserIds> Nobody();

// Makes the calling process that user for good, without supplementary groups.
bool BecomeUser(const UserIds& user);
