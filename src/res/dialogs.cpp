#include "res/dialogs.h"

#include "res/resource.h"

namespace {
using Kind = DialogControl::Kind;
constexpr char kCaption[] = "Mise à jour Toquelin V2.5";
}  // namespace

const DialogTemplate& UpdaterDialogResource() {
  static const DialogTemplate resource{
      IDD_UPDATER_DIALOG,
      kCaption,
      320,
      200,
      {
          {IDOK, Kind::DefaultPushButton, "OK", 125, 159, 50, 14},
          {IDC_STATIC, Kind::Text, "Fichier source :", 7, 7, 46, 8},
          {IDC_STATIC, Kind::Text, "Fichier destination :", 8, 54, 58, 8},
          {IDC_SOURCE, Kind::Text, "", 70, 7, 243, 42},
          {IDC_DEST, Kind::Text, "", 70, 55, 243, 42},
          {IDC_STATIC, Kind::Text, "Chemin du modèle :", 8, 102, 60, 8},
          // The template folder gives up two of its five lines to the
          // result, which the user came for: the version reached, or what
          // failed and where the original now is. The dialog keeps its size,
          // and a terminal of 24 lines shows it whole.
          {IDC_TEMPLATE, Kind::Text, "", 70, 103, 243, 24},
          {IDC_STATIC, Kind::Text, "Résultat :", 8, 127, 60, 8},
          {IDC_RESULT, Kind::Text, "", 70, 127, 243, 32},
          {IDC_JOURNAL, Kind::PushButton, "Journal...", 239, 159, 50, 14},
      }};
  return resource;
}

const DialogTemplate& ProgressDialogResource() {
  static const DialogTemplate resource{
      IDD_PROGRESS,
      kCaption,
      187,
      33,
      {
          {IDC_PROGRESS_TEXT, Kind::CenteredText, "Conversion de la base de données V2.0 -> V2.1", 11, 13, 169, 8},
      }};
  return resource;
}
