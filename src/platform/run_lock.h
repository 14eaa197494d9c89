// Contract: an exclusive lock between processes, held by an object.
//
// Acquire waits up to `timeoutSeconds` for the lock on `path` (creating the
// file if needed) and holds it until the object is destroyed or the
// process ends, whatever way it ends (the kernel releases an flock). It
// tells whether the lock is held, was still held by another process when
// the time ran out, or could not be taken at all (the file cannot be made).
// The last holder removes the file when it lets go, so that a run leaves
// nothing behind; a holder killed on the way leaves it to the next one.
//
// IsHeldElsewhere tells, without taking the lock and without creating the
// file, whether a holder other than this process's own locks has it: a
// look for a caller that only reports. A lock this process holds counts as
// held too.
#pragma once

#include <string>

class CRunLock {
 public:
  CRunLock() = default;
  ~CRunLock();
  CRunLock(const CRunLock&) = delete;
  CRunLock& operator=(const CRunLock&) = delete;

  enum class Result { Held, Busy, Unavailable };
  Result Acquire(const std::string& path, int timeoutSeconds);
  bool IsHeld() const { return m_fd >= 0; }

  static bool IsHeldElsewhere(const std::string& path);

 private:
  int m_fd = -1;
  std::string m_path;
};
