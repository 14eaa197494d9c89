// Writers of another process, for the tests of what readers and copies see:
// one killed in the middle of its work, one that holds the file with its
// last commits still in its write-ahead log.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "jetdb/jetdb.h"

// A child process opens `path` for writing and runs step(db, n) for
// n = 1, 2, ... until SIGKILL ends it, `millis` milliseconds later. False
// when there is no child.
inline bool KillWriterMidWork(const std::string& path, const std::function<void(jetdb::Database&, int)>& step,
                              int millis = 300) {
  const pid_t child = fork();
  if (child == 0) {
    jetdb::Error error;
    auto db = jetdb::Database::open(path, false, error);
    for (int n = 1; db; ++n) step(*db, n);
    _exit(1);
  }
  if (child < 0) return false;
  std::this_thread::sleep_for(std::chrono::milliseconds(millis));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  return true;
}

// A child process that inserts the rows 1 ... `rows` into [T] ([N]), each in
// its own commit, then keeps the file open until this object goes: its
// commits stay in its log meanwhile. The child then closes the file.
class LiveWriter {
 public:
  LiveWriter(const std::string& path, int rows) {
    int ready[2], go[2];
    if (pipe(ready) != 0) return;
    if (pipe(go) != 0) {
      close(ready[0]);
      close(ready[1]);
      return;
    }
    m_child = fork();
    if (m_child == 0) {
      close(ready[0]);
      close(go[1]);
      jetdb::Error error;
      auto db = jetdb::Database::open(path, false, error);
      bool ok = db != nullptr;
      for (int n = 1; ok && n <= rows; ++n) ok = db->insertRow("T", {{"N", jetdb::Value::of(n)}});
      const char answer = ok ? '1' : '0';
      char done = 0;
      if (write(ready[1], &answer, 1) == 1 && read(go[0], &done, 1) >= 0) db.reset();
      _exit(0);
    }
    close(ready[1]);
    close(go[0]);
    m_go = go[1];
    char answer = '0';
    m_ready = m_child > 0 && read(ready[0], &answer, 1) == 1 && answer == '1';
    close(ready[0]);
  }
  ~LiveWriter() { Finish(); }
  LiveWriter(const LiveWriter&) = delete;
  LiveWriter& operator=(const LiveWriter&) = delete;

  // Whether the rows are in and the child holds the file.
  bool ready() const { return m_ready; }
  // Lets the child close the file and waits for it.
  void Finish() {
    if (m_go >= 0) close(m_go);
    m_go = -1;
    if (m_child > 0) waitpid(m_child, nullptr, 0);
    m_child = -1;
  }

 private:
  pid_t m_child = -1;
  int m_go = -1;
  bool m_ready = false;
};
