// A database that went through the import's writer converts as any other:
// the sample at V2.0 turned into the model a real Access file would give,
// written by the writer, then converted to the end by the real program, as
// the sample itself is. No public Access file holds a Toquelin schema, so
// this is the chain's side of a real file: the reading side is the samples'
// test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "engine/access_source.h"
#include "engine/conversion.h"
#include "engine/detection.h"
#include "engine/plan.h"
#include "import/writer.h"
#include "shell/failure.h"
#include "steps/versions.h"
#include "test_support/journal_capture.h"
#include "sample_digest.h"
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

// The names between the parentheses of "N tables (A, B, …)", or none.
std::vector<std::string> namedTables(const std::string& line) {
  std::vector<std::string> names;
  const std::size_t open = line.find(" (", line.find(" table"));
  const std::size_t close = line.find(')', open);
  if (open == std::string::npos || close == std::string::npos) return names;
  const std::string list = line.substr(open + 2, close - open - 2);
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t comma = std::min(list.find(", ", at), list.size());
    if (std::string name = list.substr(at, comma - at); name != "…") names.push_back(name);
    at = comma + 2;
  }
  return names;
}

// The count the refusal gives: "elle contient N table(s)", 0 for "elle ne
// contient aucune table".
long countedTables(const std::string& line) {
  if (line.find("elle ne contient aucune table et ") != std::string::npos) return 0;
  const std::string marker = "elle contient ";
  const std::size_t at = line.find(marker);
  if (at == std::string::npos) return -1;
  return std::strtol(line.c_str() + at + marker.size(), nullptr, 10);
}

// Every public Access file given to the program itself: none is a Toquelin
// database, so each is refused in one line that says it is an Access file
// and what it holds (its tables, as the independent reader counts and names
// them), with the failure's code, in place, with a destination and in
// --info; the file is left byte for byte and nothing but the journal
// appears beside it. A truncated file and one of random bytes after a
// sound header are refused alike, and promptly (the reader's child has its
// limits).
TEST(ImportChain, RealAccessFilesThatAreNoToquelinDatabaseAreRefusedInOneLineAndLeftAsTheyWere) {
  if (!std::filesystem::is_directory(ACCESS_SAMPLES)) GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;
  const mdbdigest::Digest digest = mdbdigest::readDigest(ACCESS_DIGEST);
  TempDir templates;
  CopyTemplates(TEMPLATE_DIR, templates.path());
  std::vector<std::pair<std::string, std::string>> files;  // name, bytes
  for (const auto& entry : std::filesystem::directory_iterator(ACCESS_SAMPLES))
    if (entry.path().extension() == ".mdb") files.emplace_back(entry.path().filename(), ReadFile(entry.path()));
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 10u);
  const std::string whole = files.front().second;
  ASSERT_GT(whole.size(), 3u * 4096);
  // Cut at a page boundary (the header's own size check passes) and at a
  // byte inside a page, and a sound first page followed by noise.
  files.emplace_back("tronque-pages", whole.substr(0, 3 * 4096));
  files.emplace_back("tronque-octet", whole.substr(0, whole.size() - 100));
  std::string noise = whole.substr(0, 4096);
  std::srand(27);
  for (int i = 0; i < 40 * 4096; ++i) noise += static_cast<char>(std::rand() & 0xFF);
  files.emplace_back("bruit", noise);
  std::size_t withTables = 0;
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    // Without Debug, no journal and no summary: the one line is all.
    UpdaterRun run(templates.path(), false);
    WriteFile(run.work() + "/Base.mdb", bytes);
    const auto before = FolderSnapshot(run.work());
    const auto lines = digest.byFile.find(name);
    for (const char* args : {"--src Base.mdb", "--src Base.mdb --dest New.mdb"}) {
      SCOPED_TRACE(args);
      EXPECT_EQ(run.Run(args), kFailed);
      const std::string err = run.stderrText();
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
      EXPECT_EQ(err.rfind("updater : la base source " + run.work() + "/Base.mdb est un fichier Access (", 0), 0u)
          << err;
      EXPECT_TRUE(FolderSnapshot(run.work()) == before);
      if (lines == digest.byFile.end() || mdbdigest::refusedByDesign(name)) {
        EXPECT_EQ(err.find("Toquelin"), std::string::npos) << err;
        continue;
      }
      // Read whole: not a Toquelin database, and what it holds.
      EXPECT_NE(err.find(") mais pas une base Toquelin : elle "), std::string::npos) << err;
      std::set<std::string> tables;
      for (const auto& l : lines->second)
        if (l[0] == "T") tables.insert(l[2]);
      EXPECT_EQ(countedTables(err), static_cast<long>(tables.size())) << err;
      const auto named = namedTables(err);
      EXPECT_EQ(named.size(), std::min<std::size_t>(tables.size(), 5)) << err;
      for (const auto& table : named) EXPECT_TRUE(tables.count(table)) << table << " in " << err;
      withTables += tables.empty() ? 0 : 1;
    }
    // With Debug, the journal is the run's own record; nothing else appears.
    run.SetDebug(true);
    EXPECT_EQ(run.Run("--src Base.mdb"), kFailed);
    auto besideTheJournal = [&] {
      auto found = FolderSnapshot(run.work());
      found.erase(run.work() + "/Updater.log");
      return found;
    };
    EXPECT_TRUE(besideTheJournal() == before);
    EXPECT_NE(run.Journal(run.work()).find("Base source : fichier Access ("), std::string::npos);
    EXPECT_EQ(run.Run("--info --json --src Base.mdb"), kFailed);
    EXPECT_NE(run.stdoutText().find("\"outcome\": \"refused\""), std::string::npos) << run.stdoutText();
    EXPECT_NE(run.stdoutText().find("\"kind\": \"Jet "), std::string::npos) << run.stdoutText();
    EXPECT_TRUE(besideTheJournal() == before);
  }
  EXPECT_GE(withTables, 10u);
}

