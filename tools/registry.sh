#!/usr/bin/env bash
# Writes a registry folder for UPDATER_REGISTRY: Debug on and the template
# folder, so that a run touches none of the user's own settings.
# Usage: tools/registry.sh FOLDER TEMPLATE_DIR
set -euo pipefail
folder=$1
templates=$2
mkdir -p "$folder"
cat > "$folder/HKEY_CURRENT_USER.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]
"Debug"=dword:00000001
REG
cat > "$folder/HKEY_LOCAL_MACHINE.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]
"ExePath"="$templates"
REG
