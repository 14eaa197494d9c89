// What is wrong in the settings, line by line, so that no setting is lost
// without a word: the lines a hive refuses (registry_file.h), and the
// lines it reads but the program does not use (a key it does not read, a
// name close to the one it reads, a value of the wrong type or in the
// wrong key).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"

class CUpdaterApp;

struct SettingsIssue {
  int line = 0;  // 0: the file as a whole
  std::string text;
  std::string reason;  // French
  // Refused: the line could not be read at all. Otherwise it was read, and
  // the program does not use it.
  bool refused = true;
};

struct HiveSummary {
  const char* root = "";  // "HKEY_CURRENT_USER" ...
  std::string file;
  RegistryHiveReport::State state = RegistryHiveReport::State::Missing;
  std::string header;
  std::string encoding;
  std::vector<SettingsIssue> issues;
};

// The two hives, the user's first; appName names the user's key as
// GetProfileInt reads it.
std::vector<HiveSummary> SummarizeSettings(const CString& appName);

// "présent, REGEDIT4 en UTF-8", "absent", ...
CString HiveStateText(const HiveSummary& hive);

// One issue: "ligne 4 refusée : « ... » : reason" ("le fichier est ignoré :
// reason" for the file as a whole).
CString IssueText(const SettingsIssue& issue);

// On a run: each issue once on `out`, "updater : FILE, ligne ...", at most
// a few of them and then how many more, so that a pasted export of
// everything does not bury the run's own lines.
void ReportSettingsIssues(std::FILE* out, const std::vector<HiveSummary>& hives);

// The settings a run takes, each with where it comes from, for --info.
struct SettingsInForce {
  std::string registryFolder;  // UPDATER_REGISTRY; empty: the usual files
  std::vector<HiveSummary> hives;
  unsigned debug = 0;
  bool debugFromRegistry = false;  // else the default
  std::string debugKey;            // the key "Debug" is read in
  std::string templateDir;
  bool templateDirFromRegistry = false;  // else one of the two below
  bool templateDirInstalled = false;     // the templates installed with the program, else the current folder
  std::string templateKey;
  std::string dataSources;                  // the user data-source file
  bool dataSourcesFromEnvironment = false;  // ODBCINI, else the home folder's
  std::string systemDataSources;
  bool systemDataSourcesFromEnvironment = false;  // ODBCSYSINI, else /etc
};
SettingsInForce ReadSettingsInForce(const CUpdaterApp& app);
