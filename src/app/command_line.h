// The command line. Two families of options live side by side:
//  - the Windows callers' "/SRC=" and "/DEST=" (introduced by '/' or '-',
//    the name in any case, relative paths taken in the template folder);
//  - the GNU options --src, --dest (a path in the next argument or after
//    '='; relative paths taken in the current folder), --info, --json,
//    --help (-h, /?) and --version (-V).
// Anything else is refused: a mistyped dry run ("/info", "--dry-run") must
// never go on as a conversion.
#pragma once

#include "platform/text.h"
#include "platform/win_app.h"

class CUpdaterCommandLineInfo : public CCommandLineInfo {
 public:
  // How a path given on the command line becomes a file name.
  struct PathForm {
    // The GNU forms: a relative path names a file of the current folder.
    bool currentFolder = false;
    // A leading "~" or "~/" is the home folder: the shell expands it in a
    // word of its own, but not after "/SRC=" or "--src=".
    bool expandTilde = false;
  };

  void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override;

  CString m_strDest;
  CString m_strSource;
  PathForm m_destForm;
  PathForm m_sourceForm;
  // --info: say what a run would do, and do nothing; --json: say it as JSON.
  BOOL m_bInfo = FALSE;
  BOOL m_bJson = FALSE;
  BOOL m_bHelp = FALSE;
  BOOL m_bVersion = FALSE;
  // Why the command line is refused (the first argument that is); empty
  // when every argument was understood. Nothing after a refusal, --help or
  // --version is looked at.
  CString m_strError;

 private:
  enum class Pending { None, Source, Dest };
  bool Done() const { return !m_strError.IsEmpty() || m_bHelp || m_bVersion; }
  void TakePath(bool source, const CString& value, const char* spelling, PathForm form);
  void TakeFlag(BOOL& flag, const char* spelling);
  void Refuse(const char* arg);

  Pending m_pending = Pending::None;
  bool m_bSourceGiven = false;
  bool m_bDestGiven = false;
};
