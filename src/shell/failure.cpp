#include "shell/failure.h"

#include <cstdarg>
#include <cstdlib>

#include "jetdb/faults.h"

namespace {
CString g_strFailure;

// The native number in "State:...,Native:3026,Origin:...".
int NativeOf(const CDBException& e) {
  const int at = e.m_strStateNativeOrigin.Find("Native:");
  if (at < 0) return 0;
  return std::atoi(e.m_strStateNativeOrigin.GetString() + at + 7);
}
}  // namespace

CString WithoutFullStop(const CString& text) {
  CString clause = text;
  while (!clause.IsEmpty() && (clause.Right(1) == "." || clause.Right(1) == " " || clause.Right(1) == "\n"))
    clause = clause.Left(clause.GetLength() - 1);
  return clause;
}

void NoteFailure(const char* format, ...) {
  if (!g_strFailure.IsEmpty()) return;
  va_list args;
  va_start(args, format);
  g_strFailure.FormatV(format, args);
  va_end(args);
  g_strFailure = WithoutFullStop(g_strFailure);
}

void OverrideFailure(const CString& reason) { g_strFailure = WithoutFullStop(reason); }

const CString& FailureReason() { return g_strFailure; }

void ClearFailure() { g_strFailure.Empty(); }

void NoteDbFailure(const CDBException& e) {
  if (jetdb::isMachineFault(NativeOf(e))) NoteFailure("%s", e.m_strError.GetString());
}

void SayLine(std::FILE* out, const char* format, ...) {
  CString text;
  va_list args;
  va_start(args, format);
  text.FormatV(format, args);
  va_end(args);
  std::fprintf(out, "updater : %s.\n", WithoutFullStop(text).GetString());
  std::fflush(out);
}
