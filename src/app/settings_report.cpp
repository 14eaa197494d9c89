#include "app/settings_report.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "app/quoted.h"
#include "app/template_dir.h"
#include "app/updater_app.h"
#include "platform/odbc_installer.h"

namespace {

// A run shows this many issues at most; --info shows them all.
constexpr std::size_t kIssuesOnARun = 5;

// Two names this close (after case and accents are set aside) are one name
// misspelt: "Generale" for "Générale", "Debugs" for "Debug".
constexpr std::size_t kCloseDistance = 2;

// What the program reads in one hive.
struct ReadSetting {
  std::string key;  // full path
  const char* value;
  DWORD type;
  const char* example;
};

ReadSetting SettingOf(HKEY root, const CString& appName) {
  if (root == HKEY_CURRENT_USER) {
    return {std::string("HKEY_CURRENT_USER\\Software\\") + kRegistryKey + "\\" + appName.GetString() + "\\" +
                kProfileSection,
            kDebugEntry, REG_DWORD, "\"Debug\"=dword:00000001"};
  }
  return {std::string("HKEY_LOCAL_MACHINE\\") + kTemplateKey, kTemplateValue, REG_SZ, "\"ExePath\"=\"/opt/toquelin\""};
}

// Upper case without accents, for closeness only.
std::string Folded(std::string_view text) {
  std::string upper = ToUpperLatin(text), out;
  static const std::pair<std::string_view, char> kAccents[] = {
      {"À", 'A'}, {"Â", 'A'}, {"Ä", 'A'}, {"Ç", 'C'}, {"É", 'E'}, {"È", 'E'}, {"Ê", 'E'}, {"Ë", 'E'},
      {"Î", 'I'}, {"Ï", 'I'}, {"Ô", 'O'}, {"Ö", 'O'}, {"Ù", 'U'}, {"Û", 'U'}, {"Ü", 'U'},
  };
  for (std::size_t i = 0; i < upper.size(); ++i) {
    bool replaced = false;
    for (const auto& [accented, plain] : kAccents) {
      if (std::string_view(upper).substr(i, accented.size()) == accented) {
        out += plain;
        i += accented.size() - 1;
        replaced = true;
        break;
      }
    }
    if (!replaced) out += upper[i];
  }
  return out;
}

std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

bool Close(std::string_view a, std::string_view b) {
  // Far apart in length cannot be close: no need to measure.
  const std::size_t longer = std::max(a.size(), b.size()), shorter = std::min(a.size(), b.size());
  if (longer - shorter > kCloseDistance + 4) return false;
  return Distance(Folded(a), Folded(b)) <= kCloseDistance;
}

std::string TypeName(DWORD type) { return type == REG_DWORD ? "un nombre dword" : "un texte entre guillemets"; }

void CheckValues(const HiveKey& key, const ReadSetting& setting, std::vector<SettingsIssue>& issues) {
  for (const auto& [upper, value] : key.values) {
    if (upper == ToUpperLatin(setting.value)) {
      if (value.type != setting.type) {
        issues.push_back({value.line, value.text,
                          "« " + std::string(setting.value) + " » doit être " + TypeName(setting.type) + ", ainsi " +
                              setting.example,
                          false});
      }
    } else if (Close(value.name, setting.value)) {
      issues.push_back(
          {value.line, value.text,
           "valeur que le programme ne lit pas : voulez-vous dire « " + std::string(setting.value) + " » ?", false});
    } else {
      issues.push_back(
          {value.line, value.text,
           "valeur que le programme ne lit pas : il ne lit que « " + std::string(setting.value) + " » dans cette clé",
           false});
    }
  }
}

// The keys the hive reads, against the one the program reads in it.
void CheckKeys(const HiveText& text, const ReadSetting& setting, std::vector<SettingsIssue>& issues) {
  const std::string wanted = ToUpperLatin(setting.key);
  for (const auto& [upper, key] : text.keys) {
    const std::string keyLine = "[" + key.path + "]";
    if (upper == wanted) {
      CheckValues(key, setting, issues);
    } else if (wanted.rfind(upper + "\\", 0) == 0) {
      // A key on the way to the setting: its values are not read, and the
      // setting's own value there is in the wrong place.
      for (const auto& [name, value] : key.values) {
        if (name == ToUpperLatin(setting.value)) {
          issues.push_back({value.line, value.text,
                            "le programme lit « " + std::string(setting.value) + " » dans la clé [" + setting.key +
                                "], pas dans celle-ci",
                            false});
        }
      }
    } else if (Close(key.path, setting.key)) {
      issues.push_back(
          {key.line, keyLine, "clé que le programme ne lit pas : voulez-vous dire [" + setting.key + "] ?", false});
    } else if (!key.values.empty()) {
      // An empty key is what an export writes on the way to others.
      issues.push_back({key.line, keyLine, "clé que le programme ne lit pas : ses valeurs sont ignorées", false});
    }
  }
}

HiveSummary Summarize(HKEY root, const char* rootName, const CString& appName) {
  const RegistryHiveReport report = InspectRegistryHive(root);
  HiveSummary hive;
  hive.root = rootName;
  hive.file = report.file;
  hive.state = report.state;
  hive.header = report.text.header;
  hive.encoding = report.text.encoding;
  for (const HiveProblem& problem : report.text.problems)
    hive.issues.push_back({problem.line, problem.text, problem.reason});
  if (report.state == RegistryHiveReport::State::Read && !report.text.header.empty()) {
    CheckKeys(report.text, SettingOf(root, appName), hive.issues);
  }
  std::stable_sort(hive.issues.begin(), hive.issues.end(),
                   [](const SettingsIssue& a, const SettingsIssue& b) { return a.line < b.line; });
  return hive;
}

}  // namespace

