// mdbdump: prints what a real Access file holds, as the import reads it.
//
//   mdbdump [--codepage N] [--schema] FILE.mdb
//
// The tables with their columns (Jet type as Access spells it), indexes and
// AutoNumber seed, every row unless --schema, the relations, and the lines
// of what an import cannot carry. Exit 0 when the file is read whole, 1
// when something cannot be carried, 2 when the file cannot be read (the
// reason on standard error, in one line).
#include <cstdio>
#include <cstring>
#include <string>

#include "access/access_file.h"

namespace {

void printTable(const mdbfile::Table& t, bool schema) {
  std::printf("TABLE [%s]", t.name.c_str());
  if (t.nextAutoNumber != 0) std::printf(" next AutoNumber %lld", static_cast<long long>(t.nextAutoNumber));
  std::printf(" (%zu rows)\n", t.rows.size());
  for (const auto& c : t.columns) {
    std::printf("  [%s] %s%s%s%s%s\n", c.name.c_str(), mdbfile::typeName(c).c_str(),
                c.required ? " NOT NULL" : "", c.autoGuid ? " auto" : "",
                c.allowZeroLength && !*c.allowZeroLength ? " no-empty-text" : "",
                c.defaultValue ? (" DEFAULT " + *c.defaultValue).c_str() : "");
  }
  for (const auto& i : t.indexes) {
    std::printf("  INDEX [%s]%s%s%s%s (", i.name.c_str(), i.primary ? " PRIMARY" : "",
                i.unique && !i.primary ? " UNIQUE" : "", i.ignoreNulls ? " IGNORE NULL" : "",
                i.required && !i.primary ? " DISALLOW NULL" : "");
    for (size_t k = 0; k < i.columns.size(); ++k) {
      std::printf("%s[%s]%s", k ? ", " : "", i.columns[k].column.c_str(),
                  i.columns[k].descending ? " DESC" : "");
    }
    std::printf(")\n");
  }
  if (schema) return;
  for (const auto& row : t.rows) {
    std::printf("  ROW");
    for (const auto& v : row) std::printf(" %s", mdbfile::valueText(v).c_str());
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  mdbfile::ReadOptions options;
  bool schema = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--codepage") == 0 && i + 1 < argc) {
      options.codePage = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--schema") == 0) {
      schema = true;
    } else if (path == nullptr && argv[i][0] != '-') {
      path = argv[i];
    } else {
      path = nullptr;
      break;
    }
  }
  if (path == nullptr) {
    std::fprintf(stderr, "usage : mdbdump [--codepage N] [--schema] FICHIER.mdb\n");
    return 2;
  }
  const mdbfile::ReadResult r = mdbfile::readAccessFile(path, options);
  if (!r.diagnostics.empty()) std::fprintf(stderr, "libmdb :\n%s\n", r.diagnostics.c_str());
  if (!r.database) {
    std::fprintf(stderr, "%s : %s\n", path, r.error.c_str());
    return 2;
  }
  const auto& db = *r.database;
  std::printf("Jet %d, page de code %d\n", db.jetVersion, db.codePage);
  for (const auto& t : db.tables) printTable(t, schema);
  for (const auto& rel : db.relations) {
    std::printf("RELATION [%s] [%s] -> [%s] (", rel.name.c_str(), rel.table.c_str(),
                rel.referencedTable.c_str());
    for (size_t k = 0; k < rel.columns.size(); ++k) {
      std::printf("%s[%s] = [%s]", k ? ", " : "", rel.columns[k].column.c_str(),
                  rel.columns[k].referencedColumn.c_str());
    }
    std::printf(")%s%s%s\n", rel.enforced ? "" : " not enforced",
                rel.cascadeUpdates ? " cascade updates" : "", rel.cascadeDeletes ? " cascade deletes" : "");
  }
  for (const auto& line : db.notCarried) std::fprintf(stderr, "%s\n", line.c_str());
  return db.notCarried.empty() ? 0 : 1;
}
