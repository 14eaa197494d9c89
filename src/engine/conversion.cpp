#include "engine/conversion.h"

int RunConversion(const CString& /*strSource*/, CString& /*strDest*/, const CString& /*strTemplateDir*/) {
  // No version can be reached until version detection exists.
  return 0;
}
