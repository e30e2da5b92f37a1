#!/usr/bin/env bash
# Writes the palmora(1) manual page from the program's own help texts, so that the page and the
# program never disagree: make_man_page.sh PROGRAM VERSION OUT
set -euo pipefail
program=$1 version=$2 out=$3

# Text as roff reads it: backslashes doubled, lines starting with a dot or quote protected.
escape() { sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"; }

main_help=$("$program" --help)
commands=$(printf '%s\n' "$main_help" | sed -n '/^Subcommands:/,$p' | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p')
summary=$(printf '%s\n' "$main_help" | head -1 | sed 's/^palmora: //')

{
  echo ".TH PALMORA 1 \"\" \"palmora $version\" \"User Commands\""
  echo ".SH NAME"
  echo "palmora \\- $(printf '%s\n' "$summary" | escape)"
  echo ".SH SYNOPSIS"
  echo ".B palmora"
  echo "[\\fIOPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGUMENTS\\fR]"
  echo ".SH OPTIONS"
  echo ".nf"
  printf '%s\n' "$main_help" | tail -n +2 | escape
  echo ".fi"
  echo ".SH COMMANDS"
  for command in $commands; do
    echo ".SS $command"
    echo ".nf"
    "$program" "$command" --help | escape
    echo ".fi"
  done
  echo ".SH FILES"
  echo "The shipped data (paint scripts, brush pictures, filters) is in share/palmora beside the"
  echo "program's prefix; the documentation in share/doc/palmora."
} >"$out.partial"
mv "$out.partial" "$out"
