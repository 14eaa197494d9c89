#include "app/dry_run_json.h"

#include <cstdio>

#include "app/dry_run.h"
#include "app/json_writer.h"
#include "app/usage.h"
#include "engine/access_source.h"
#include "shell/journal.h"
#include "steps/versions.h"

namespace {

void Version(JsonWriter& json, DbVersion version) {
  if (version == 0) {
    json.Null();
    return;
  }
  json.BeginObject().Key("code").Number(version).Key("text").String(StoredVersionText(version)).EndObject();
}

const char* StateName(RegistryHiveReport::State state) {
  switch (state) {
    case RegistryHiveReport::State::Missing:
      return "absent";
    case RegistryHiveReport::State::Unreadable:
      return "unreadable";
    case RegistryHiveReport::State::Read:
      break;
  }
  return "present";
}

void Setting(JsonWriter& json, const char* name, const std::string& value, const char* origin,
             const std::string& where = "") {
  json.Key(name).BeginObject().Key("value").String(value).Key("origin").String(origin);
  if (!where.empty()) json.Key("key").String(where);
  json.EndObject();
}

void Settings(JsonWriter& json, const SettingsInForce& settings) {
  json.Key("settings").BeginObject();
  json.Key("registry").BeginObject();
  json.Key("folder").StringOrNull(settings.registryFolder);
  json.Key("origin").String(settings.registryFolder.empty() ? "default" : "UPDATER_REGISTRY");
  json.Key("hives").BeginArray();
  for (const HiveSummary& hive : settings.hives) {
    json.BeginObject().Key("root").String(hive.root).Key("file").String(hive.file);
    json.Key("state").String(StateName(hive.state));
    json.Key("header").StringOrNull(hive.header).Key("encoding").StringOrNull(hive.encoding);
    json.Key("issues").BeginArray();
    for (const SettingsIssue& issue : hive.issues) {
      json.BeginObject().Key("line").Number(issue.line).Key("text").String(issue.text);
      json.Key("refused").Bool(issue.refused).Key("reason").String(issue.reason).EndObject();
    }
    json.EndArray().EndObject();
  }
  json.EndArray().EndObject();
  json.Key("debug").BeginObject().Key("value").Number(settings.debug);
  json.Key("origin").String(settings.debugFromRegistry ? "registry" : "default");
  json.Key("key").String(settings.debugKey).EndObject();
  Setting(json, "template_dir", settings.templateDir,
          settings.templateDirFromRegistry ? "registry"
          : settings.templateDirInstalled  ? "installed"
                                           : "current_directory",
          settings.templateKey);
  Setting(json, "data_sources", settings.dataSources, settings.dataSourcesFromEnvironment ? "ODBCINI" : "default");
  Setting(json, "system_data_sources", settings.systemDataSources,
          settings.systemDataSourcesFromEnvironment ? "ODBCSYSINI" : "default");
  json.EndObject();
}

void Steps(JsonWriter& json, const ConversionPlan& plan) {
  json.Key("steps").BeginArray();
  for (const PlannedStep& step : plan.steps) {
    json.BeginObject().Key("name").String(StepName(step).str());
    json.Key("from");
    Version(json, step.step->from.code);
    json.Key("to");
    Version(json, step.step->to.code);
    json.Key("template").BeginObject().Key("path").String(step.templatePath.str());
    json.Key("exists").Bool(step.templateExists).Key("opens").Bool(step.templateExists && step.templateError.IsEmpty());
    json.Key("error").StringOrNull(step.templateError.str()).EndObject();
    json.EndObject();
  }
  json.EndArray();
}

const char* Outcome(const ConversionPlan* plan) {
  if (plan == nullptr || !plan->refusal.IsEmpty()) return "refused";
  if (FailingStep(*plan) != nullptr) return "would_fail";
  return plan->steps.empty() ? "already_converted" : "would_convert";
}

}  // namespace

void PrintDryRunJson(const CUpdaterApp& app, const SettingsInForce& settings, const ConversionPlan* plan,
                     int exitCode) {
  JsonWriter json;
  json.BeginObject().Key("schema").Number(1).Key("program").String("updater");
  json.Key("program_version").String(kProgramVersion);
  json.Key("exit_code").Number(exitCode).Key("outcome").String(Outcome(plan));
  const PlannedStep* failing = plan != nullptr && plan->refusal.IsEmpty() ? FailingStep(*plan) : nullptr;
  json.Key("reason");
  if (plan == nullptr) {
    json.String(kNoSourceReason);
  } else if (!plan->refusal.IsEmpty()) {
    json.String(plan->refusal.str());
  } else if (failing != nullptr) {
    json.String(WouldFailText(*failing).str());
  } else {
    json.Null();
  }
  json.Key("source");
  if (plan == nullptr) {
    json.Null();
  } else {
    json.BeginObject().Key("path").String(app.m_strSource.str()).Key("version");
    Version(json, plan->version);
    // A real Access file: what it is, and what its import could not carry.
    json.Key("access");
    if (!plan->access) {
      json.Null();
    } else {
      const AccessSource& access = *plan->access;
      json.BeginObject().Key("kind").String(access.kind.str()).Key("imported").Bool(access.refusal.IsEmpty());
      json.Key("tables").Number(static_cast<long long>(access.tables));
      json.Key("rows").Number(static_cast<long long>(access.rows));
      json.Key("not_carried").BeginArray();
      for (const CString& line : access.notCarried) json.String(line.str());
      json.EndArray().EndObject();
    }
    json.EndObject();
    // The half-converted source that a resume would replace first, and the
    // backup it would put back.
    json.Key("resume");
    if (plan->resume.note.IsEmpty()) {
      json.Null();
    } else {
      json.BeginObject().Key("note").String(plan->resume.note.str());
      json.Key("backup").StringOrNull(plan->resume.backup.str());
      json.Key("unfinished").StringOrNull(plan->resume.unfinished.str()).EndObject();
    }
    json.Key("destination").BeginObject().Key("path").String(plan->written.str());
    json.Key("in_place").Bool(plan->inPlace).Key("exists").Bool(plan->writtenExists).EndObject();
    json.Key("backup").StringOrNull(plan->backup.str());
  }
  json.Key("journal").StringOrNull(g_bDebug ? app.GetJournalPath().str() : "");
  if (plan != nullptr) {
    Steps(json, *plan);
    json.Key("would_fail");
    if (failing != nullptr) {
      json.BeginObject().Key("step").String(StepName(*failing).str());
      json.Key("template").String(failing->templatePath.str());
      json.Key("reason").String(failing->templateExists ? "ne s'ouvre pas : " + failing->templateError.str()
                                                        : std::string("absent"));
      json.EndObject();
    } else {
      json.Null();
    }
    json.Key("reached");
    Version(json, plan->refusal.IsEmpty() ? plan->reached : 0);
  }
  Settings(json, settings);
  json.EndObject();
  std::fputs(json.Text().c_str(), stdout);
}
