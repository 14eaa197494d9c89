#include "shell/failure.h"

#include <cstdarg>

namespace {
CString g_strFailure;
}

void NoteFailure(const char* format, ...) {
  if (!g_strFailure.IsEmpty()) return;
  va_list args;
  va_start(args, format);
  g_strFailure.FormatV(format, args);
  va_end(args);
}

void OverrideFailure(const CString& reason) { g_strFailure = reason; }

const CString& FailureReason() { return g_strFailure; }

void ClearFailure() { g_strFailure.Empty(); }
