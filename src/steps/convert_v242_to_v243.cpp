// The step V2.4.2 -> V2.4.3: no change of structure; the label tables take
// every label of the template (the full form of the label merges).
#include "framework/conversion_step.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2004002;

// The data phase, in order.
std::vector<Merge> UpdateDataV243() { return {LanguePrinterMerge(), LangueSystemMerge()}; }

}  // namespace

const ConversionStep& ConvertV242ToV243() {
  static const ConversionStep step{
      .name = "V2.4.2 -> V2.4.3",
      .from = {kFrom, "2.4.2.305", "V2.4.2"},
      .earlierBuilds = {{2004001, "2.4.2.303", "VERR"}},
      .to = {2004003, "2.4.3.307"},
      .templateFile = "tq2V2_4_3.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.4.2 -> V2.4.3\n",
                .progress = "Conversion de la base de données V2.4.2 -> V2.4.3",
                .structureOpening = nullptr,
                .structureSuccess = nullptr,
                .structureFailure = nullptr,
                .dataOpening = "\nMise à jour des données database V2.4.2\n",
                .dataSuccess = "Données database V2.4.3 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.4.3 non mise à jour\n\n"},
      .merges = UpdateDataV243(),
  };
  return step;
}