std::vector<HiveSummary> SummarizeSettings(const CString& appName) {
  return {Summarize(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", appName),
          Summarize(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", appName)};
}

CString HiveStateText(const HiveSummary& hive) {
  switch (hive.state) {
    case RegistryHiveReport::State::Missing:
      return "absent";
    case RegistryHiveReport::State::Unreadable:
      return "présent, illisible";
    case RegistryHiveReport::State::Read:
      break;
  }
  CString text;
  if (hive.header.empty()) {
    text.Format("présent, ignoré%s%s%s", hive.encoding.empty() ? "" : " (", hive.encoding.c_str(),
                hive.encoding.empty() ? "" : ")");
  } else {
    text.Format("présent, %s en %s", hive.header.c_str(), hive.encoding.c_str());
  }
  return text;
}

CString IssueText(const SettingsIssue& issue) {
  CString text;
  if (issue.line == 0) {
    text.Format("le fichier est ignoré : %s", issue.reason.c_str());
  } else {
    text.Format("ligne %d %s : %s : %s", issue.line, issue.refused ? "refusée" : "ignorée",
                Quoted(issue.text).GetString(), issue.reason.c_str());
  }
  return text;
}

void ReportSettingsIssues(std::FILE* out, const std::vector<HiveSummary>& hives) {
  std::size_t shown = 0, total = 0;
  for (const HiveSummary& hive : hives) {
    for (const SettingsIssue& issue : hive.issues) {
      ++total;
      if (shown == kIssuesOnARun) continue;
      ++shown;
      const CString text = IssueText(issue);
      std::fprintf(out, "updater : réglages, %s : %s%s\n", hive.file.c_str(), text.GetString(),
                   text.Right(1) == "?" ? "" : ".");
    }
  }
  if (total > shown) {
    const bool one = total - shown == 1;
    std::fprintf(out, "updater : réglages : %zu %s ; updater --info %s.\n", total - shown,
                 one ? "autre ligne refusée ou ignorée" : "autres lignes refusées ou ignorées",
                 one ? "la montre" : "les montre");
  }
}

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

SettingsInForce ReadSettingsInForce(const CUpdaterApp& app) {
  SettingsInForce settings;
  settings.registryFolder = Environment("UPDATER_REGISTRY");
  settings.hives = SummarizeSettings(app.m_pszAppName);
  settings.debug = app.GetProfileInt(kProfileSection, kDebugEntry, 0);
  // Two different defaults give one answer only when the value is there.
  settings.debugFromRegistry = settings.debug == app.GetProfileInt(kProfileSection, kDebugEntry, 1);
  settings.debugKey = SettingOf(HKEY_CURRENT_USER, app.m_pszAppName).key;
  settings.templateDir = app.GetTemplateDir().str();
  settings.templateDirFromRegistry = app.m_bTemplateDirFromRegistry;
  settings.templateDirInstalled = !settings.templateDirFromRegistry && InstalledTemplateDir().has_value();
  settings.templateKey = SettingOf(HKEY_LOCAL_MACHINE, app.m_pszAppName).key;
  settings.dataSources = UserDataSourceFile();
  settings.dataSourcesFromEnvironment = !Environment("ODBCINI").empty();
  settings.systemDataSources = SystemDataSourceFile();
  settings.systemDataSourcesFromEnvironment = !Environment("ODBCSYSINI").empty();
  return settings;
}
