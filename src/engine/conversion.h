// The conversion of one run: detection, preparation and the chain of steps.
#pragma once

#include "platform/text.h"

// Converts the source (into the destination, or in place) and returns the
// DbVersion reached, 0 when nothing was converted.
int RunConversion(const CString& strSource, CString& strDest, const CString& strTemplateDir);
