#!/usr/bin/env bash
# Compiles the user guide into resources/Lectova.CHM, which is committed, so
# building the program does not need the compiler. Run it after changing a
# page here. Needs chmcmd (Debian package fp-utils).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$here"/*.hhp "$here"/*.hhc "$here"/*.hhk "$here"/*.html "$here"/*.css "$work"/
(cd "$work" && chmcmd Lectova.hhp >/dev/null)
cp "$work/Lectova.CHM" "$here/../../resources/Lectova.CHM"
echo "wrote resources/Lectova.CHM"
