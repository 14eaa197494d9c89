// The step V2.2 -> V2.3: a discount on production sheets, the table of the
// network clients, and users who may only consult.
#include "framework/conversion_step.h"

namespace {

// The version this step converts, which its template's record sets carry.
constexpr DbVersion kFrom = 2002;

// The structure phase, in order.
std::vector<DdlOperation> UpdateStructureV23() {
  return {
      {"AddFicheProductionRemise",
       {{"ALTER TABLE [FicheProduction] ADD [REMISE] REAL", "Champs [FicheProduction].[REMISE] ajouté\n"}}},
      // The index is still sent when the table was
      // refused, as the Windows tool did.
      {"CreateTableLanClients",
       {{"CREATE TABLE [LAN_Clients] ( [SERNUM] TEXT(12) CONSTRAINT PrimaryKey PRIMARY KEY NOT NULL, [ENABLE] BIT, "
         "[TRACEDETAIL] BIT)",
         "Table [LAN_Clients] créee\n", OnFailure::GoOn},
        {"CREATE UNIQUE INDEX [SERNUM] ON [LAN_Clients] ( [SERNUM] )", "Index [LAN_Clients].[SERNUM] crée\n"}}},
      {"AddUtilisateursConsultOnly",
       {{"ALTER TABLE [Utilisateurs] ADD [CONSULT_ONLY] BIT", "Champs [Utilisateurs].[CONSULT_ONLY] ajouté\n"}}},
  };
}

// The data phase, in order.
std::vector<Merge> UpdateDataV23() { return {LanguePrinterMerge(), LangueSystemMerge()}; }

}  // namespace

const ConversionStep& ConvertV22ToV23() {
  static const ConversionStep step{
      .name = "V2.2 -> V2.3",
      .from = {kFrom, "2.2.1.197", "V2.2"},
      .to = {2003, "2.3.1.217"},
      .templateFile = "tq2V2_3.mdb",
      .lines = {.opening = "Mise à jour Toquelin V2.2 -> V2.3\n",
                .progress = "Conversion de la base de données V2.2 -> V2.3",
                .structureOpening = "\nModification structure database V2.2\n",
                .structureSuccess = "Structure database V2.3 mise à jour\n\n",
                .structureFailure = "ERREUR : Structure database V2.3 non mise à jour\n\n",
                .dataOpening = "\nMise à jour des données database V2.2\n",
                .dataSuccess = "Données database V2.3 mise à jour\n\n",
                .dataFailure = "ERREUR : Données database V2.3 non mise à jour\n\n"},
      .printerLimit = 155,
      .systemLimit = 882,
      .structure = UpdateStructureV23(),
      .merges = UpdateDataV23(),
  };
  return step;
}