// The program's own path for a real Access source, fed by the import's
// writer: the file starts as a real Access file does (a public sample's
// bytes) and its import, instead of reading it, writes the V2.0 sample's
// model through the import's writer, with one item reported as not
// carried. The reading side is the samples' test; everything after it (the
// private folder, the backup that is the Access file itself, the swap, the
// note and the mark, the resume, the destination) is the real one.
class AccessRunTest : public ::testing::Test {
 protected:
  static constexpr const char* kNotCarried = "la requête enregistrée « Achats » n'est pas reprise";

  void SetUp() override {
    const std::string sample = std::string(ACCESS_SAMPLES) + "/jackcess__testV2000.mdb";
    if (!std::filesystem::exists(sample)) GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;
    m_access = ReadFile(sample);
    CopyTemplates(TEMPLATE_DIR, m_templates.path());
    WriteFile(m_source, m_access);
    SetAccessImporter([](const std::string&, const std::string& destination) {
      ImportResult r;
      jetdb::Error e;
      auto sample = jetdb::Database::open(SAMPLE_DB, jetdb::OpenMode::ReadOnly, e);
      auto db = sample ? jetdb::Database::open(destination, jetdb::OpenMode::Create, e) : nullptr;
      if (!db) {
        r.error = e.message;
        return r;
      }
      Writer writer(*db);
      if (!writeModel(asModel(*sample), writer)) {
        r.error = writer.error();
        return r;
      }
      r.outcome = Outcome::Partial;
      r.notCarried = {std::string(kNotCarried) + "."};
      r.tables = writer.tablesWritten();
      r.rows = writer.rowsWritten();
      return r;
    });
  }
  void TearDown() override { SetAccessImporter({}); }

