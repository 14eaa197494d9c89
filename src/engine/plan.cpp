#include "engine/plan.h"

#include <unistd.h>

#include "engine/conversion.h"
#include "engine/detection.h"
#include "framework/version_table.h"
#include "platform/connect_string.h"
#include "platform/database.h"
#include "platform/file_copy.h"

namespace {

// The run copies into this folder (destination or backup) before any step.
CString UnwritableFolder(const CString& file) {
  const CString folder(FolderOf(file.GetString()).c_str());
  if (access(folder.GetString(), W_OK) == 0) return CString();
  CString reason;
  reason.Format("le dossier %s n'est pas accessible en écriture", folder.GetString());
  return reason;
}

PlannedStep CheckTemplate(const StepConstants& k, const CString& strTemplateDir) {
  PlannedStep step;
  step.constants = &k;
  step.templatePath.Format("%s/%s", strTemplateDir.GetString(), k.templateFile);
  step.templateExists = PathExists(step.templatePath);
  if (!step.templateExists) return step;
  try {
    CDatabase db;
    db.OpenEx(FileConnectString(step.templatePath.GetString()).c_str(), CDatabase::openReadOnly);
  } catch (CDBException& e) {
    step.templateError = e.m_strError.IsEmpty() ? CString("erreur du pilote") : e.m_strError;
  }
  return step;
}

}  // namespace

ConversionPlan PlanConversion(const CString& strSource, const CString& strDest, const CString& strTemplateDir) {
  ConversionPlan plan;
  plan.inPlace = IsInPlace(strSource, strDest);
  plan.written = plan.inPlace ? strSource : strDest;
  plan.writtenExists = PathExists(plan.written);
  if (const CString hit = WrittenTemplate(strSource, strDest, strTemplateDir); !hit.IsEmpty()) {
    plan.refusal.Format("le fichier à mettre à jour %s est la base modèle %s", plan.written.GetString(),
                        hit.GetString());
    return plan;
  }
  plan.detected = PeekDbVersion(strSource, plan.refusal);
  if (plan.detected == 0) return plan;
  if (plan.inPlace && plan.detected != kDbVersion253) plan.backupPath = FreeBackupPath(strSource, plan.detected);
  // An in-place run of a converted database writes nothing at all.
  if (!(plan.inPlace && plan.detected == kDbVersion253)) {
    plan.refusal = UnwritableFolder(plan.inPlace ? plan.backupPath : plan.written);
    if (!plan.refusal.IsEmpty()) return plan;
  }
  plan.reached = ConvertedAs(plan.detected);
  if (plan.detected == kDbVersion253) return plan;
  for (const ChainLink* link : PlannedLinks(plan.detected)) {
    const StepConstants& k = StepConstantsFrom(link->from);
    plan.steps.push_back(CheckTemplate(k, strTemplateDir));
    plan.reached = k.to;
  }
  return plan;
}
