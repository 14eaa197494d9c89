// The step V2.5.1 -> V2.5.1.4: a second HTML page for recipes, and the
// label tables brought up to date.
#include "framework/conversion_step.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2005001;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV2514() {
  return {
      {"AddRecettesHtml2", {{"ALTER TABLE [Recettes] ADD COLUMN [HTML2] TEXT(255)", "Table [Recettes] modifiée\n"}}},
  };
}

// The data phase, in order.
std::vector<Merge> UpdateDataV2514() { return {LanguePrinterMerge(), LangueSystemMerge()}; }

}  // namespace

const ConversionStep& ConvertV251ToV2514() {
  static const ConversionStep step{
      .name = "V2.5.1 -> V2.5.1.4",
      .from = {kFrom, "2.5.1.341", "V2.5.1"},
      .to = {2005001004, "2.5.1.343"},
      .templateFile = "tq2V2_5_1_4.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.5.1 -> V2.5.1.4\n",
                .progress = "Conversion de la base de données V2.5.1 -> V2.5.1.4",
                .structureOpening = "\nModification structure database V2.5.1\n",
                .structureSuccess = "Structure database V2.5.1.4 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.5.1 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.5.1\n",
                .dataSuccess = "Données database V2.5.1.4 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.5.1.4 non mise à jour\n\n"},
      .structure = UpdateStructureV2514(),
      .merges = UpdateDataV2514(),
  };
  return step;
}
