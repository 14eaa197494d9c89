// A throw-away step after the last one, V2.5.3 -> V2.5.4, for the test that
// a new step is its own source and one line of the chain: a column for the
// recipes and the labels of its template, in the full form.
#include "framework/conversion_step.h"

namespace {

constexpr DbVersion kFrom = 2005003;

std::vector<DdlOperation> UpdateStructureV254() {
  return {{"AddRecettesEssai", {{"ALTER TABLE [Recettes] ADD [ESSAI] BIT", "Champs [Recettes].[ESSAI] ajouté\n"}}}};
}

std::vector<Merge> UpdateDataV254() { return {LanguePrinterMerge(), LangueSystemMerge()}; }

}  // namespace

const ConversionStep& ConvertV253ToV254() {
  static const ConversionStep step{
      .name = "V2.5.3 -> V2.5.4",
      .from = {kFrom, "2.5.3.459", "V2.5.3"},
      .to = {2005004, "2.5.4.501"},
      .templateFile = "tq2V2_5_4.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.5.3 -> V2.5.4\n",
                .progress = "Conversion de la base de données V2.5.3 -> V2.5.4",
                .structureOpening = "\nModification structure database V2.5.3\n",
                .structureSuccess = "Structure database V2.5.4 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.5.4 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.5.3\n",
                .dataSuccess = "Données database V2.5.4 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.5.4 non mise à jour\n\n"},
      .structure = UpdateStructureV254(),
      .merges = UpdateDataV254(),
  };
  return step;
}
