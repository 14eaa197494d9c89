#include "app/command_line.h"

void CUpdaterCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) {
    // The parameter names are found without regard to case, anywhere in the
    // flag. The value keeps the case the user typed: Linux file names are
    // case-sensitive, and an upper-cased path would name another file.
    // Upper-casing keeps byte offsets, so an offset in the copy is one in
    // the original.
    const CString param(pszParam);
    CString upper(param);
    upper.MakeUpper();
    if (const int at = upper.Find("SRC="); at >= 0) {
      m_strSource = param.Mid(at + 4);
      return;
    }
    if (const int at = upper.Find("DEST="); at >= 0) {
      m_strDest = param.Mid(at + 5);
      return;
    }
    // "--info" arrives without its first '-'.
    if (param == "-info") {
      m_bInfo = TRUE;
      return;
    }
  }
  CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
}
