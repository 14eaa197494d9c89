// A folder of a benchmark's own, holding its databases and the data-source
// file (ODBCINI), so that the user's ~/.odbc.ini is never touched; removed
// with everything in it at the end.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

class BenchFolder {
 public:
  explicit BenchFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    m_path = mkdtemp(pattern.data()) ? pattern : std::string();
    setenv("ODBCINI", (m_path + "/odbc.ini").c_str(), 1);
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};
