// A database that went through the import's writer converts as any other:
// the sample at V2.0 turned into the model a real Access file would give,
// written by the writer, then converted to the end by the real program, as
// the sample itself is. No public Access file holds a Toquelin schema, so
// this is the chain's side of a real file: the reading side is the samples'
// test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <set>

#include "import/writer.h"
#include "test_support/updater_run.h"
#include "jet_days.h"

namespace mdbimport {
namespace {

using mdbfile::JetType;

JetType modelType(jetdb::JetType t) {
  switch (t) {
    case jetdb::JetType::Text: return JetType::Text;
    case jetdb::JetType::Memo: return JetType::Memo;
    case jetdb::JetType::Bit: return JetType::Boolean;
    case jetdb::JetType::Byte: return JetType::Byte;
    case jetdb::JetType::Short: return JetType::Integer;
    case jetdb::JetType::Single: return JetType::Single;
    case jetdb::JetType::Double: return JetType::Double;
    case jetdb::JetType::Currency: return JetType::Currency;
    case jetdb::JetType::DateTime: return JetType::DateTime;
    default: return JetType::Long;  // Long, Counter
  }
}

mdbfile::Value modelValue(const jetdb::Value& v, JetType t) {
  if (t == JetType::Boolean) return v.integer != 0;
  if (v.isNull()) return std::monostate{};
  switch (t) {
    case JetType::Text:
    case JetType::Memo: return v.text;
    case JetType::Single: return static_cast<float>(v.real);
    case JetType::Double: return v.real;
    case JetType::Currency: return mdbfile::Currency{std::llround(v.real * 10000)};
    case JetType::DateTime:
      return jetDays(v.integer);
    default: return static_cast<std::int32_t>(v.integer);
  }
}

// What the reader would give for an Access file holding this database.
mdbfile::Database asModel(jetdb::Database& db) {
  mdbfile::Database model;
  std::set<std::string> relationNames;
  for (const auto& name : db.tables()) {
    mdbfile::Table t;
    t.name = name;
    const auto indexes = db.indexes(name);
    const auto columns = db.columns(name);
    for (const auto& c : *columns) {
      mdbfile::Column m;
      m.name = c.name;
      m.type = modelType(c.type);
      m.size = c.type == jetdb::JetType::Text ? c.size : 0;
      m.autoNumber = c.type == jetdb::JetType::Counter;
      m.defaultValue = c.defaultValue;
      bool keyed = false;
      for (const auto& ix : indexes)
        for (const auto& k : ix.columns) keyed = keyed || ((ix.primary || ix.disallowNull) && k == c.name);
      m.required = !c.nullable && c.type != jetdb::JetType::Bit && !keyed;
      t.columns.push_back(m);
    }
    for (const auto& ix : indexes) {
      mdbfile::Index m{ix.name, {}, ix.primary, ix.unique || ix.primary, ix.ignoreNull, ix.disallowNull};
      for (const auto& k : ix.columns) m.columns.push_back({k, false});
      t.indexes.push_back(m);
    }
    auto q = db.query("SELECT * FROM [" + name + "]");
    std::int64_t highest = 0;
    while (q && q->next()) {
      mdbfile::Row row;
      for (std::size_t i = 0; i < t.columns.size(); ++i) {
        row.push_back(modelValue(q->value(i), t.columns[i].type));
        if (t.columns[i].autoNumber) highest = std::max(highest, q->value(i).integer);
      }
      t.rows.push_back(std::move(row));
    }
    for (const auto& c : t.columns)
      if (c.autoNumber) t.nextAutoNumber = highest + 1;
    model.tables.push_back(std::move(t));
    for (const auto& r : db.relations(name)) {
      if (!relationNames.insert(r.name).second) continue;
      mdbfile::Relation m{r.name, r.table, r.refTable, {}};
      for (std::size_t k = 0; k < r.columns.size(); ++k) m.columns.push_back({r.columns[k], r.refColumns[k]});
      model.relations.push_back(m);
    }
  }
  return model;
}

// A dump with what may rightly differ between two runs made alike: the
// relations' order in the catalog (the model lists them table by table,
// the file in the order they were made), and the dates a step stamps with
// the time it runs.
std::string comparable(const std::string& dump, const std::string& today) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < dump.size();) {
    const std::size_t end = std::min(dump.find('\n', at), dump.size());
    std::string line = dump.substr(at, end - at);
    for (std::size_t d = line.find("#" + today); d != std::string::npos; d = line.find("#" + today, d + 1))
      line.replace(d, today.size() + 10, "#<aujourd'hui>");
    lines.push_back(std::move(line));
    at = end + 1;
  }
  auto relation = [](const std::string& l) { return l.rfind("ALTER TABLE ", 0) == 0 && l.find(" FOREIGN KEY ") != std::string::npos; };
  for (auto it = lines.begin(); it != lines.end();) {
    auto last = std::find_if_not(it, lines.end(), relation);
    std::sort(it, last);
    it = last == it ? it + 1 : last;
  }
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// The first line where two dumps part, or "" when they are the same: a
// whole dump is too long for a failure's message.
std::string firstDifference(const std::string& a, const std::string& b) {
  std::size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
  if (at == a.size() && at == b.size()) return "";
  const std::size_t line = a.rfind('\n', at) == std::string::npos ? 0 : a.rfind('\n', at) + 1;
  return a.substr(line, std::min<std::size_t>(400, a.find('\n', at) - line)) + "\n  <>\n" +
         b.substr(line, std::min<std::size_t>(400, b.find('\n', at) - line));
}

std::string dumpOf(const std::string& file) {
  std::string out;
  const std::string command = std::string(JETSQL) + " --read-only '" + file + "' .dump";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[65536];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  EXPECT_EQ(pclose(p), 0) << file;
  return out;
}

TEST(ImportChain, TheSampleAtV20ThroughTheWriterConvertsAsTheSampleDoes) {
  TempDir templates;
  CopyTemplates(TEMPLATE_DIR, templates.path());
  UpdaterRun original(templates.path()), imported(templates.path());
  std::filesystem::copy_file(SAMPLE_DB, original.work() + "/Base.mdb");
  {
    jetdb::Error e;
    auto sample = jetdb::Database::open(SAMPLE_DB, jetdb::OpenMode::ReadOnly, e);
    ASSERT_TRUE(sample) << e.message;
    const mdbfile::Database model = asModel(*sample);
    auto db = jetdb::Database::open(imported.work() + "/Base.mdb", jetdb::OpenMode::Create, e);
    ASSERT_TRUE(db) << e.message;
    Writer writer(*db);
    ASSERT_TRUE(writeModel(model, writer)) << writer.error();
    EXPECT_EQ(writer.notCarried(), std::vector<std::string>{});
    EXPECT_GT(writer.rowsWritten(), 0u);
  }
  char today[16];
  const std::time_t now = std::time(nullptr);
  std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
  // Before the chain, the written database is the sample, as a dump says it.
  const std::string before = comparable(dumpOf(original.work() + "/Base.mdb"), today);
  ASSERT_GT(before.size(), 1u);
  EXPECT_EQ(firstDifference(comparable(dumpOf(imported.work() + "/Base.mdb"), today), before), "");

  for (UpdaterRun* run : {&original, &imported}) {
    std::filesystem::create_directories(run->work() + "/out");
    ASSERT_EQ(run->Run("--src Base.mdb --dest out/New.mdb"), 0) << run->stderrText();
  }
  const std::string after = comparable(dumpOf(original.work() + "/out/New.mdb"), today);
  EXPECT_NE(after, before);
  EXPECT_EQ(firstDifference(comparable(dumpOf(imported.work() + "/out/New.mdb"), today), after), "");
  EXPECT_EQ(imported.Journal(imported.work() + "/out"), original.Journal(original.work() + "/out"));
}

// A real Access file given to the program itself: one line that says what
// it is and how to bring it in, the failure's exit code, and nothing
// written, neither to it nor beside it.
TEST(ImportChain, ARealAccessFileAsSourceIsRefusedInOneLineAndLeftAsItWas) {
  const std::string sample = std::string(ACCESS_SAMPLES) + "/jackcess__testV2000.mdb";
  if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;
  TempDir templates;
  CopyTemplates(TEMPLATE_DIR, templates.path());
  UpdaterRun run(templates.path());
  std::filesystem::copy_file(sample, run.work() + "/Base.mdb");
  const auto before = FolderSnapshot(run.work());
  // The journal (Debug is on) is the run's own record; nothing else appears.
  auto besideTheJournal = [&] {
    auto files = FolderSnapshot(run.work());
    files.erase(run.work() + "/Updater.log");
    return files;
  };
  const std::string line = "la base source " + run.work() +
                           "/Base.mdb est un fichier Access (Jet 4, Access 2000 à 2003), que ce programme ne "
                           "convertit pas tel quel : importez-la d'abord avec « jetsql --import " + run.work() +
                           "/Base.mdb NOUVELLE.mdb », puis convertissez NOUVELLE.mdb";
  for (const char* args : {"--src Base.mdb", "--src Base.mdb --dest New.mdb", "--info --src Base.mdb"}) {
    SCOPED_TRACE(args);
    EXPECT_NE(run.Run(args), 0);
    EXPECT_NE((run.stdoutText() + run.stderrText()).find(line), std::string::npos)
        << run.stdoutText() << run.stderrText();
    EXPECT_TRUE(besideTheJournal() == before);
  }
  EXPECT_EQ(run.Run("--src Base.mdb"), kFailed);
}

}  // namespace
}  // namespace mdbimport
