#!/bin/sh
# The release comes out the same from any folder: the packages of this build
# (made by the target package, the fixture pacchetti) against those of a
# second build of the same sources in a folder of its own, made afresh with
# only what the packages need (the game alone, BUILD_TESTING off, with the
# compilers the game is linked with). Both SHA256SUMS must be identical;
# when they are not, the files that differ are named.
#   riproducibile.sh SOURCES BUILD SECOND BUILD_TYPE
set -eu
sorgenti=$1 build=$2 seconda=$3 tipo=$4

male() {
    echo "riproducibile.sh: $*" >&2
    exit 1
}
[ -f "$build/SHA256SUMS" ] || male "the build made no $build/SHA256SUMS"

rm -rf "$seconda"
echo "riproducibile.sh: a second build in $seconda"
cmake -S "$sorgenti" -B "$seconda" -DCMAKE_TOOLCHAIN_FILE="$sorgenti/cmake/mingw-i686-xp.cmake" \
    -DCMAKE_BUILD_TYPE="$tipo" -DBUILD_TESTING=OFF >"$seconda.log" 2>&1 ||
    { tail -20 "$seconda.log"; male "the second build did not configure"; }
cmake --build "$seconda" --target package -j2 >>"$seconda.log" 2>&1 ||
    { tail -20 "$seconda.log"; male "the second build made no packages"; }

cat "$build/SHA256SUMS"
[ "$(grep -c . "$build/SHA256SUMS")" -eq 2 ] || male "SHA256SUMS does not name both packages"
(cd "$build" && sha256sum -c --quiet SHA256SUMS) || male "SHA256SUMS does not match the packages beside it"
if ! cmp -s "$build/SHA256SUMS" "$seconda/SHA256SUMS"; then
    diff "$build/SHA256SUMS" "$seconda/SHA256SUMS" || true
    # Which files of the zip differ, to start looking.
    for zip in "$build"/*-win32.zip; do
        altro="$seconda/$(basename "$zip")"
        [ -f "$altro" ] || continue
        zipinfo -l "$zip" | tail -n +2 >"$seconda/zip-1.txt"
        zipinfo -l "$altro" | tail -n +2 >"$seconda/zip-2.txt"
        diff "$seconda/zip-1.txt" "$seconda/zip-2.txt" | head -20 || true
    done
    male "two builds of the same sources made different packages"
fi
rm -rf "$seconda" "$seconda.log"
echo "riproducibile.sh: the same packages, byte for byte, from two folders"
