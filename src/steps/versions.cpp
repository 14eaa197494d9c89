#include "steps/versions.h"

#include <cstring>

#include "steps/chain.h"

namespace {

// The entry version of `step` with that code, the step's own or one of its
// earlier builds.
const EntryVersion* EntryOf(const ConversionStep& step, DbVersion nVersion) {
  if (step.from.code == nVersion) return &step.from;
  for (const EntryVersion& build : step.earlierBuilds)
    if (build.code == nVersion) return &build;
  return nullptr;
}

}  // namespace

DbVersion ChainTarget() { return ChainSteps().back()->to.code; }

const ConversionStep* StepFrom(DbVersion nVersion) {
  for (const ConversionStep* step : ChainSteps())
    if (EntryOf(*step, nVersion) != nullptr) return step;
  return nullptr;
}

std::vector<const ConversionStep*> StepsFrom(DbVersion nVersion) {
  std::vector<const ConversionStep*> steps;
  for (const ConversionStep* step = StepFrom(nVersion); step != nullptr; step = StepFrom(step->to.code))
    steps.push_back(step);
  return steps;
}

DbVersion VersionFromStoredText(const CString& text) {
  for (const ConversionStep* step : ChainSteps()) {
    if (std::strcmp(text.GetString(), step->from.text) == 0) return step->from.code;
    for (const EntryVersion& build : step->earlierBuilds)
      if (std::strcmp(text.GetString(), build.text) == 0) return build.code;
  }
  const StoredVersion& target = ChainSteps().back()->to;
  return std::strcmp(text.GetString(), target.text) == 0 ? target.code : kDbVersionNone;
}

const char* StoredVersionText(DbVersion nVersion) {
  if (const ConversionStep* step = StepFrom(nVersion)) return EntryOf(*step, nVersion)->text;
  const StoredVersion& target = ChainSteps().back()->to;
  return target.code == nVersion ? target.text : "";
}

const char* GetVersionText(DbVersion nVersion) {
  if (const ConversionStep* step = StepFrom(nVersion)) return EntryOf(*step, nVersion)->shortText;
  return "VERR";
}
