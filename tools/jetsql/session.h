// A jetsql session: the database, opened read-only until a statement must
// write it, the output settings of the shell's commands, and the running
// of statements, commands and scripts with the errors they give.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "jetdb/jetdb.h"
#include "output.h"
#include "script.h"

namespace jetsql {

enum class Outcome { Done, Failed, Quit };

// How the file is opened: as the user asked with --create or --read-only,
// or else read-only until a statement writes.
enum class Access { WhenWritten, Create, ReadOnly };

class Session {
 public:
  // Null, with the error printed, when the file does not open.
  static std::unique_ptr<Session> open(const std::string& path, Access access, Output output);
  ~Session();

  // A statement, or a shell command when it starts with '.'.
  Outcome run(const std::string& piece);
  // Each piece of the script in turn, stopping at the first refused one
  // when `stopAtError`; a refused one is named by its line and, when set,
  // the script's file.
  Outcome runScript(std::string_view script, const std::string& file, bool stopAtError);

  jetdb::Database& db() { return *db_; }
  Output& output() { return output_; }
  // Prints "ERREUR ..." on standard error, with the piece of the script
  // that gave it.
  void fail(const std::string& message) const;
  void fail(const jetdb::Error& error) const;
  // A transaction is for writing: the file read-only until a write is
  // opened for writing before one begins, so that its writes are not made
  // on another connection. False when it stays read-only.
  bool writeFromNowOn() { return !opensOnWrite_ || openForWriting(); }
  // The shell's commands nest scripts (.read) this deep at most.
  int depth() const { return depth_; }

  // Ctrl-C: cancels the statement running in the session open now, if
  // any, and stops the script; safe in a signal handler.
  static void interruptRunning();
  // Whether it came since clearInterrupted().
  static bool interrupted();
  static void clearInterrupted();

  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

 private:
  Session(std::string path, bool opensOnWrite, std::unique_ptr<jetdb::Database> db, Output output);
  Outcome statement(const std::string& text);
  Outcome streamRows(jetdb::Query& q, const std::vector<std::string>& header);
  bool openForWriting();
  void setDatabase(std::unique_ptr<jetdb::Database> db);

  std::string path_;
  bool opensOnWrite_;  // open read-only until a statement writes
  std::unique_ptr<jetdb::Database> db_;
  Output output_;
  std::string context_;  // "à la ligne 3 de f.sql : SELECT ..." while a script runs
  int depth_ = 0;
};

}  // namespace jetsql
