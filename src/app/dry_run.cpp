#include "app/dry_run.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings_report.h"
#include "engine/plan.h"
#include "framework/version_table.h"
#include "platform/file_copy.h"
#include "platform/odbc_installer.h"
#include "platform/registry.h"
#include "shell/journal.h"

namespace {

void PrintSettings(const CUpdaterApp& app) {
  std::printf("Réglages\n");
  const char* folder = std::getenv("UPDATER_REGISTRY");
  if (folder != nullptr && *folder != '\0') {
    std::printf("  Registre             : dossier %s (variable UPDATER_REGISTRY)\n", folder);
  } else {
    std::printf("  Registre             : fichiers habituels (UPDATER_REGISTRY n'est pas défini)\n");
  }
  for (const HiveSummary& hive : SummarizeSettings(app.m_pszAppName)) {
    std::printf("  %-20s : %s (%s)\n", hive.root, hive.file.c_str(), HiveStateText(hive).GetString());
    for (const SettingsIssue& issue : hive.issues) std::printf("      %s\n", IssueText(issue).GetString());
  }
  // Two different defaults give one answer only when the value is there.
  const UINT debug = app.GetProfileInt("Générale", "Debug", 0);
  const bool debugSet = debug == app.GetProfileInt("Générale", "Debug", 1);
  CString origin("absent du registre : 0 par défaut");
  if (debugSet) {
    origin.Format("valeur \"Debug\" de HKEY_CURRENT_USER\\Software\\%s\\%s\\Générale", app.m_pszRegistryKey.GetString(),
                  app.m_pszAppName.GetString());
  }
  std::printf("  Debug                : %u (%s)\n", debug, origin.GetString());
  std::printf("  Dossier des modèles  : %s (%s)\n", app.GetTemplateDir().GetString(),
              app.m_bTemplateDirFromRegistry
                  ? "valeur \"ExePath\" de HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path"
                  : "\"ExePath\" absent du registre : le dossier courant");
  std::printf("  Sources de données   : %s (%s)\n", UserDataSourceFile().c_str(),
              std::getenv("ODBCINI") != nullptr && *std::getenv("ODBCINI") != '\0' ? "variable ODBCINI"
                                                                                   : "fichier de l'utilisateur");
  const char* system = std::getenv("ODBCSYSINI");
  std::printf("  Sources système      : %s (%s, lu seulement)\n", SystemDataSourceFile().c_str(),
              system != nullptr && *system != '\0' ? "variable ODBCSYSINI" : "fichier de la machine");
}

void PrintPlan(const ConversionPlan& plan, const CUpdaterApp& app) {
  std::printf("\nBase source            : %s\n", app.m_strSource.GetString());
  if (plan.detected != 0) {
    std::printf("Version détectée       : %s (%d)\n", StoredVersionText(plan.detected),
                static_cast<int>(plan.detected));
  }
  if (!plan.inPlace) {
    std::printf("Destination            : %s (copie de la source%s)\n", plan.written.GetString(),
                plan.writtenExists ? " ; le fichier existant serait remplacé" : "");
  } else if (!plan.backupPath.IsEmpty()) {
    std::printf("Conversion sur place   : copie de sauvegarde %s\n", plan.backupPath.GetString());
  }
  if (g_bDebug) std::printf("Journal                : %s\n", app.GetJournalPath().GetString());
  if (!plan.steps.empty()) std::printf("\nÉtapes, dans l'ordre\n");
  int n = 0;
  for (const PlannedStep& step : plan.steps) {
    CString name(step.constants->journalLine);
    name.TrimRight();
    std::printf("  %d. %s\n     modèle %s : %s%s\n", ++n, name.GetString(), step.templatePath.GetString(),
                !step.templateExists           ? "absent"
                : step.templateError.IsEmpty() ? "présent, s'ouvre"
                                               : "présent, ne s'ouvre pas : ",
                step.templateError.GetString());
  }
}

void PrintOutcome(const ConversionPlan& plan) {
  std::printf("\nRésultat : ");
  if (!plan.refusal.IsEmpty()) {
    std::printf("aucune conversion ne démarrerait : %s.\n", plan.refusal.GetString());
    return;
  }
  if (plan.steps.empty()) {
    // Short of a step, a run still takes its backup or its copy.
    const bool converted = plan.detected == kDbVersion253;
    std::printf("%s la version %s ; %s.\n", converted ? "la base est déjà à" : "aucune étape ne s'applique à",
                StoredVersionText(plan.detected),
                !plan.inPlace ? "elle serait seulement copiée"
                : converted   ? "rien ne serait écrit"
                              : "seule la copie de sauvegarde serait écrite");
    return;
  }
  for (const PlannedStep& step : plan.steps) {
    if (step.templateExists && step.templateError.IsEmpty()) continue;
    CString name(step.constants->journalLine);
    name.TrimRight();
    std::printf("la conversion démarrerait, mais « %s » échouerait : son modèle %s %s.\n", name.GetString(),
                step.constants->templateFile, step.templateExists ? "ne s'ouvre pas" : "manque");
    return;
  }
  std::printf("la conversion démarrerait et mènerait la base à la version %s.\n", StoredVersionText(plan.reached));
}

}  // namespace

int PrintDryRun(const CUpdaterApp& app, BOOL bPaths) {
  std::printf("updater --info : simulation, aucun fichier n'est modifié.\n\n");
  PrintSettings(app);
  if (!bPaths) {
    std::printf("\nRésultat : aucune conversion ne démarrerait : %s.\n", kNoSourceReason);
    return kExitNothingConverted;
  }
  const ConversionPlan plan = PlanConversion(app.m_strSource, app.m_strDest, app.GetTemplateDir());
  PrintPlan(plan, app);
  PrintOutcome(plan);
  return plan.refusal.IsEmpty() ? 0 : kExitNothingConverted;
}
