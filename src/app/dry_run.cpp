#include "app/dry_run.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/plan.h"
#include "platform/file_copy.h"
#include "platform/odbc_installer.h"
#include "platform/registry.h"
#include "shell/journal.h"
#include "steps/versions.h"

namespace {

// A missing hive reads as one without keys: worth seeing when a setting
// takes its default.
const char* HiveState(const std::string& file) { return PathExists(file.c_str()) ? "présent" : "absent"; }

void PrintSettings(const CUpdaterApp& app) {
  std::printf("Réglages\n");
  const char* folder = std::getenv("UPDATER_REGISTRY");
  if (folder != nullptr && *folder != '\0') {
    std::printf("  Registre             : dossier %s (variable UPDATER_REGISTRY)\n", folder);
  } else {
    std::printf("  Registre             : fichiers habituels (UPDATER_REGISTRY n'est pas défini)\n");
  }
  const std::string user = RegistryHivePath(HKEY_CURRENT_USER);
  const std::string machine = RegistryHivePath(HKEY_LOCAL_MACHINE);
  std::printf("  HKEY_CURRENT_USER    : %s (%s)\n", user.c_str(), HiveState(user));
  std::printf("  HKEY_LOCAL_MACHINE   : %s (%s)\n", machine.c_str(), HiveState(machine));
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
  if (!plan.resume.backup.IsEmpty()) {
    std::printf("Reprise                : la base serait d'abord rétablie depuis %s (conversion inachevée), "
                "la base actuelle gardée dans %s\n",
                plan.resume.backup.GetString(), plan.resume.unfinished.GetString());
  } else if (!plan.resume.note.IsEmpty()) {
    std::printf("Reprise                : la note %s serait supprimée (la copie de sauvegarde qu'elle nomme "
                "n'existe plus)\n",
                plan.resume.note.GetString());
  }
  if (plan.version != kDbVersionNone) {
    std::printf("Version détectée       : %s (%d)%s%s\n", StoredVersionText(plan.version), static_cast<int>(plan.version),
                plan.versionFile != plan.source ? ", celle de " : "",
                plan.versionFile != plan.source ? plan.versionFile.GetString() : "");
  }
  if (!plan.inPlace) {
    std::printf("Destination            : %s (copie de la source%s)\n", plan.written.GetString(),
                plan.writtenExists ? " ; le fichier existant serait remplacé" : "");
  } else if (!plan.backup.IsEmpty()) {
    std::printf("Conversion sur place   : copie de sauvegarde %s\n", plan.backup.GetString());
  }
  if (g_bDebug) std::printf("Journal                : %s\n", app.GetJournalPath().GetString());
  // Past a refusal no step would run.
  if (!plan.refusal.IsEmpty() || plan.steps.empty()) return;
  std::printf("\nÉtapes, dans l'ordre\n");
  int n = 0;
  for (const PlannedStep& step : plan.steps) {
    std::printf("  %d. %s\n     modèle %s : %s%s\n", ++n, StepTitle(*step.step).GetString(),
                step.templatePath.GetString(),
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
    // Already converted: a run only takes the copy a destination asks for.
    std::printf("la base est déjà à la version %s ; %s.\n", StoredVersionText(plan.version),
                plan.inPlace ? "rien ne serait écrit" : "elle serait seulement copiée");
    return;
  }
  for (const PlannedStep& step : plan.steps) {
    if (!step.FailsOnTemplate()) continue;
    std::printf("la conversion démarrerait, mais « %s » échouerait : son modèle %s %s.\n",
                StepTitle(*step.step).GetString(), step.step->templateFile,
                step.templateExists ? "ne s'ouvre pas" : "manque");
    return;
  }
  std::printf("la conversion démarrerait et mènerait la base à la version %s.\n", StoredVersionText(plan.reached));
}

}  // namespace

int PrintDryRun(const CUpdaterApp& app, BOOL bPaths) {
  std::printf("updater --info : simulation, aucun fichier n'est modifié.\n\n");
  PrintSettings(app);
  if (!bPaths) {
    std::printf("\nRésultat : aucune conversion ne démarrerait : le paramètre /SRC= manque ou est vide.\n");
    return kExitNothingConverted;
  }
  const ConversionPlan plan = PlanConversion(app.m_strSource, app.m_strDest, app.GetTemplateDir(),
                                             ProbeLocks(app.m_strSource, app.m_strDest));
  PrintPlan(plan, app);
  PrintOutcome(plan);
  return plan.refusal.IsEmpty() ? 0 : kExitNothingConverted;
}
