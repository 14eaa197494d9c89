#include "options.h"

namespace jetsql {

const char* const kUsage =
    "usage : jetsql [--create | --read-only] [--csv] [--] FICHIER [INSTRUCTION...]\n"
    "        jetsql --check FICHIER\n"
    "        jetsql --import [--codepage CP] SOURCE.mdb NOUVEAU.mdb\n"
    "        jetsql --help | --version\n"
    "\n"
    "Exécute sur la base FICHIER les instructions SQL Access données en arguments,\n"
    "ou le script lu sur l'entrée standard ; sans instruction et à un terminal, les\n"
    "demande une à une (.help liste les commandes du shell). La base est lue sans\n"
    "être changée jusqu'à la première instruction qui l'écrit.\n"
    "\n"
    "  --create       crée FICHIER, qui ne doit pas exister\n"
    "  --read-only    n'écrit rien dans FICHIER ni à côté : toute écriture est refusée\n"
    "  --csv          lignes en CSV : Null en champ vide, le texte vide en \"\"\n"
    "  --check        vérifie FICHIER sans le changer : OK, ou un problème par ligne\n"
    "  --import       écrit NOUVEAU.mdb, qui ne doit pas exister, d'après le fichier\n"
    "                 Access SOURCE.mdb, et dit sur l'erreur standard ce qu'il n'a pu\n"
    "                 reprendre (code 0 : tout, 1 : presque tout, 2 : rien)\n"
    "  --codepage CP  avec --import : la page de code des textes d'un fichier Jet 3\n"
    "  -h, --help     affiche cette aide\n"
    "  -V, --version  affiche la version\n"
    "\n"
    "Codes de sortie :\n"
    "  0     toutes les instructions ont abouti (avec --check : le fichier est sain)\n"
    "  1     une instruction ou une commande a été refusée (avec --check : un problème)\n"
    "  2     le fichier n'a pas pu être ouvert ou créé\n"
    "  64    ligne de commande erronée\n"
    "  130   Ctrl+C a interrompu un script\n";

Options parseOptions(int argc, char** argv) {
  Options opt;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--create") opt.create = true;
    else if (a == "--read-only") opt.readOnly = true;
    else if (a == "--csv") opt.csv = true;
    else if (a == "--check") opt.check = true;
    else if (a == "--help" || a == "-h") opt.help = true;
    else if (a == "--version" || a == "-V") opt.version = true;
    else if (a == "--") {
      ++i;
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      opt.error = "option inconnue : " + a;
      return opt;
    } else {
      break;
    }
  }
  if (opt.help || opt.version) return opt;
  if (i < argc) opt.file = argv[i++];
  for (; i < argc; ++i) opt.statements.emplace_back(argv[i]);
  if (opt.file.empty()) opt.error = "il manque le fichier de la base";
  else if (opt.create && opt.readOnly) opt.error = "--create et --read-only s'excluent";
  else if (opt.check && (opt.create || !opt.statements.empty()))
    opt.error = "--check prend un fichier, et rien d'autre";
  return opt;
}

}  // namespace jetsql
