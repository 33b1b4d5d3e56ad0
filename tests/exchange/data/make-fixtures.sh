#!/usr/bin/env bash
# Makes the LibreOffice workbooks the reader tests read: book.fods (flat ODF,
# written by hand) converted to .xlsx and .xls by LibreOffice's own export.
# Run by hand after changing book.fods; the outputs are committed.
# Installs LibreOffice Calc (without its windows) when it is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
if ! dpkg-query -W -f='${Status}' libreoffice-calc-nogui 2>/dev/null | grep -q "ok installed"; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends libreoffice-calc-nogui
fi
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
for to in xlsx xls; do
    soffice -env:UserInstallation="file://$profile" --headless --convert-to "$to" --outdir "$here" book.fods
done
mv book.xlsx libreoffice.xlsx
mv book.xls libreoffice.xls
ls -l libreoffice.xlsx libreoffice.xls
