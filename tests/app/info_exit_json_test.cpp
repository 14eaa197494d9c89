// --info for scripts, through the real program: a code of its own when a
// step would fail, and JSON that Python's own json module reads, whatever
// bytes the paths hold.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "steps/versions.h"
#include "sample_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStepWouldFail = 3;

class InfoForScriptsTest : public SampleRunTest {
 protected:
  // Runs --info --json and gives what `code` prints, Python having loaded
  // the output as `d` (and `os`, `json` imported).
  std::string Json(const std::string& args, const std::string& code, int expectedExit) {
    EXPECT_EQ(m_run.Run("--info --json " + args), expectedExit) << m_run.stderrText();
    WriteFile(m_output.path() + "/info.json", m_run.stdoutText());
    WriteFile(m_output.path() + "/read.py",
              "import json, os, sys\nd = json.load(open(sys.argv[1], encoding='utf-8'))\n" + code + "\n");
    const std::string command =
        "/usr/bin/python3 '" + m_output.path() + "/read.py' '" + m_output.path() + "/info.json' 2>&1";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
      pclose(pipe);
    }
    return out;
  }

  const ConversionStep& SecondStep() const { return *StepsFrom(2000).at(1); }

  TempDir m_output;
};

}  // namespace

TEST_F(InfoForScriptsTest, AStepThatWouldFailHasAnExitCodeOfItsOwnAndTheRunKeepsItsOwn) {
  ASSERT_EQ(m_run.Run("--info --src Base.mdb"), 0);
  fs::remove(m_templates.path() + "/" + SecondStep().templateFile);
  EXPECT_EQ(m_run.Run("--info --src Base.mdb"), kStepWouldFail);
  EXPECT_NE(m_run.stdoutText().find("échouerait : son modèle " + std::string(SecondStep().templateFile) + " manque"),
            std::string::npos)
      << m_run.stdoutText();
  EXPECT_EQ(m_run.Run("--info --src absent.mdb"), kFailed);
  EXPECT_EQ(m_run.Run("--src Base.mdb"), kFailed);
}

TEST_F(InfoForScriptsTest, TheJsonSaysThePlanAndWhereEachSettingComesFrom) {
  const std::string& work = m_run.work();
  EXPECT_EQ(Json("--src Base.mdb",
                 "print(d['schema'], d['exit_code'], d['outcome'], d['reason'])\n"
                 "print(d['source']['path'], d['source']['version'], d['destination']['in_place'], d['backup'])\n"
                 "print(len(d['steps']), d['steps'][0]['template']['opens'], d['reached']['text'], d['would_fail'])\n"
                 "s = d['settings']\n"
                 "print(s['debug']['value'], s['debug']['origin'], s['template_dir']['origin'])\n"
                 "print(s['data_sources']['origin'], [(h['root'], h['state'], h['issues']) for h in "
                 "s['registry']['hives']])",
                 0),
            "1 0 would_convert None\n" + m_source + " {'code': 2000, 'text': '2.0.1.49'} True " + m_source + ".V2.0\n" +
                std::to_string(StepsFrom(2000).size()) +
                " True 2.5.3.459 None\n1 registry registry\nODBCINI [('HKEY_CURRENT_USER', 'present', []), "
                "('HKEY_LOCAL_MACHINE', 'present', [])]\n");

  fs::remove(m_templates.path() + "/" + SecondStep().templateFile);
  WriteFile(m_run.registryDir() + "/HKEY_CURRENT_USER.reg", "REGEDIT4\n\n[HKEY_CURRENT_USER\\X]\n\"A\"=dword:1\x1b\n");
  EXPECT_EQ(
      Json("--src Base.mdb --dest out.mdb",
           "print(d['outcome'], d['would_fail']['step'], d['would_fail']['reason'], d['backup'])\n"
           "print(d['destination'], d['steps'][1]['template']['exists'])\n"
           "print(d['settings']['registry']['hives'][0]['issues'][0]['line'], "
           "ascii(d['settings']['registry']['hives'][0]['issues'][0]['text']))",
           kStepWouldFail),
      "would_fail " +
          [this] {
            std::string name = SecondStep().lines.opening;
            while (name.back() == '\n') name.pop_back();
            return name;
          }() +
          " absent None\n{'path': '" + work + "/out.mdb', 'in_place': False, 'exists': False} False\n" +
          "4 '\"A\"=dword:1\\x1b'\n");

  EXPECT_EQ(Json("", "print(d['outcome'], d['source'], d['exit_code'], 'steps' in d)", kFailed),
            "refused None 1000 False\n");
}

// A path is bytes: what is not UTF-8 comes back through Python's surrogate
// escape, and quotes, backslashes and line ends are escaped.
TEST_F(InfoForScriptsTest, APathOfAnyBytesComesBackWhole) {
  const std::string name = "B\xE9se \"q\\\n\t\x7F\xC3\xA9.mdb";
  fs::copy_file(m_source, m_run.work() + "/" + name);
  std::string hex;
  for (unsigned char c : m_run.work() + "/" + name) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02x", c);
    hex += byte;
  }
  EXPECT_EQ(
      Json("--src '" + name + "'",
           "print(d['source']['path'].encode('utf-8', 'surrogateescape').hex(), d['source']['version']['code'])", 0),
      hex + " 2000\n");
  // Raw, the text is valid UTF-8 with the byte escaped and the others kept.
  const std::string& out = m_run.stdoutText();
  EXPECT_NE(out.find("B\\udce9se \\\"q\\\\\\n\\t\x7F\xC3\xA9.mdb\""), std::string::npos) << out;
}
