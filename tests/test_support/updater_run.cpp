#include "test_support/updater_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "platform/text_file.h"

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
  return text;
}

UpdaterRun::UpdaterRun(std::string templateDir, bool debug, std::string binary)
    : m_templateDir(std::move(templateDir)), m_binary(std::move(binary)), m_odbcIni(m_work.path() + "/odbc.ini") {
  SetDebug(debug);
  WriteFile(m_registry.path() + "/HKEY_LOCAL_MACHINE.reg",
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\n\"ExePath\"=\"" +
                m_templateDir + "\"\n");
}

void UpdaterRun::SetDebug(bool debug) {
  WriteFile(m_registry.path() + "/HKEY_CURRENT_USER.reg",
            std::string("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"
                        "\"Debug\"=dword:0000000") +
                (debug ? "1" : "0") + "\n");
}

int UpdaterRun::Run(const std::string& args, const std::string& env) {
  const std::string output = m_output.path() + "/stdout.txt";
  const std::string errors = m_output.path() + "/stderr.txt";
  const std::string command = "cd '" + m_work.path() + "' && env UPDATER_REGISTRY='" + m_registry.path() +
                              "' ODBCINI='" + m_odbcIni + "' " + env + " '" + m_binary + "' " + args +
                              " </dev/null >'" + output + "' 2>'" + errors + "'";
  const int status = std::system(command.c_str());
  m_stdout = ReadFile(output);
  m_stderr = ReadFile(errors);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string UpdaterRun::Journal(const std::string& folder) const {
  std::string text = FromWindows1252(ReadFile(folder + "/Updater.log"));
  text = ReplaceAll(text, "\r\n", "\n");
  return ReplaceAll(text, m_work.path(), "<WORK>");
}

std::map<std::string, std::string> FolderSnapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    files[entry.path()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<" + entry.path().string() + ">";
  return files;
}

void CopyTemplates(const std::string& from, const std::string& to) {
  for (const auto& entry : std::filesystem::directory_iterator(from))
    if (entry.path().filename().string().rfind("tq2V2_", 0) == 0)
      std::filesystem::copy_file(entry.path(), to + "/" + entry.path().filename().string());
}
