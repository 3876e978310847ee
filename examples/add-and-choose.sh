#!/usr/bin/env bash
# Drives a running Tunevane window from a script: adds files, chooses an output and reads back
# the supported input formats. Each call of `tunevane "<command>"` hands the command to the
# window that is already open (or opens one) and returns once the command has run.
set -euo pipefail

reply=$(mktemp -d)
trap 'rm -rf "$reply"' EXIT

tunevane "@ExportDataPath:$reply/data.txt"
tunevane "@ExportDonePath:$reply/done.txt"

for file in "$@"; do
  rm -f "$reply/done.txt"
  tunevane "@AddFile:$file"
  [ -e "$reply/done.txt" ] && echo "added: $file"
done

tunevane "@SetOutput:MP3"          # fewer than 5 letters: a format button
tunevane "@InputFormat"
echo "Tunevane reads: $(tr -d '\r' < "$reply/data.txt")"
