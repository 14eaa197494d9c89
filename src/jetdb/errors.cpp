#include "errors.h"

#include "jetdb/faults.h"

namespace jetdb {

Error makeError(const char* state, int native, std::string message) {
  Error e;
  e.state = state;
  e.native = native;
  e.origin = kOrigin;
  e.message = std::move(message);
  return e;
}

std::string Error::stateNativeOrigin() const {
  return "State:" + state + ",Native:" + std::to_string(native) + ",Origin:" + origin;
}

namespace errors {
namespace {
std::string q(std::string_view s) { return "'" + std::string(s) + "'"; }
}  // namespace

Error tableExists(std::string_view t) { return makeError("42S01", 3010, "La table " + q(t) + " existe déjà."); }
Error tableNotFound(std::string_view t) {
  return makeError("42S02", 3078, "Impossible de trouver la table ou la requête source " + q(t) + ".");
}
Error columnExists(std::string_view c, std::string_view t) {
  return makeError("42S21", 3380, "Le champ " + q(c) + " existe déjà dans la table " + q(t) + ".");
}
Error columnNotFound(std::string_view c, std::string_view t) {
  return makeError("42S22", 3265, "Le champ " + q(c) + " est introuvable dans la table " + q(t) + ".");
}
Error columnTwice(std::string_view c) {
  return makeError("42S21", 3191, "Impossible de définir le champ " + q(c) + " plusieurs fois.");
}
Error indexExists(std::string_view i, std::string_view t) {
  return makeError("42S11", 3375, "La table " + q(t) + " a déjà un index nommé " + q(i) + ".");
}
Error indexNotFound(std::string_view i, std::string_view t) {
  return makeError("42S12", 3377, "Il n'existe aucun index nommé " + q(i) + " dans la table " + q(t) + ".");
}
Error constraintNotFound(std::string_view n, std::string_view t) {
  return makeError("42S12", 3371,
                   "Impossible de trouver l'index, la clé ou la relation " + q(n) + " de la table " + q(t) + ".");
}
Error primaryKeyExists(std::string_view t) {
  return makeError("42S11", 3283, "La table " + q(t) + " a déjà une clé primaire.");
}
Error duplicateValues(std::string_view t) {
  return makeError("23000", 3022,
                   "Les modifications apportées à la table " + q(t) +
                       " n'ont pas été effectuées car elles créeraient des valeurs en double dans l'index, la clé "
                       "primaire ou la relation. Modifiez les données du ou des champs contenant des valeurs en "
                       "double, supprimez l'index ou redéfinissez-le pour autoriser les entrées en double et "
                       "réessayez.");
}
Error parentRequired(std::string_view p) {
  return makeError("23000", 3201,
                   "Vous ne pouvez pas ajouter ou modifier un enregistrement car l'enregistrement associé est requis "
                   "dans la table " + q(p) + ".");
}
Error childrenExist(std::string_view c) {
  return makeError("23000", 3200,
                   "Impossible de supprimer ou de modifier l'enregistrement car la table " + q(c) +
                       " comprend des enregistrements connexes.");
}
Error relationBroken(std::string_view r) {
  return makeError("23000", 3378,
                   "Impossible de créer la relation " + q(r) +
                       " : les données de la table ne respectent pas les règles d'intégrité référentielle.");
}
Error noUniqueIndex(std::string_view t) {
  return makeError("HY000", 3367,
                   "Aucun index unique trouvé pour le champ référencé de la table primaire " + q(t) + ".");
}
Error relationTypes(std::string_view r) {
  return makeError("HY000", 3368,
                   "La relation " + q(r) + " doit porter sur le même nombre de champs avec les mêmes types de données.");
}
Error columnInIndex(std::string_view c, std::string_view t) {
  return makeError("HY000", 3280,
                   "Impossible de modifier ou de supprimer le champ " + q(c) + " de la table " + q(t) +
                       ". Il fait partie d'un ou plusieurs index.");
}
Error columnInRelation(std::string_view c, std::string_view t) {
  return makeError("HY000", 3303,
                   "Impossible de modifier ou de supprimer le champ " + q(c) + " de la table " + q(t) +
                       ". Il fait partie d'une ou plusieurs relations.");
}
Error tableInRelation(std::string_view t) {
  return makeError("HY000", 3303,
                   "Impossible de supprimer la table " + q(t) + ". Elle fait partie d'une ou plusieurs relations.");
}
Error textTooLong(std::string_view c) {
  return makeError("22001", 3163,
                   "Le champ " + q(c) + " est trop petit pour accepter la quantité de données que vous avez tenté "
                   "d'ajouter.");
}
Error outOfRange(std::string_view c) {
  return makeError("22003", 3349, "Dépassement de capacité numérique dans le champ " + q(c) + ".");
}
Error wrongType(std::string_view c) {
  return makeError("22018", 3464, "Type de données incompatible dans l'expression du champ " + q(c) + ".");
}
Error nullNotAllowed(std::string_view t, std::string_view c) {
  return makeError("23000", 3314,
                   "Le champ '" + std::string(t) + "." + std::string(c) +
                       "' ne peut pas contenir de valeur Null car la propriété Null interdit de ce champ a la valeur "
                       "True. Entrez une valeur dans ce champ.");
}
Error syntax(std::string_view where) {
  // The clauses of a query have Jet numbers of their own.
  const int native = where == "la clause FROM" ? 3131 : where == "l'opération JOIN" ? 3135 : 3290;
  return makeError("42000", native, "Erreur de syntaxe dans " + std::string(where) + ".");
}
Error syntaxInExpression(std::string_view x) {
  return makeError("42000", 3075, "Erreur de syntaxe (opérateur absent) dans l'expression " + q(x) + ".");
}
Error badStatement() {
  return makeError("42000", 3129,
                   "Instruction SQL non valide ; 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT' ou 'UPDATE' attendu.");
}
Error aggregateMix(std::string_view x) {
  return makeError("42000", 3122,
                   "Vous avez essayé d'exécuter une requête ne comprenant pas l'expression spécifiée " + q(x) +
                       " comme une partie de fonction d'agrégat.");
}
Error tooDeep(std::string_view x) {
  return makeError("54001", 3360,
                   "Requête trop complexe : l'expression " + q(x) + " imbrique plus de " + std::to_string(kMaxNesting) +
                       " niveaux de parenthèses, de NOT, de signes, de fonctions ou de listes IN.");
}
Error tooComplex() {
  return makeError("54001", 3360,
                   "Requête trop complexe : le moteur de base de données ne peut pas la traiter. Scindez-la en "
                   "requêtes plus simples.");
}
Error ambiguousColumn(std::string_view c) {
  return makeError("42000", 3079,
                   "Le champ spécifié " + q(c) +
                       " peut faire référence à plusieurs tables de la clause FROM de votre "
                       "instruction SQL.");
}
Error tooFewParameters(std::size_t expected) {
  return makeError("07002", 3061, "Trop peu de paramètres. " + std::to_string(expected) + " attendu.");
}
Error distinctOrder(std::string_view x) {
  return makeError("42000", 3093, "La clause ORDER BY " + q(x) + " est en conflit avec DISTINCT.");
}
Error subqueryColumns() {
  return makeError("42000", 3306,
                   "Vous avez écrit une sous-requête pouvant renvoyer plus d'un champ. Modifiez l'instruction SELECT "
                   "de la sous-requête afin de ne demander qu'un seul champ.");
}
Error invalidName(std::string_view n) {
  return makeError("HY000", 3125, q(n) + " n'est pas un nom correct. Vérifiez qu'il ne comprend pas de caractères "
                                         "ou de ponctuation non valides et qu'il n'est pas trop long.");
}
Error lastColumn(std::string_view t) {
  return makeError("HY000", 3282, "Impossible de supprimer tous les champs de la table " + q(t) + ".");
}
Error notADatabase(std::string_view p) {
  return makeError("HY000", 3343, "Format de base de données " + q(p) + " non reconnu.");
}
Error fileNotFound(std::string_view p) { return makeError("HY000", 3024, "Fichier " + q(p) + " introuvable."); }
Error fileExists(std::string_view p) { return makeError("HY000", 3204, "La base de données " + q(p) + " existe déjà."); }
Error fileLocked(std::string_view p) {
  return makeError("HY000", 3045, "Impossible d'utiliser " + q(p) + " ; fichier déjà utilisé.");
}
Error readOnly(std::string_view p) {
  return makeError("HY000", kNativeReadOnly,
                   "Impossible de mettre à jour. La base de données " + q(p) + " est ouverte en lecture seule.");
}
Error readOnlyDisk(std::string_view p) {
  return makeError("HY000", kNativeReadOnly,
                   "Impossible de mettre à jour. Le système de fichiers qui contient " + q(p) +
                       " est en lecture seule.");
}
Error pathTooLong(std::string_view p, std::size_t length, std::size_t limit) {
  return makeError("HY000", kNativePathTooLong,
                   "Le chemin " + q(p) + " est trop long : " + std::to_string(length) +
                       " octets, le moteur de stockage en accepte " + std::to_string(limit) + " au plus.");
}
Error logMissing(std::string_view p) {
  return makeError("HY000", 3051,
                   "Impossible d'ouvrir " + q(p) +
                       " en lecture seule : son journal d'écriture (-wal, -shm) est absent. Ouvrez-la une fois en "
                       "écriture pour la refermer.");
}
Error foreignLog(std::string_view p, std::string_view log, std::string_view why) {
  return makeError("HY000", 3051,
                   "Impossible d'ouvrir " + q(p) + " : le journal " + q(log) + " posé à côté " + std::string(why) +
                       " ; il n'est pas lu et la base n'est pas ouverte. Retirez-le s'il ne vient pas de vous.");
}
Error rowNotFound() {
  return makeError("HY000", 3167, "L'enregistrement est supprimé.");
}
Error transactionOpen() {
  return makeError("25000", 3003, "Impossible de démarrer la transaction : une transaction est déjà ouverte.");
}
Error transactionLost() {
  return makeError("25000", 3034,
                   "La transaction a été annulée par le moteur de stockage : annulez-la (ROLLBACK) avant de "
                   "continuer.");
}
namespace {
std::string ofFile(std::string_view p) { return p.empty() ? "" : " (" + q(p) + ")"; }
}  // namespace
Error diskFull(std::string_view p) {
  std::string where;
  if (!p.empty()) {
    const std::size_t slash = p.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
    where = " du dossier " + q(folder);
  }
  return makeError("HY000", kNativeDiskFull, "Espace insuffisant sur le disque" + where + ofFile(p) + ".");
}
Error ioError(std::string_view p) {
  return makeError("HY000", kNativeDiskError, "Erreur de disque ou de réseau" + ofFile(p) + ".");
}
Error corrupt(std::string_view p) {
  return makeError("HY000", 3049,
                   "Impossible d'utiliser la base de données " + q(p) +
                       " : le fichier est endommagé. Réparez-le ou reprenez sa copie de sauvegarde.");
}
Error cannotOpen(std::string_view p) {
  return makeError("HY000", 3051,
                   "Impossible d'ouvrir le fichier " + q(p) +
                       " : il est ouvert en mode exclusif par un autre utilisateur, ou vous n'avez pas l'autorisation "
                       "d'en lire les données.");
}
Error outOfMemory() {
  return makeError("HY001", kNativeOutOfMemory, "Mémoire insuffisante : ressources système dépassées.");
}
Error interrupted() { return makeError("HY008", 3059, "Opération annulée."); }
Error collationConflict(const std::vector<std::string>& pairs) {
  std::string message =
      "Le fichier n'a pas été ouvert en écriture : ses index suivent un ordre de tri ancien, et dans le nouveau "
      "ces valeurs d'un index unique sont égales. Rien n'a été modifié.";
  for (const auto& p : pairs) message += "\n" + p;
  return makeError("23000", 3022, std::move(message));
}

Error engine(int code) {
  return makeError("HY000", 3146, "Échec de l'appel ODBC : erreur " + std::to_string(code) + " du moteur de stockage.");
}

}  // namespace errors
}  // namespace jetdb
