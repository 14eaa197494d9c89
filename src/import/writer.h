// Contract: a real Access file's model written into a jetdb database
// through the driver's public API, as it is read.
//
// What a caller may rely on:
//  - Writer is a Sink (access/sink.h): each table is created when its
//    definition arrives, its rows are written by one prepared INSERT under
//    write batching, its indexes are made once its rows are in (a unique
//    index that the rows break is reported, and the rows kept), and the
//    relations last. writeModel hands a whole Database to the same code.
//  - Nothing the driver cannot hold is dropped silently: notCarried() holds
//    the reader's own lines, then one French line for each thing the
//    writer could not carry or carried changed (a type written as the
//    nearest one, values changed, rows or indexes refused, a default value,
//    a descending key, a relation Access does not enforce, which is left
//    out since the driver enforces every relation, a cascade, an
//    AutoNumber seed the driver cannot keep).
//  - finish() makes the last table's indexes and the relations, commits,
//    and counts each table's rows in the file against the rows written;
//    false (with error()) when the database failed as a whole (a commit
//    refused, rows missing): the file is then not to be used.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "access/model.h"
#include "access/sink.h"
#include "import/column_plan.h"
#include "jetdb/jetdb.h"

namespace mdbimport {

class Writer : public mdbfile::Sink {
 public:
  explicit Writer(jetdb::Database& db);
  ~Writer() override;

  void begin(int jetVersion, int codePage) override;
  void table(const mdbfile::Table& definition) override;
  void row(mdbfile::Row row) override;
  void relation(const mdbfile::Relation& relation) override;
  void notCarried(const std::string& line) override;

  bool finish();
  const std::vector<std::string>& notCarried() const { return m_notCarried; }
  const std::string& error() const { return m_error; }
  std::size_t rowsWritten() const { return m_rowsWritten; }
  std::size_t tablesWritten() const { return m_written.size(); }

 private:
  struct Current;
  void endTable();
  void makeIndex(const mdbfile::Index& index);
  void makeRelation(const mdbfile::Relation& relation);
  void report(std::string line) { m_notCarried.push_back(std::move(line)); }
  std::string driverError() const;

  jetdb::Database& m_db;
  std::unique_ptr<Current> m_table;
  std::vector<mdbfile::Relation> m_relations;
  std::vector<std::pair<std::string, std::size_t>> m_written;  // rows written per table made
  std::vector<std::string> m_notCarried;
  std::string m_error;
  std::size_t m_rowsWritten = 0;
};

// The whole model through `writer`, then its finish().
bool writeModel(const mdbfile::Database& model, Writer& writer);

}  // namespace mdbimport
