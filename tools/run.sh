#!/bin/sh
# Until the tray program exists: the command-line encoder on a sample text.
set -eu
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target velumor-encode >/dev/null
sample='<a href="mailto:info@example.com">Schreiben Sie uns – wir freuen uns!</a>'
echo "Das Tray-Programm gibt es noch nicht; hier kodiert das Kommandozeilenwerkzeug"
echo "build/native/bin/velumor-encode diesen Beispieltext:"
echo
echo "  $sample"
echo
build/native/bin/velumor-encode --seed 1 "$sample"
echo
echo "Und was der Block in die Seite schreibt (--decode):"
build/native/bin/velumor-encode --seed 1 "$sample" | build/native/bin/velumor-encode --decode
