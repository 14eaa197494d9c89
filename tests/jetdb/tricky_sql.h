// Statements where a reader of Jet text that stops a string, a name or a
// date in the wrong place sees a ';' or a '?' that is not there, or misses
// one that is: the driver, jetsql's splitter and the ODBC driver's marker
// cutter must all read them alike. On the table of kTrickySchema.
#pragma once

#include <vector>

namespace jetdb::test {

inline constexpr const char* kTrickySchema =
    "CREATE TABLE [T] ([ID] LONG CONSTRAINT PK PRIMARY KEY, [NOM] TEXT(40), [JOUR] DATETIME, [a?b] TEXT(5))";

struct TrickySql {
  const char* text;
  int markers;       // the "?" parameters outside strings, names and dates
  bool rows;         // returns rows
  bool changesRows;  // INSERT, UPDATE, DELETE
};

inline const std::vector<TrickySql>& trickySql() {
  static const std::vector<TrickySql> kStatements = {
      {"SELECT [a?b], 'it''s ?;', \"say \"\"?\"\"\" FROM T WHERE ID = ?", 1, true, false},
      {"SELECT[ID]FROM T WHERE NOM='a;b' AND ID=?", 1, true, false},
      {"\tSELECT ID FROM T WHERE NOM = '#' OR ID IN (?, ?)", 2, true, false},
      {"SELECT ID FROM T WHERE JOUR = #2024-01-02 10:00:00# AND NOM <> \"[\"", 0, true, false},
      {"SELECT ID FROM T WHERE NOM = '''' OR NOM = '{fn ?}' OR ID = ?", 1, true, false},
      {"SELECT ID INTO [T2] FROM T WHERE ID > ?", 1, false, false},
      {"INSERT INTO T (ID, NOM) VALUES (?, '[?];')", 1, false, true},
      {"UPDATE T SET NOM = '#' WHERE ID = ? AND [a?b] IS NULL", 1, false, true},
      {"DELETE FROM T WHERE NOM = \"'\" AND ID = ?", 1, false, true},
      {"CREATE INDEX [IX;?] ON T ([NOM])", 0, false, false},
  };
  return kStatements;
}

}  // namespace jetdb::test
