#include "app/dry_run.h"

#include <cstdio>
#include <optional>
#include <string>

#include "app/dry_run_json.h"
#include "app/settings_report.h"
#include "engine/access_source.h"
#include "engine/plan.h"
#include "framework/step_phases.h"
#include "shell/journal.h"
#include "steps/versions.h"

namespace {

void PrintSettings(const SettingsInForce& settings) {
  std::printf("Réglages\n");
  if (!settings.registryFolder.empty()) {
    std::printf("  Registre             : dossier %s (variable UPDATER_REGISTRY)\n", settings.registryFolder.c_str());
  } else {
    std::printf("  Registre             : fichiers habituels (UPDATER_REGISTRY n'est pas défini)\n");
  }
  for (const HiveSummary& hive : settings.hives) {
    std::printf("  %-20s : %s (%s)\n", hive.root, hive.file.c_str(), HiveStateText(hive).GetString());
    for (const SettingsIssue& issue : hive.issues) std::printf("      %s\n", IssueText(issue).GetString());
  }
  const std::string debugOrigin = settings.debugFromRegistry ? "valeur \"Debug\" de " + settings.debugKey
                                                             : std::string("absent du registre : 0 par défaut");
  std::printf("  Debug                : %u (%s)\n", settings.debug, debugOrigin.c_str());
  const char* withoutValue = settings.templateDirInstalled
                                 ? "\"ExePath\" absent du registre : les modèles installés avec le programme"
                                 : "\"ExePath\" absent du registre : le dossier courant";
  const std::string templateOrigin =
      settings.templateDirFromRegistry ? "valeur \"ExePath\" de " + settings.templateKey : std::string(withoutValue);
  std::printf("  Dossier des modèles  : %s (%s)\n", settings.templateDir.c_str(), templateOrigin.c_str());
  std::printf("  Sources de données   : %s (%s)\n", settings.dataSources.c_str(),
              settings.dataSourcesFromEnvironment ? "variable ODBCINI" : "fichier de l'utilisateur");
  std::printf("  Sources système      : %s (%s, lu seulement)\n", settings.systemDataSources.c_str(),
              settings.systemDataSourcesFromEnvironment ? "variable ODBCSYSINI" : "fichier de la machine");
}

void PrintPlan(const ConversionPlan& plan, const CUpdaterApp& app) {
  std::printf("\nBase source            : %s\n", app.m_strSource.GetString());
  if (!plan.resume.passedOver.IsEmpty()) std::printf("Passé outre            : %s\n", plan.resume.passedOver.GetString());
  if (!plan.resume.backup.IsEmpty()) {
    std::printf("Reprise                : la base serait d'abord rétablie depuis %s (conversion inachevée), "
                "la base actuelle gardée dans %s\n",
                plan.resume.backup.GetString(), plan.resume.unfinished.GetString());
  } else if (!plan.resume.note.IsEmpty()) {
    std::printf("Reprise                : la note %s serait supprimée (la copie de sauvegarde qu'elle nomme "
                "n'existe plus)\n",
                plan.resume.note.GetString());
  }
  if (plan.access) {
    const AccessSource& access = *plan.access;
    std::printf("Fichier Access         : %s ; importé dans le format du programme avant la conversion\n",
                access.kind.GetString());
    if (access.refusal.IsEmpty())
      std::printf("Import                 : %zu tables, %zu lignes%s\n", access.tables, access.rows,
                  access.notCarried.empty() ? ", tout est repris" : "");
    for (const CString& line : access.notCarried) std::printf("Non repris à l'import  : %s\n", line.GetString());
  }
  if (plan.version != kDbVersionNone) {
    std::printf("Version détectée       : %s (%d)%s%s\n", StoredVersionText(plan.version), static_cast<int>(plan.version),
                plan.versionFile != plan.source ? ", celle de " : "",
                plan.versionFile != plan.source ? plan.versionFile.GetString() : "");
  }
  if (!plan.inPlace) {
    std::printf("Destination            : %s (%s%s)\n", plan.written.GetString(),
                plan.access ? "la base importée" : "copie de la source",
                plan.writtenExists ? " ; le fichier existant serait remplacé" : "");
  } else if (plan.access && !plan.backup.IsEmpty()) {
    std::printf("Conversion sur place   : le fichier Access d'origine serait gardé tel quel sous le nom %s, "
                "la base importée prendrait son nom\n",
                plan.backup.GetString());
  } else if (!plan.backup.IsEmpty()) {
    std::printf("Conversion sur place   : copie de sauvegarde %s\n", plan.backup.GetString());
  }
  if (g_bDebug) std::printf("Journal                : %s\n", app.GetJournalPath().GetString());
  // Past a refusal no step would run.
  if (!plan.refusal.IsEmpty() || plan.steps.empty()) return;
  std::printf("\nÉtapes, dans l'ordre\n");
  int n = 0;
  for (const PlannedStep& step : plan.steps) {
    std::printf("  %d. %s\n     modèle %s : %s%s\n", ++n, StepName(step).GetString(), step.templatePath.GetString(),
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
                plan.access ? "elle serait seulement importée"
                : plan.inPlace ? "rien ne serait écrit"
                               : "elle serait seulement copiée");
    return;
  }
  if (const PlannedStep* failing = FailingStep(plan)) {
    std::printf("la conversion démarrerait, mais %s.\n", WouldFailText(*failing).GetString());
    return;
  }
  std::printf("la conversion démarrerait et mènerait la base à la version %s.\n", StoredVersionText(plan.reached));
}

}  // namespace

const PlannedStep* FailingStep(const ConversionPlan& plan) {
  for (const PlannedStep& step : plan.steps)
    if (step.FailsOnTemplate()) return &step;
  return nullptr;
}

CString StepName(const PlannedStep& step) { return StepTitle(*step.step); }

CString WouldFailText(const PlannedStep& step) {
  CString text;
  text.Format("« %s » échouerait : son modèle %s %s", StepName(step).GetString(), step.step->templateFile,
              step.templateExists ? "ne s'ouvre pas" : "manque");
  return text;
}

int PrintDryRun(const CUpdaterApp& app, BOOL bPaths, BOOL bJson) {
  const SettingsInForce settings = ReadSettingsInForce(app);
  std::optional<ConversionPlan> plan;
  if (bPaths) {
    plan = PlanConversion(app.m_strSource, app.m_strDest, app.GetTemplateDir(),
                          ProbeLocks(app.m_strSource, app.m_strDest));
  }
  // A script checks before it runs: a step that would fail has a code of
  // its own, apart from a run that could not start at all.
  const int code = !plan || !plan->refusal.IsEmpty() ? kExitNothingConverted
                   : FailingStep(*plan) != nullptr   ? kExitStepWouldFail
                                                     : 0;
  if (bJson) {
    PrintDryRunJson(app, settings, plan ? &*plan : nullptr, code);
    return code;
  }
  std::printf("updater --info : simulation, aucun fichier n'est modifié.\n\n");
  PrintSettings(settings);
  if (!plan) {
    std::printf("\nRésultat : aucune conversion ne démarrerait : %s.\n", kNoSourceReason);
    return code;
  }
  PrintPlan(*plan, app);
  PrintOutcome(*plan);
  return code;
}
