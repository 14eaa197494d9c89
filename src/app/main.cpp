#include <cstdio>
#include <cstring>

#include "app/updater_app.h"
#include "platform/interrupt.h"
#include "platform/win_app.h"

namespace {

const char kUsage[] =
    "Usage : updater /SRC=BASE.mdb [/DEST=DESTINATION.mdb]\n"
    "\n"
    "Convertit une base de données Toquelin, de la version V2.0 à V2.5.2, en\n"
    "version V2.5.3, en passant par chaque version intermédiaire.\n"
    "\n"
    "  /SRC=chemin    la base à convertir (obligatoire) ; -SRC= convient aussi\n"
    "  /DEST=chemin   le fichier à écrire ; sans lui, la base est convertie sur\n"
    "                 place après une copie de sauvegarde (BASE.mdb.V2.x)\n"
    "  --info         dit ce que ferait la conversion (version détectée, étapes,\n"
    "                 sauvegarde, modèles, réglages) sans rien modifier ; code 0\n"
    "                 quand une conversion démarrerait, 1000 sinon\n"
    "  --help         affiche cette aide\n"
    "  --version      affiche la version\n"
    "\n"
    "Un chemin qui ne commence pas par '/' est pris dans le dossier des modèles\n"
    "(valeur \"ExePath\" de HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path).\n"
    "Avec l'option \"Debug\" du registre, le journal Updater.log est écrit dans\n"
    "le dossier de la destination.\n"
    "\n"
    "Code de sortie : 0 quand la conversion a abouti ; 1000 quand rien n'a été\n"
    "converti ou qu'une étape a échoué (le shell le lit 232, 1000 modulo 256).\n";

}  // namespace

CUpdaterApp theApp;

int main(int argc, char** argv) {
  if (argc < 2) {
    // A bare command is someone asking how to use it.
    std::fputs(kUsage, stderr);
    return kExitNothingConverted;
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::puts("updater 2.5.3 (Toquelin V2.5.3 Beta)");
      return 0;
    }
  }
  // A run stopped from outside unwinds through its failure path at the next
  // statement, so that it removes what it registered.
  CInterruptGuard interrupts;
  return AfxWinMain(argc, argv);
}
