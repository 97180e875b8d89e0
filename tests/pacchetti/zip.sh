#!/bin/sh
# The zip as a user gets it: unpacked into a folder whose path has spaces, it
# holds one folder with the game and everything it needs (contenuto.sh), and
# the game plays from there (test_pacchetto, Scompattato.*), in the tests'
# own Wine prefix.
#   zip.sh ZIP FOLDER_NAME WORK HTML VERSION PREFIX TEST.exe AUTOMA.exe
set -eu
zip=$1 nome=$2 lavoro=$3 html=$4 versione=$5 prefisso=$6 prova=$7 automa=$8
qui=$(cd "$(dirname "$0")" && pwd)
. "$qui/contenuto.sh"

dove="$lavoro/Giochi di prova"
rm -rf "$lavoro"
mkdir -p "$dove"
(cd "$dove" && cmake -E tar xf "$zip")
if [ "$(ls -A "$dove")" != "$nome" ]; then
    echo "zip.sh: the zip should hold the one folder $nome, not: $(ls -A "$dove" | tr '\n' ' ')" >&2
    exit 1
fi
contenuto "$dove/$nome" "$html" "$versione"
echo "zip.sh: $(basename "$zip") unpacked into \"$dove/$nome\" as expected"

cd "$lavoro"
VORANDEL_CARTELLA="$dove/$nome" VORANDEL_AUTOMA="$automa" \
    "$qui/../../scripts/wine-esegui" "$prefisso" "$prova" --gtest_filter='Scompattato.*'
