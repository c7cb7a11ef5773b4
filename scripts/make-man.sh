#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A manual page from a program's own --help and --version, with help2man; brelo-cli's page
# gains a section with the help of each of its verbs. Usage: make-man.sh PROGRAM OUT.1
set -euo pipefail
program=$1
out=$2
name=$(basename "$program")
mkdir -p "$(dirname "$out")"
include=$(mktemp)
trap 'rm -f "$include"' EXIT
case "$name" in
  brelo-cli)
    summary="view, edit and convert JNX raster maps from the command line"
    {
      echo "[VERBS]"
      # The verbs as --help lists them, each with its own help.
      for verb in $("$program" --help | awk 'tolower($0) ~ /^subcommands:/ {on = 1; next} on && NF {print $1}'); do
        echo ".SS $verb"
        echo ".nf"
        "$program" "$verb" --help | sed -e 's/\\/\\\\/g' -e 's/^\./\\\&./'
        echo ".fi"
      done
      echo "[EXIT STATUS]"
      echo "0 when the verb did its work, 1 when it failed (one line on stderr says why), 2 for a"
      echo "wrong command line."
    } >"$include"
    ;;
  *)
    summary="view, edit and convert JNX raster maps"
    {
      echo "[FILES]"
      echo "Settings are kept in brelo.ini beside the program when its folder is writable, otherwise"
      echo "in ~/.config/brelo/, with the file dialog's OpenSave.ini beside them."
    } >"$include"
    ;;
esac
QT_QPA_PLATFORM=offscreen help2man --no-info --no-discard-stderr --section 1 --name "$summary" \
  --include "$include" --output "$out" "$program"
gzip -9nf "$out"
