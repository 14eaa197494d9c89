#include "engine/unfinished_mark.h"

#include <memory>
#include <string>

#include "engine/plan.h"
#include "jetdb/jetdb.h"

namespace {

constexpr char kMarkKey[] = "updater: conversion inachevée";

bool Write(const CString& strSource, const std::optional<std::string>& value, CString& why) {
  jetdb::Error error;
  // One write: the file stays in its journal, as it is at rest.
  const auto db = jetdb::Database::open(strSource.str(), jetdb::OpenMode::ExistingAtRest, error);
  if (db && db->setApplicationNote(kMarkKey, value)) return true;
  why = (db ? db->lastError() : error).message.c_str();
  return false;
}

}  // namespace

std::optional<CString> UnfinishedMark(const CString& strSource) {
  jetdb::Error error;
  const auto db = jetdb::Database::open(strSource.str(), jetdb::OpenMode::ReadOnly, error);
  if (!db) return std::nullopt;
  const std::optional<std::string> backup = db->applicationNote(kMarkKey);
  if (!backup) return std::nullopt;
  return CString(backup->c_str());
}

bool SetUnfinishedMark(const CString& strSource, const CString& strBackup, CString& why) {
  return Write(strSource, strBackup.str(), why);
}

bool ClearUnfinishedMark(const CString& strSource, CString& why) { return Write(strSource, std::nullopt, why); }

CString UnfinishedWithoutNoteReason(const CString& strSource, const CString& strBackup) {
  CString reason;
  reason.Format(
      "la base %s est restée à moitié convertie par une conversion inachevée, et sa note de reprise %s manque ou "
      "n'est pas fiable : elle n'est pas convertie plus avant ; la base d'origine a été sauvegardée alors dans %s",
      strSource.GetString(), ResumeNotePath(strSource).GetString(), strBackup.GetString());
  return reason;
}
