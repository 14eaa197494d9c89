// Contract: the files that the program creates or opens for writing beside
// a database or a data-source file (locks, journal, copies, backups,
// settings), reached through the folder's own descriptor.
//
// A folder of databases is often shared: any user who may write it can put
// a link, a FIFO or a file of their own at a name the program is about to
// use, or swap one in between two calls. So:
//  - CFolder opens the folder once (the path the user gave, links in it
//    followed: the user named it) and every call below names a file inside
//    it by its bare name, relative to that descriptor: a folder renamed or
//    replaced meanwhile does not redirect the file.
//  - CreateNew creates the name exclusively (O_CREAT | O_EXCL): whatever
//    already holds the name, a dangling link included, is left alone and
//    the call fails with EEXIST. A link at the name is never followed.
//  - OpenOwn opens an existing name, or creates it when missing, without
//    following a link at the name (ELOOP), without waiting on a FIFO
//    (O_NONBLOCK, cleared once open), and keeps the descriptor only for a
//    regular file that the effective user owns (else EPERM and nothing is
//    changed: O_TRUNC is never asked of the kernel, a caller empties the
//    file itself once it knows it is its own).
//  - The descriptors are close-on-exec.
// Differences from the original platform: Windows' CreateFile has no links
// to follow in these folders, and the original took none of these cares.
#pragma once

#include <sys/types.h>

#include <string>

class CFolder {
 public:
  // The folder that holds `path` (see FolderOf), opened for look-ups.
  static CFolder Of(const std::string& path);
  explicit CFolder(const std::string& folder);
  ~CFolder();
  CFolder(CFolder&& other) noexcept;
  CFolder(const CFolder&) = delete;
  CFolder& operator=(const CFolder&) = delete;
  CFolder& operator=(CFolder&&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  int fd() const { return m_fd; }

  // Each gives a descriptor (the caller's to close) or -1 with errno set.
  int CreateNew(const std::string& name, int flags, mode_t mode) const;
  int OpenOwn(const std::string& name, int flags, mode_t mode) const;

 private:
  int m_fd = -1;
};

// The last part of `path`: the name CFolder::Of(path) finds it under.
std::string NameOf(const std::string& path);
