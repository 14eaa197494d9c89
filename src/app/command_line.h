// The command line: "SRC=" and "DEST=" flags, each introduced by '/' or '-',
// and --info.
#pragma once

#include "platform/text.h"
#include "platform/win_app.h"

class CUpdaterCommandLineInfo : public CCommandLineInfo {
 public:
  void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override;

  CString m_strDest;
  CString m_strSource;
  // --info: say what a run would do, and do nothing.
  BOOL m_bInfo = FALSE;
};
