// The constants of every step, in chain order.
#include "framework/step_table.h"

#include <array>
#include <cstdlib>

namespace {

constexpr std::optional<int> kFull;

const std::array<StepConstants, 10> kSteps{{
    {kDbVersion20, kDbVersion21, "Mise à jour Toquelin V2.0 -> V2.1\n", nullptr, "tq2V2_1.mdb",
     "\nModification structure database V2.0\n", "Structure database V2.1 mise à jour\n\n",
     "ERREUR : Structure database V2.1 non mise à jour\n\n", "\nMise à jour des données database V2.0\n",
     "Données database V2.1 mise à jour\n\n", "ERREUR : Données database V2.1 non mise à jour\n\n", 107, 510},
    {kDbVersion21, kDbVersion22, "Mise à jour Toquelin V2.1 -> V2.2\n", "Conversion de la base de données V2.1 -> V2.2",
     "tq2V2_2.mdb", "\nModification structure database V2.1\n", "Structure database V2.2 mise à jour\n\n",
     "ERREUR : Structure database V2.2 non mise à jour\n\n", "\nMise à jour des données database V2.1\n",
     "Données database V2.2 mise à jour\n\n", "ERREUR : Données database V2.2 non mise à jour\n\n", 145, 675},
    {kDbVersion22, kDbVersion23, "Mise à jour Toquelin V2.2 -> V2.3\n", "Conversion de la base de données V2.2 -> V2.3",
     "tq2V2_3.mdb", "\nModification structure database V2.2\n", "Structure database V2.3 mise à jour\n\n",
     "ERREUR : Structure database V2.3 non mise à jour\n\n", "\nMise à jour des données database V2.2\n",
     "Données database V2.3 mise à jour\n\n", "ERREUR : Données database V2.3 non mise à jour\n\n", 155, 882},
    {kDbVersion23, kDbVersion241, "Mise à jour Toquelin V2.3 -> V2.4.1\n",
     "Conversion de la base de données V2.3 -> V2.4.1", "tq2V2_4.mdb", "\nModification structure database V2.3\n",
     "Structure database V2.4.1 mise à jour\n\n", "ERREUR : Structure database V2.41 non mise à jour\n\n",
     "\nMise à jour des données database V2.3\n", "Données database V2.4.1 mise à jour\n\n",
     "ERREUR : Données database V2.4.1 non mise à jour\n\n", 158, 933},
    {kDbVersion241, kDbVersion242, "Mise à jour Toquelin V2.4.1 -> V2.4.2\n",
     "Conversion de la base de données V2.4.1 -> V2.4.2", "tq2V2_4_2.mdb", "\nModification structure database V2.4.1\n",
     "Structure database V2.4.2 mise à jour\n\n", "ERREUR : Structure database V2.4.2 non mise à jour\n\n",
     "\nMise à jour des données database V2.4.1\n", "Données database V2.4.2 mise à jour\n\n",
     "ERREUR : Données database V2.4.2 non mise à jour\n\n", 158, 1030},
    {kDbVersion242, kDbVersion243, "Mise à jour Toquelin V2.4.2 -> V2.4.3\n",
     "Conversion de la base de données V2.4.2 -> V2.4.3", "tq2V2_4_3.mdb", nullptr, nullptr, nullptr,
     "\nMise à jour des données database V2.4.2\n", "Données database V2.4.3 mise à jour\n\n",
     "ERREUR : Données database V2.4.3 non mise à jour\n\n", kFull, kFull},
    {kDbVersion243, kDbVersion251, "Mise à jour Toquelin V2.4.3 -> V2.5.1\n",
     "Conversion de la base de données V2.4.3 -> V2.5.1", "tq2V2_5_1.mdb", "\nModification structure database V2.4.3\n",
     "Structure database V2.5.1 mise à jour\n\n", "ERREUR : Structure database V2.4.3 non mise à jour\n\n",
     "\nMise à jour des données database V2.4.3\n", "Données database V2.5.1 mise à jour\n\n",
     "ERREUR : Données database V2.5.1 non mise à jour\n\n", kFull, kFull},
    {kDbVersion251, kDbVersion2514, "Mise à jour Toquelin V2.5.1 -> V2.5.1.4\n",
     "Conversion de la base de données V2.5.1 -> V2.5.1.4", "tq2V2_5_1_4.mdb",
     "\nModification structure database V2.5.1\n", "Structure database V2.5.1.4 mise à jour\n\n",
     "ERREUR : Structure database V2.5.1 non mise à jour\n\n", "\nMise à jour des données database V2.5.1\n",
     "Données database V2.5.1.4 mise à jour\n\n", "ERREUR : Données database V2.5.1.4 non mise à jour\n\n", kFull,
     kFull},
    {kDbVersion2514, kDbVersion252, "Mise à jour Toquelin V2.5.1.4 -> V2.5.2\n",
     "Conversion de la base de données V2.5.1.4 -> V2.5.2", "tq2V2_5_2.mdb",
     "\nModification structure database V2.5.1.4\n", "Structure database V2.5.2 mise à jour\n\n",
     "ERREUR : Structure database V2.5.1.4 non mise à jour\n\n", "\nMise à jour des données database V2.5.1.4\n",
     "Données database V2.5.2 mise à jour\n\n", "ERREUR : Données database V2.5.2 non mise à jour\n\n", kFull, kFull},
    {kDbVersion252, kDbVersion253, "Mise à jour Toquelin V2.5.2 -> V2.5.3\n",
     "Conversion de la base de données V2.5.2 -> V2.5.3", "tq2V2_5_3.mdb", "\nModification structure database V2.5.2\n",
     "Structure database V2.5.3 mise à jour\n\n", "ERREUR : Structure database V2.5.2 non mise à jour\n\n",
     "\nMise à jour des données database V2.5.2\n", "Données database V2.5.3 mise à jour\n\n",
     "ERREUR : Données database V2.5.3 non mise à jour\n\n", kFull, kFull},
}};

}  // namespace

std::span<const StepConstants> StepTable() { return kSteps; }

const StepConstants& StepConstantsFrom(DbVersion from) {
  for (const StepConstants& k : kSteps)
    if (k.from == from) return k;
  std::abort();  // every step asks for its own row; another is a programming error
}
