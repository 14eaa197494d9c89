#include "commands.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "dump.h"
#include "jetdb/text.h"

namespace jetsql {
namespace {

constexpr int kMaxReadDepth = 16;

constexpr const char* kHelp =
    ".tables [MOTIF]         liste des tables (celles que MOTIF désigne : Rec*, Rec%)\n"
    ".schema [MOTIF]         champs, index, clés et relations de chaque table (ou de celles de MOTIF)\n"
    ".dump [TABLE]           script qui reconstruit la base (ou la table) avec jetsql --create\n"
    ".check                  vérifie le fichier, son catalogue et ses données\n"
    ".read FICHIER           exécute le script de FICHIER\n"
    ".mode [MODE]            column (colonnes alignées), csv, list (champs séparés par |) ou box (cadre)\n"
    ".headers on|off         ligne des noms de champs, ou non\n"
    ".nullvalue TEXTE        texte imprimé pour Null (par défaut : Null, et un champ vide en csv)\n"
    ".begin                  ouvre une transaction (.commit la valide, .rollback l'annule)\n"
    ".help                   cette aide\n"
    ".quit                   termine la session (ou le script)\n";

std::string trimmed(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  const auto e = s.find_last_not_of(" \t\r\n;");
  return b == std::string::npos || e == std::string::npos || e < b ? std::string() : s.substr(b, e - b + 1);
}

// An argument written between quotes or brackets, as a name with spaces
// or a Null text is, stands without them.
std::string unquoted(const std::string& arg) {
  if (arg.size() >= 2 && ((arg.front() == '[' && arg.back() == ']') || (arg.front() == '"' && arg.back() == '"') ||
                          (arg.front() == '\'' && arg.back() == '\'')))
    return arg.substr(1, arg.size() - 2);
  return arg;
}

std::string typeText(const jetdb::ColumnInfo& c) { return jetdb::typeSpelling(c); }

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) out += (out.empty() ? "[" : ", [") + n + "]";
  return out;
}

// The tables that a pattern of the sqlite3 shell (% for any text) or of
// Access (* and ?) names, ignoring case and accents; every table for none.
std::vector<std::string> tablesMatching(jetdb::Database& db, std::string pattern) {
  for (char& c : pattern)
    if (c == '%') c = '*';
  std::vector<std::string> out;
  for (const auto& t : db.tables())
    if (pattern.empty() || jetdb::likeMatch(t, pattern)) out.push_back(t);
  return out;
}

void schema(jetdb::Database& db, const std::string& table, const Output& output) {
  std::vector<Row> rows;
  const auto columns = db.columns(table);
  for (const auto& c : columns.value_or(std::vector<jetdb::ColumnInfo>{})) rows.push_back({c.name, typeText(c), c.nullable ? "" : "NOT NULL"});
  output.print({"Champ", "Type", "Null"}, rows, std::cout);
  rows.clear();
  for (const auto& ix : db.indexes(table)) {
    std::string kind = ix.primary ? "PRIMARY KEY" : ix.unique ? "UNIQUE" : "INDEX";
    if (ix.disallowNull) kind += " DISALLOW NULL";
    if (ix.ignoreNull) kind += " IGNORE NULL";
    rows.push_back({ix.name, kind, joined(ix.columns)});
  }
  std::cout << "\n";
  output.print({"Index", "Genre", "Champs"}, rows, std::cout);
  rows.clear();
  for (const auto& r : db.relations(table))
    rows.push_back({r.name, "[" + r.table + "]" + "(" + joined(r.columns) + ")",
                    "[" + r.refTable + "]" + "(" + joined(r.refColumns) + ")"});
  std::cout << "\n";
  output.print({"Relation", "Table", "Référence"}, rows, std::cout);
}

Outcome schemas(Session& session, const std::string& pattern) {
  const auto tables = tablesMatching(session.db(), pattern);
  if (tables.empty() && !pattern.empty()) {
    session.fail("[42S02] Impossible de trouver la table '" + pattern + "'.");
    return Outcome::Failed;
  }
  // One table as it always printed; several each under its name.
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (tables.size() > 1) std::cout << (i ? "\n" : "") << "[" << tables[i] << "]\n";
    schema(session.db(), tables[i], session.output());
  }
  return Outcome::Done;
}

