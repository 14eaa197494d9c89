// The two dialog resources, their texts and the program's message texts.
#pragma once

#include "platform/dialog.h"

const DialogTemplate& UpdaterDialogResource();
const DialogTemplate& ProgressDialogResource();

inline constexpr char kJournalOpenError[] = "Erreur ouverture du fichier journal !";
