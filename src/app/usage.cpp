#include "app/usage.h"

namespace {

const char kUsage[] =
    "Usage : updater --src BASE.mdb [--dest DESTINATION.mdb]\n"
    "        updater /SRC=BASE.mdb [/DEST=DESTINATION.mdb]\n"
    "        updater --info [--json] --src BASE.mdb [--dest DESTINATION.mdb]\n"
    "\n"
    "Convertit une base de données Toquelin, de la version V2.0 à V2.5.2, en\n"
    "version V2.5.3, en passant par chaque version intermédiaire.\n"
    "\n"
    "  --src CHEMIN, --src=CHEMIN\n"
    "                 la base à convertir ; un chemin relatif part du dossier\n"
    "                 courant\n"
    "  --dest CHEMIN, --dest=CHEMIN\n"
    "                 le fichier à écrire ; sans lui, la base est convertie sur\n"
    "                 place après une copie de sauvegarde (BASE.mdb.V2.x)\n"
    "  /SRC=CHEMIN, /DEST=CHEMIN\n"
    "                 les mêmes, comme les appelants Windows les donnent (-SRC=,\n"
    "                 toute casse) ; un chemin relatif est pris dans le dossier\n"
    "                 des modèles (valeur \"ExePath\" de\n"
    "                 HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path) ;\n"
    "                 ~ et ~/ désignent le dossier personnel\n"
    "  --info         dit ce que ferait la conversion (version détectée, étapes,\n"
    "                 sauvegarde, modèles, réglages et leurs erreurs) sans rien\n"
    "                 modifier\n"
    "  --json         avec --info : le dit en JSON (schéma dans le README)\n"
    "  -h, --help, /? affiche cette aide\n"
    "  -V, --version  affiche la version\n"
    "\n"
    "Chaque paramètre ne se donne qu'une fois ; une option inconnue ou un\n"
    "argument sans option est refusé sans que rien soit touché.\n"
    "Avec l'option \"Debug\" du registre, le journal Updater.log est écrit dans\n"
    "le dossier de la destination et un résumé finit la conversion.\n"
    "\n"
    "Codes de sortie (le shell lit 1000 comme 232, 1000 modulo 256) :\n"
    "  0     la conversion a abouti (avec --info : elle démarrerait et\n"
    "        aboutirait)\n"
    "  2     ligne de commande refusée : rien n'a été touché\n"
    "  3     avec --info : la conversion démarrerait, mais une étape échouerait\n"
    "        (modèle absent ou qui ne s'ouvre pas)\n"
    "  1000  rien n'a été converti, ou une étape a échoué (avec --info : aucune\n"
    "        conversion ne démarrerait)\n";

}  // namespace

void PrintUsage(std::FILE* out) { std::fputs(kUsage, out); }