  DbVersion Run(const std::string& dest, std::string* journal = nullptr) {
    JournalCapture capture;
    CString written(dest.c_str());
    const DbVersion reached = RunConversion(m_source.c_str(), written, m_templates.path().c_str());
    if (journal) *journal = capture.Text();
    return reached;
  }
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_work.path())) names.insert(entry.path().filename());
    return names;
  }
  // The names in the folder that hold the Access file's bytes.
  std::set<std::string> HoldingTheOriginal() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_work.path()))
      if (entry.is_regular_file() && ReadFile(entry.path()) == m_access) names.insert(entry.path().filename());
    return names;
  }
  // The sample itself converted the ordinary way, as a dump says it.
  std::string ReferenceDump(const std::string& today) {
    TempDir ordinary;
    const std::string source = ordinary.path() + "/Base.mdb", dest = ordinary.path() + "/New.mdb";
    std::filesystem::copy_file(SAMPLE_DB, source);
    CString written(dest.c_str());
    EXPECT_EQ(RunConversion(source.c_str(), written, m_templates.path().c_str()), ChainTarget());
    return comparable(dumpOf(dest), today);
  }
  DbVersion PeekVersion() const {
    CString why;
    return PeekDbVersion(m_source.c_str(), why);
  }
  static std::string Today() {
    char today[16];
    const std::time_t now = std::time(nullptr);
    std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
    return today;
  }

  TempDir m_work, m_templates, m_elsewhere;
  ScopedEnv m_odbcIni{"ODBCINI", m_elsewhere.path() + "/odbc.ini"};
  std::string m_source = m_work.path() + "/Base.mdb";
  std::string m_access;
};

// In place: the Access file, byte for byte and under its one name, is the
// backup of the documented name; the source's name holds the converted
// database, the same as the sample converted the ordinary way; the plan
// (as --info makes it) says all this and writes nothing beside the file.
TEST_F(AccessRunTest, InPlaceTheAccessFileIsTheBackupAndTheConvertedDatabaseTakesItsName) {
  const auto before = FolderSnapshot(m_work.path());
  const ConversionPlan plan = PlanConversion(m_source.c_str(), m_source.c_str(), m_templates.path().c_str(),
                                             ProbeLocks(m_source.c_str(), m_source.c_str()));
  ASSERT_TRUE(plan.access);
  EXPECT_EQ(plan.refusal, CString());
  EXPECT_EQ(plan.version, 2000);
  EXPECT_EQ(plan.reached, ChainTarget());
  EXPECT_EQ(plan.backup, CString((m_source + ".V2.0").c_str()));
  EXPECT_EQ(plan.access->kind, CString("Jet 4, Access 2000 à 2003"));
  EXPECT_EQ(plan.access->notCarried, std::vector<CString>{kNotCarried});
  EXPECT_TRUE(FolderSnapshot(m_work.path()) == before);

  std::string journal;
  ASSERT_EQ(Run(m_source, &journal), ChainTarget()) << FailureReason().GetString();
  EXPECT_NE(journal.find("Base source : fichier Access (Jet 4, Access 2000 à 2003), importée avant la conversion : " +
                         m_source + "\n"),
            std::string::npos)
      << journal;
  EXPECT_NE(journal.find(std::string("Non repris par l'import : ") + kNotCarried + "\n"), std::string::npos) << journal;
  EXPECT_EQ(Names(), (std::set<std::string>{"Base.mdb", "Base.mdb.V2.0"}));
  EXPECT_EQ(HoldingTheOriginal(), std::set<std::string>{"Base.mdb.V2.0"});
  struct stat info {};
  ASSERT_EQ(::lstat((m_source + ".V2.0").c_str(), &info), 0);
  EXPECT_EQ(info.st_nlink, 1u);
  const std::string today = Today();
  EXPECT_EQ(firstDifference(comparable(dumpOf(m_source), today), ReferenceDump(today)), "");

  // Converted, it is one of ours: a second run has nothing to do.
  ASSERT_EQ(Run(m_source, &journal), ChainTarget());
  EXPECT_EQ(journal.find("fichier Access"), std::string::npos) << journal;
  EXPECT_EQ(Names(), (std::set<std::string>{"Base.mdb", "Base.mdb.V2.0"}));
}

