// jetsql: a shell over a jetdb database.
//
//   jetsql [--create | --read-only] [--csv] FILE [STATEMENT...]
//   jetsql --check FILE
//   jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb   (import_command.h)
//
// Runs the statements given as arguments, or the script read from standard
// input when there are none, and stops at the first error with exit code 1
// (2 when the file cannot be opened, 64 for a bad command line). With no
// statement and a terminal on standard input, it prompts for statements
// with line editing and history instead. Shell commands: .tables,
// .schema TABLE, .dump [TABLE], .check, .help, .quit.
//
// --read-only opens the file as support should open a customer's file it
// only looks at: nothing is written to it or beside it, not even its date,
// and every statement that would change it is refused.
//
// --check opens the file read-only and checks it (Database::check): "OK"
// and exit code 0 when it is sound, otherwise one French line per problem
// and exit code 1, a file that does not open being one such problem.
#include <editline/readline.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "dump.h"
#include "import_command.h"
#include "jetdb/jetdb.h"
#include "script.h"

namespace {

struct Options {
  bool create = false;
  bool readOnly = false;
  bool csv = false;
  bool check = false;
};

constexpr const char* kUsage = "usage: jetsql [--create | --read-only] [--csv] FILE [STATEMENT...]\n       jetsql --check FILE\n       jetsql --import [--codepage CP] SOURCE.mdb NEW.mdb\n";

// Prints the problems of the file, or "OK"; true when there are none.
bool check(jetdb::Database& db) {
  const auto problems = db.check();
  for (const auto& p : problems) std::cout << p << "\n";
  if (problems.empty()) std::cout << "OK\n";
  return problems.empty();
}

void printError(const jetdb::Error& e) {
  std::cerr << "ERREUR [" << e.state << "] (" << e.native << ") " << e.origin << " " << e.message << "\n";
}

std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
  std::string out = "\"";
  for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::size_t width(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string shown(const jetdb::Value& v) { return v.isNull() ? "Null" : v.asText(); }

void printRows(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows, bool csv) {
  if (csv) {
    for (std::size_t i = 0; i < header.size(); ++i) std::cout << (i ? "," : "") << csvField(header[i]);
    std::cout << "\n";
    for (const auto& r : rows) {
      for (std::size_t i = 0; i < r.size(); ++i) std::cout << (i ? "," : "") << csvField(r[i]);
      std::cout << "\n";
    }
    return;
  }
  std::vector<std::size_t> w(header.size());
  for (std::size_t i = 0; i < header.size(); ++i) w[i] = width(header[i]);
  for (const auto& r : rows)
    for (std::size_t i = 0; i < r.size(); ++i) w[i] = std::max(w[i], width(r[i]));
  auto line = [&](const std::vector<std::string>& cells) {
    std::string out;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      if (i) out += "  ";
      out += cells[i];
      if (i + 1 < cells.size()) out += std::string(w[i] - width(cells[i]), ' ');
    }
    std::cout << out << "\n";
  };
  line(header);
  std::vector<std::string> rule;
  for (std::size_t x : w) rule.push_back(std::string(x, '-'));
  line(rule);
  for (const auto& r : rows) line(r);
}

std::string typeText(const jetdb::ColumnInfo& c) {
  std::string t = jetdb::typeName(c.type);
  if (c.type == jetdb::JetType::Text) t += "(" + std::to_string(c.size) + ")";
  return t;
}

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "[" : ", [") + n + "]";
  return out;
}

bool command(jetdb::Database& db, const std::string& text, const Options& opt) {
  std::istringstream in(text);
  std::string cmd, arg;
  in >> cmd;
  std::getline(in >> std::ws, arg);
  if (arg.size() > 2 && arg.front() == '[' && arg.back() == ']') arg = arg.substr(1, arg.size() - 2);
  if (cmd == ".tables") {
    std::vector<std::vector<std::string>> rows;
    for (const auto& t : db.tables()) rows.push_back({t});
    printRows({"Table"}, rows, opt.csv);
    return true;
  }
  if (cmd == ".schema" && !arg.empty()) {
    auto cols = db.columns(arg);
    if (!cols) {
      std::cerr << "ERREUR [42S02] Impossible de trouver la table '" << arg << "'.\n";
      return false;
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& c : *cols) rows.push_back({c.name, typeText(c), c.nullable ? "" : "NOT NULL"});
    printRows({"Champ", "Type", "Null"}, rows, opt.csv);
    rows.clear();
    for (const auto& ix : db.indexes(arg)) {
      std::string kind = ix.primary ? "PRIMARY KEY" : ix.unique ? "UNIQUE" : "INDEX";
      if (ix.disallowNull) kind += " DISALLOW NULL";
      if (ix.ignoreNull) kind += " IGNORE NULL";
      rows.push_back({ix.name, kind, joined(ix.columns)});
    }
    std::cout << "\n";
    printRows({"Index", "Genre", "Champs"}, rows, opt.csv);
    rows.clear();
    for (const auto& r : db.relations(arg))
      rows.push_back({r.name, "[" + r.table + "]" + "(" + joined(r.columns) + ")",
                      "[" + r.refTable + "]" + "(" + joined(r.refColumns) + ")"});
    std::cout << "\n";
    printRows({"Relation", "Table", "Référence"}, rows, opt.csv);
    return true;
  }
  if (cmd == ".dump") {
    jetdb::Error error;
    if (jetsql::dump(db, arg, std::cout, error)) return true;
    printError(error);
    return false;
  }
  if (cmd == ".check") return check(db);
  if (cmd == ".help") {
    std::cout << ".tables          liste des tables\n.schema TABLE    champs, index, clés et relations\n"
                 ".dump [TABLE]    script qui reconstruit la base (ou la table) avec jetsql --create\n"
                 ".check           vérifie le fichier, son catalogue et ses données\n"
                 ".quit            termine la session (ou le script)\n";
    return true;
  }
  std::cerr << "ERREUR commande inconnue : " << cmd << "\n";
  return false;
}

