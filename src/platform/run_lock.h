// Contract: an exclusive lock between processes, held by an object.
//
// Acquire waits up to `timeoutSeconds` for the lock on `path` (creating the
// file if needed) and holds it until the object is destroyed or the
// process ends, whatever way it ends (the kernel releases an flock). It
// tells whether the lock is held, was still held by another process when
// the time ran out, was refused, or could not be taken at all (the folder
// cannot be reached, the file cannot be made).
// The last holder removes the file when it lets go, so that a run leaves
// nothing behind; a holder killed on the way leaves it to the next one.
//
// IsHeldElsewhere tells, without taking the lock and without creating the
// file, whether a holder other than this process's own locks has it: a
// look for a caller that only reports. A lock this process holds counts as
// held too.
//
// Lock files lie beside databases and data-source files, in folders other
// users may write. The file is reached through its folder's descriptor
// (folder_file.h) and never through a link: a link, a FIFO or anything but
// a regular file at the name is Refused, and nothing is created or changed
// anywhere. A regular file of another user at the name is that user's lock
// and is waited for like any other (opened read-only if need be: an flock
// needs no write permission). A new lock file is 0644, so that another
// user's run on the same database can wait for it too.
// The holder writes who it is into the file ("processus N, utilisateur U");
// while the lock is busy, `onWait` (when given) is called once with that
// text, as read from the file (control characters dropped, at most 200
// bytes), before the wait begins.
// Differences from the original platform: the original ran one conversion
// at a time by hand; these locks are our own.
#pragma once

#include <functional>
#include <string>

class CRunLock {
 public:
  CRunLock() = default;
  ~CRunLock();
  CRunLock(const CRunLock&) = delete;
  CRunLock& operator=(const CRunLock&) = delete;

  enum class Result { Held, Busy, Refused, Unavailable };
  Result Acquire(const std::string& path, int timeoutSeconds,
                 const std::function<void(const std::string& holder)>& onWait = {});
  bool IsHeld() const { return m_fd >= 0; }

  static bool IsHeldElsewhere(const std::string& path);

 private:
  int m_fd = -1;
  int m_folder = -1;
  std::string m_name;
};
