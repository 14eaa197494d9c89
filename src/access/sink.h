// Where a reading goes, part by part: a file's tables arrive one at a time,
// each definition before its rows, then the relations and the lines of
// what cannot be carried. The child process writes them to its pipe; the
// parent collects them into a Database.
#pragma once

#include <string>

#include "access/model.h"

namespace mdbfile {

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void begin(int jetVersion, int codePage) = 0;
  virtual void table(const Table& definition) = 0;  // rows empty; the rows follow
  virtual void row(Row row) = 0;                     // of the last table
  virtual void relation(const Relation& relation) = 0;
  virtual void notCarried(const std::string& line) = 0;
};

class CollectSink : public Sink {
 public:
  void begin(int jetVersion, int codePage) override {
    m_db.jetVersion = jetVersion;
    m_db.codePage = codePage;
  }
  void table(const Table& definition) override { m_db.tables.push_back(definition); }
  void row(Row row) override { m_db.tables.back().rows.push_back(std::move(row)); }
  void relation(const Relation& relation) override { m_db.relations.push_back(relation); }
  void notCarried(const std::string& line) override { m_db.notCarried.push_back(line); }
  Database& database() { return m_db; }

 private:
  Database m_db;
};

}  // namespace mdbfile