bool run(jetdb::Database& db, const std::string& text, const Options& opt) {
  if (!text.empty() && text[0] == '.') return command(db, text, opt);
  // The driver says whether the statement returns rows: SELECT ... INTO
  // makes a table and returns none.
  auto statement = db.prepare(text);
  if (statement && !statement->returnsRows() && db.execute(*statement)) return true;
  auto q = statement && statement->returnsRows() ? db.query(*statement) : nullptr;
  if (!q) {
    printError(db.lastError());
    return false;
  }
  std::vector<std::string> header;
  for (const auto& c : q->columns()) header.push_back(c.name);
  std::vector<std::vector<std::string>> rows;
  while (q->next()) {
    std::vector<std::string> r;
    for (std::size_t i = 0; i < header.size(); ++i) r.push_back(shown(q->value(i)));
    rows.push_back(std::move(r));
  }
  if (q->error()) {
    printError(*q->error());
    return false;
  }
  printRows(header, rows, opt.csv);
  return true;
}

bool quits(const std::string& piece) {
  const std::string cmd = piece.substr(0, piece.find_first_of(" \t"));
  return cmd == ".quit" || cmd == ".exit";
}

// A person at a terminal reads the error and types the next statement, so
// a refused one ends nothing here, unlike in a script.
int interactive(jetdb::Database& db, const Options& opt) {
  std::setlocale(LC_CTYPE, "");  // lets the line editor move over accented letters whole
  std::cout << "jetsql : les instructions finissent par « ; », .help pour l'aide, .quit pour sortir\n";
  std::string typed;
  for (;;) {
    std::cout.flush();
    std::unique_ptr<char, decltype(&std::free)> line(readline(typed.empty() ? "jetsql> " : "   ...> "), &std::free);
    if (!line) {
      std::cout << "\n";
      return 0;
    }
    typed += line.get();
    typed += '\n';
    if (jetsql::awaitsMore(typed)) continue;
    std::string entry = typed.substr(0, typed.find_last_not_of(" \t\r\n") + 1);
    if (!entry.empty()) add_history(entry.c_str());
    for (const auto& p : jetsql::splitScript(typed)) {
      if (quits(p)) return 0;
      run(db, p, opt);
    }
    typed.clear();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (jetsql::asksImport(argc, argv)) return jetsql::importMain(argc, argv);
  Options opt;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--create") opt.create = true;
    else if (a == "--read-only") opt.readOnly = true;
    else if (a == "--csv") opt.csv = true;
    else if (a == "--check")
      opt.check = true;
    else if (a == "--") { ++i; break; }
    else if (a.rfind("--", 0) == 0) {
      std::cerr << kUsage;
      return 64;
    } else break;
  }
  if (i >= argc || (opt.create && opt.readOnly) || (opt.check && (opt.create || i + 1 != argc))) {
    std::cerr << kUsage;
    return 64;
  }
  jetdb::Error error;
  if (opt.check) {
    auto db = jetdb::Database::open(argv[i], jetdb::OpenMode::ReadOnly, error);
    if (!db) {
      std::cout << error.message << "\n";
      return 1;
    }
    return check(*db) ? 0 : 1;
  }
  const auto mode = opt.create     ? jetdb::OpenMode::Create
                    : opt.readOnly ? jetdb::OpenMode::ReadOnly
                                   : jetdb::OpenMode::Existing;
  auto db = jetdb::Database::open(argv[i], mode, error);
  if (!db) {
    printError(error);
    return 2;
  }
  std::vector<std::string> pieces;
  if (i + 1 < argc) {
    for (int k = i + 1; k < argc; ++k) pieces.emplace_back(argv[k]);
  } else if (isatty(STDIN_FILENO)) {
    return interactive(*db, opt);
  } else {
    std::string script((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    pieces = jetsql::splitScript(script);
  }
  for (const auto& p : pieces) {
    if (quits(p)) return 0;
    if (!run(*db, p, opt)) return 1;
  }
  return 0;
}
