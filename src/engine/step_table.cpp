// The constants of every step, in chain order.
#include <array>
#include <cstdlib>

#include "engine/step_framework.h"

namespace {

constexpr std::optional<int> kFull;

const std::array<StepConstants, 10> kSteps{{
    {2000, 2001, "Mise à jour Toquelin V2.0 -> V2.1\n", nullptr, "tq2V2_1.mdb", "2.1.1.91",
     "\nModification structure database V2.0\n", "Structure database V2.1 mise à jour\n\n",
     "ERREUR : Structure database V2.1 non mise à jour\n\n", "\nMise à jour des données database V2.0\n",
     "Données database V2.1 mise à jour\n\n", "ERREUR : Données database V2.1 non mise à jour\n\n", 107, 510},
    {2001, 2002, "Mise à jour Toquelin V2.1 -> V2.2\n", "Conversion de la base de données V2.1 -> V2.2",
     "tq2V2_2.mdb", "2.2.1.197", "\nModification structure database V2.1\n",
     "Structure database V2.2 mise à jour\n\n", "ERREUR : Structure database V2.2 non mise à jour\n\n",
     "\nMise à jour des données database V2.1\n", "Données database V2.2 mise à jour\n\n",
     "ERREUR : Données database V2.2 non mise à jour\n\n", 145, 675},
    {2002, 2003, "Mise à jour Toquelin V2.2 -> V2.3\n", "Conversion de la base de données V2.2 -> V2.3",
     "tq2V2_3.mdb", "2.3.1.217", "\nModification structure database V2.2\n",
     "Structure database V2.3 mise à jour\n\n", "ERREUR : Structure database V2.3 non mise à jour\n\n",
     "\nMise à jour des données database V2.2\n", "Données database V2.3 mise à jour\n\n",
     "ERREUR : Données database V2.3 non mise à jour\n\n", 155, 882},
    {2003, 2004, "Mise à jour Toquelin V2.3 -> V2.4.1\n", "Conversion de la base de données V2.3 -> V2.4.1",
     "tq2V2_4.mdb", "2.4.1.263", "\nModification structure database V2.3\n",
     "Structure database V2.4.1 mise à jour\n\n", "ERREUR : Structure database V2.41 non mise à jour\n\n",
     "\nMise à jour des données database V2.3\n", "Données database V2.4.1 mise à jour\n\n",
     "ERREUR : Données database V2.4.1 non mise à jour\n\n", 158, 933},
    {2004, 2004002, "Mise à jour Toquelin V2.4.1 -> V2.4.2\n", "Conversion de la base de données V2.4.1 -> V2.4.2",
     "tq2V2_4_2.mdb", "2.4.2.305", "\nModification structure database V2.4.1\n",
     "Structure database V2.4.2 mise à jour\n\n", "ERREUR : Structure database V2.4.2 non mise à jour\n\n",
     "\nMise à jour des données database V2.4.1\n", "Données database V2.4.2 mise à jour\n\n",
     "ERREUR : Données database V2.4.2 non mise à jour\n\n", 158, 1030},
    {2004002, 2004003, "Mise à jour Toquelin V2.4.2 -> V2.4.3\n", "Conversion de la base de données V2.4.2 -> V2.4.3",
     "tq2V2_4_3.mdb", "2.4.3.307", nullptr, nullptr, nullptr, "\nMise à jour des données database V2.4.2\n",
     "Données database V2.4.3 mise à jour\n\n", "ERREUR : Données database V2.4.3 non mise à jour\n\n", kFull,
     kFull},
    {2004003, 2005001, "Mise à jour Toquelin V2.4.3 -> V2.5.1\n", "Conversion de la base de données V2.4.3 -> V2.5.1",
     "tq2V2_5_1.mdb", "2.5.1.341", "\nModification structure database V2.4.3\n",
     "Structure database V2.5.1 mise à jour\n\n", "ERREUR : Structure database V2.4.3 non mise à jour\n\n",
     "\nMise à jour des données database V2.4.3\n", "Données database V2.5.1 mise à jour\n\n",
     "ERREUR : Données database V2.5.1 non mise à jour\n\n", kFull, kFull},
    {2005001, 2005001004, "Mise à jour Toquelin V2.5.1 -> V2.5.1.4\n",
     "Conversion de la base de données V2.5.1 -> V2.5.1.4", "tq2V2_5_1_4.mdb", "2.5.1.343",
     "\nModification structure database V2.5.1\n", "Structure database V2.5.1.4 mise à jour\n\n",
     "ERREUR : Structure database V2.5.1 non mise à jour\n\n", "\nMise à jour des données database V2.5.1\n",
     "Données database V2.5.1.4 mise à jour\n\n", "ERREUR : Données database V2.5.1.4 non mise à jour\n\n", kFull,
     kFull},
    {2005001004, 2005002, "Mise à jour Toquelin V2.5.1.4 -> V2.5.2\n",
     "Conversion de la base de données V2.5.1.4 -> V2.5.2", "tq2V2_5_2.mdb", "2.5.2.399",
     "\nModification structure database V2.5.1.4\n", "Structure database V2.5.2 mise à jour\n\n",
     "ERREUR : Structure database V2.5.1.4 non mise à jour\n\n", "\nMise à jour des données database V2.5.1.4\n",
     "Données database V2.5.2 mise à jour\n\n", "ERREUR : Données database V2.5.2 non mise à jour\n\n", kFull,
     kFull},
    {2005002, 2005003, "Mise à jour Toquelin V2.5.2 -> V2.5.3\n", "Conversion de la base de données V2.5.2 -> V2.5.3",
     "tq2V2_5_3.mdb", "2.5.3.459", "\nModification structure database V2.5.2\n",
     "Structure database V2.5.3 mise à jour\n\n", "ERREUR : Structure database V2.5.2 non mise à jour\n\n",
     "\nMise à jour des données database V2.5.2\n", "Données database V2.5.3 mise à jour\n\n",
     "ERREUR : Données database V2.5.3 non mise à jour\n\n", kFull, kFull},
}};

}  // namespace

const StepConstants& StepConstantsFrom(DbVersion from) {
  for (const StepConstants& k : kSteps)
    if (k.from == from) return k;
  std::abort();  // every step asks for its own row; another is a programming error
}