// With a destination: the destination is written in our format and
// converted; the Access file is only read and nothing appears beside it.
TEST_F(AccessRunTest, WithADestinationTheSourceIsOnlyRead) {
  const std::string dest = m_elsewhere.path() + "/New.mdb";
  WriteFile(dest, "ancien contenu");
  ASSERT_EQ(Run(dest), ChainTarget()) << FailureReason().GetString();
  EXPECT_EQ(Names(), std::set<std::string>{"Base.mdb"});
  EXPECT_EQ(ReadFile(m_source), m_access);
  const std::string today = Today();
  EXPECT_EQ(firstDifference(comparable(dumpOf(dest), today), ReferenceDump(today)), "");
}

// A run that stops half way leaves the note, the mark and the Access file
// as the backup; the next run puts the Access file back, imports it again
// and converts it, keeping the half-converted file aside.
TEST_F(AccessRunTest, AnUnfinishedRunIsResumedFromTheAccessFile) {
  const std::string missing = m_templates.path() + "/" + StepsFrom(2000)[2]->templateFile;
  std::filesystem::rename(missing, m_elsewhere.path() + "/kept.mdb");
  ASSERT_EQ(Run(m_source), kDbVersionNone);
  EXPECT_NE(FailureReason().str().find("la base d'origine est conservée dans " + m_source + ".V2.0"), std::string::npos)
      << FailureReason().GetString();
  EXPECT_EQ(Names(), (std::set<std::string>{"Base.mdb", "Base.mdb.V2.0", "Base.mdb.reprise"}));
  EXPECT_EQ(HoldingTheOriginal(), std::set<std::string>{"Base.mdb.V2.0"});
  std::filesystem::rename(m_elsewhere.path() + "/kept.mdb", missing);

  ASSERT_EQ(Run(m_source), ChainTarget()) << FailureReason().GetString();
  EXPECT_EQ(Names(), (std::set<std::string>{"Base.mdb", "Base.mdb.V2.0", "Base.mdb.V2.0.1", "Base.mdb.inachevee"}));
  EXPECT_EQ(HoldingTheOriginal(), (std::set<std::string>{"Base.mdb.V2.0", "Base.mdb.V2.0.1"}));
  const std::string today = Today();
  EXPECT_EQ(firstDifference(comparable(dumpOf(m_source), today), ReferenceDump(today)), "");
}

// A run killed at any moment leaves the Access file whole under a name of
// the folder, and the next run converts the database to the end, with the
// Access file still kept and nothing of the killed run left over.
TEST_F(AccessRunTest, AKilledRunLeavesTheOriginalAndTheNextRunConverts) {
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(Run(m_source), ChainTarget());
  const auto whole = std::chrono::steady_clock::now() - started;
  constexpr int kTries = 6;
  for (int n = 0; n < kTries; ++n) {
    SCOPED_TRACE(n);
    for (const auto& name : Names()) std::filesystem::remove(m_work.path() + "/" + name);
    WriteFile(m_source, m_access);
    const auto delay = whole * (n + 1) / (kTries + 1);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      CString written(m_source.c_str());
      RunConversion(m_source.c_str(), written, m_templates.path().c_str());
      ::_exit(0);
    }
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_FALSE(HoldingTheOriginal().empty());
    ASSERT_EQ(Run(m_source), ChainTarget()) << FailureReason().GetString();
    std::set<std::string> kept;
    for (const auto& name : HoldingTheOriginal()) kept.insert(name.substr(0, 13));
    EXPECT_EQ(kept, std::set<std::string>{"Base.mdb.V2.0"});
    for (const auto& name : Names()) EXPECT_EQ(name.find(".access-"), std::string::npos) << name;
    EXPECT_EQ(PeekVersion(), ChainTarget());
  }
}

}  // namespace
}  // namespace mdbimport
