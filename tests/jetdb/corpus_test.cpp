// Runs the statements of the conversion steps, read from
// data/step_statements.txt, in order on one database: each "ok" line must
// apply, each "fail" line must be refused with its SQLSTATE and leave the
// database exactly as it was.
#include <fstream>
#include <sstream>

#include "test_db.h"

namespace jetdb::test {
namespace {

struct Line {
  int number = 0;
  std::string directive;  // setup, ok, fail
  std::string argument;   // "1-5", "27", a SQLSTATE, or empty
  std::string sql;
};

std::vector<Line> readCorpus() {
  std::ifstream in(std::string(JETDB_TEST_DATA) + "/step_statements.txt");
  std::vector<Line> out;
  std::string text;
  int n = 0;
  while (std::getline(in, text)) {
    ++n;
    if (text.empty() || text[0] == '#') continue;
    std::size_t bar = text.find(" | ");
    if (bar == std::string::npos) {
      ADD_FAILURE() << "line " << n << " has no ' | '";
      continue;
    }
    Line l;
    l.number = n;
    std::istringstream head(text.substr(0, bar));
    head >> l.directive >> l.argument;
    l.sql = text.substr(bar + 3);
    out.push_back(std::move(l));
  }
  return out;
}

std::string format(const std::string& sql, int value) {
  std::string out = sql;
  std::size_t at = out.find("%d");
  if (at != std::string::npos) out.replace(at, 2, std::to_string(value));
  return out;
}

// Everything a refused statement must leave untouched.
std::string snapshot(Database& db) {
  std::ostringstream out;
  for (const auto& t : db.tables()) {
    out << t << ":";
    auto columns = db.columns(t);
    for (const auto& c : *columns) out << " " << c.name << "/" << typeName(c.type) << c.size << c.nullable;
    for (const auto& ix : db.indexes(t)) out << " ix " << ix.name << ix.unique << ix.primary;
    for (const auto& r : db.relations(t)) out << " rel " << r.name;
    auto q = db.query("SELECT * FROM [" + t + "]");
    while (q && q->next())
      for (std::size_t i = 0; i < q->columns().size(); ++i) out << "|" << q->value(i).asText();
    out << "\n";
  }
  return out.str();
}

class StepCorpus : public DbTest {};

TEST_F(StepCorpus, EveryStepStatementAppliesInOrderAndRefusalsChangeNothing) {
  auto lines = readCorpus();
  ASSERT_GT(lines.size(), 200u);
  int applied = 0, refused = 0;
  for (const auto& l : lines) {
    SCOPED_TRACE("step_statements.txt:" + std::to_string(l.number));
    if (l.directive == "setup" || l.directive == "ok") {
      int from = 0, to = 0;
      bool formatted = !l.argument.empty();
      if (formatted && std::sscanf(l.argument.c_str(), "%d-%d", &from, &to) < 2) to = from = std::stoi(l.argument);
      for (int v = from; v <= to; ++v) {
        std::string sql = formatted ? format(l.sql, v) : l.sql;
        ASSERT_TRUE(db_->execute(sql)) << sql << "\n -> " << db_->lastError().state << " "
                                       << db_->lastError().message;
        ++applied;
      }
    } else if (l.directive == "fail") {
      std::string before = snapshot(*db_);
      EXPECT_FALSE(db_->execute(l.sql)) << l.sql;
      EXPECT_EQ(db_->lastError().state, l.argument) << l.sql << "\n -> " << db_->lastError().message;
      EXPECT_FALSE(db_->lastError().message.empty());
      EXPECT_EQ(snapshot(*db_), before) << l.sql;
      ++refused;
    } else {
      ADD_FAILURE() << "unknown directive " << l.directive;
    }
  }
  EXPECT_GT(refused, 20);

  // The converted file describes itself after a reopen, and holds what the
  // last steps did.
  std::string before = snapshot(*db_);
  reopen();
  EXPECT_EQ(snapshot(*db_), before);
  EXPECT_EQ(one("SELECT [Langue_1] FROM [Langue_System] WHERE [LIBELLE]='IDS_VERSION_DB'").text, "2.5.3.459");
  EXPECT_EQ(one("SELECT [MRGHAUT] FROM [FmtEtiquette] WHERE [ID]=1").integer, 4);  // 3.7 became a LONG
  EXPECT_EQ(one("SELECT COUNT(*) FROM [Categories] WHERE [PERE_ID]=26 OR [PERE_ID]=27").integer, 0);
  EXPECT_EQ(one("SELECT [PREEM_CATADDITIF] FROM [Ingredients]").integer, -1);
  EXPECT_EQ(db_->relations("RecetPreEmbal").size(), 6u);
}

}  // namespace
}  // namespace jetdb::test