Outcome readScript(Session& session, const std::string& file) {
  if (file.empty()) {
    session.fail(".read attend le nom d'un fichier");
    return Outcome::Failed;
  }
  if (session.depth() >= kMaxReadDepth) {
    session.fail(".read : plus de " + std::to_string(kMaxReadDepth) + " scripts imbriqués (" + file + ")");
    return Outcome::Failed;
  }
  std::ifstream in(file, std::ios::binary);
  std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A read cut short by Ctrl-C would run half a script.
  if ((!in && !in.eof()) || Session::interrupted()) {
    session.fail("impossible de lire " + file + " : " + std::strerror(errno));
    return Outcome::Failed;
  }
  return session.runScript(script, file, true);
}

Outcome setMode(Session& session, const std::string& arg) {
  if (arg.empty()) {
    std::cout << "mode actuel : " << modeName(session.output().mode) << "\n";
    return Outcome::Done;
  }
  const auto mode = modeNamed(arg);
  if (!mode) {
    session.fail("mode inconnu : " + arg + " (column, csv, list ou box)");
    return Outcome::Failed;
  }
  session.output().mode = *mode;
  return Outcome::Done;
}

Outcome setHeaders(Session& session, const std::string& arg) {
  if (arg != "on" && arg != "off") {
    session.fail(".headers attend on ou off");
    return Outcome::Failed;
  }
  session.output().headers = arg == "on";
  return Outcome::Done;
}

}  // namespace

bool printCheck(jetdb::Database& db) {
  const auto problems = db.check();
  for (const auto& p : problems) std::cout << p << "\n";
  if (problems.empty()) std::cout << "OK\n";
  return problems.empty();
}

Outcome command(Session& session, const std::string& text) {
  const std::string line = trimmed(text);
  std::istringstream in(line);
  std::string cmd, arg;
  in >> cmd;
  std::getline(in >> std::ws, arg);
  arg = unquoted(arg);
  jetdb::Database& db = session.db();
  const auto done = [](bool ok) { return ok ? Outcome::Done : Outcome::Failed; };
  if (cmd == ".quit" || cmd == ".exit") return Outcome::Quit;
  if (cmd == ".tables") {
    std::vector<Row> rows;
    for (const auto& t : tablesMatching(db, arg)) rows.push_back({t});
    session.output().print({"Table"}, rows, std::cout);
    return Outcome::Done;
  }
  if (cmd == ".schema") return schemas(session, arg);
  if (cmd == ".dump") {
    jetdb::Error error;
    if (jetsql::dump(db, arg, std::cout, error)) return Outcome::Done;
    session.fail(error);
    return Outcome::Failed;
  }
  if (cmd == ".check") return done(printCheck(db));
  if (cmd == ".read") return readScript(session, arg);
  if (cmd == ".mode") return setMode(session, arg);
  if (cmd == ".headers" || cmd == ".header") return setHeaders(session, arg);
  if (cmd == ".nullvalue") {
    session.output().nullText = arg;
    return Outcome::Done;
  }
  // A transaction over the statements that follow, as an ODBC client has
  // with autocommit off; one still open when the shell ends is rolled back.
  if (cmd == ".begin" || cmd == ".commit" || cmd == ".rollback") {
    if (cmd == ".begin") session.writeFromNowOn();
    // (the open for writing replaced the database that `db` names)
    jetdb::Database& now = session.db();
    const bool ok = cmd == ".begin"    ? now.beginTransaction()
                    : cmd == ".commit" ? now.commitTransaction()
                                       : now.rollbackTransaction();
    if (!ok) session.fail(now.lastError());
    return done(ok);
  }
  if (cmd == ".help") {
    std::cout << kHelp;
    return Outcome::Done;
  }
  session.fail("commande inconnue : " + cmd + " (.help les liste)");
  return Outcome::Failed;
}

}  // namespace jetsql
