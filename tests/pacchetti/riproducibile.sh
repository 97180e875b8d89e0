#!/bin/sh
# The release comes out the same on any machine: the packages of this build
# (made by the target package, the fixture pacchetti) against those of a
# second build of the same sources in a folder of its own, made afresh with
# only what the packages need (the game alone, BUILD_TESTING off, with the
# compilers the game is linked with), by a builder with another umask (002
# against 022), another time zone (five hours and three quarters from UTC)
# and another locale. Both SHA256SUMS must be identical; when they are not,
# the files that differ are named.
#   riproducibile.sh SOURCES BUILD SECOND BUILD_TYPE
set -eu
sorgenti=$1 build=$2 seconda=$3 tipo=$4

male() {
    echo "riproducibile.sh: $*" >&2
    exit 1
}
[ -f "$build/SHA256SUMS" ] || male "the build made no $build/SHA256SUMS"

# The second builder's umask, time zone and locale, each unlike this one's.
case $(umask) in
0022 | 022) maschera=0002 ;;
*) maschera=0022 ;;
esac
fuso=NPT-5:45
[ "${TZ:-}" != "$fuso" ] || fuso=NST3:30
# A locale of the machine other than C, when it has one (its order of
# letters differs from C's); else C.UTF-8 against C.
lingua=$(locale -a 2>/dev/null | grep -iv '^\(c\|posix\|c\.utf-\?8\)$' | head -1 || true)
if [ -z "$lingua" ]; then
    case ${LC_ALL:-${LC_CTYPE:-${LANG:-C}}} in
    *[Uu][Tt][Ff]*) lingua=C ;;
    *) lingua=C.UTF-8 ;;
    esac
fi
umask "$maschera"
export TZ="$fuso" LANG="$lingua" LC_ALL="$lingua"

rm -rf "$seconda"
echo "riproducibile.sh: a second build in $seconda, umask $maschera, TZ=$TZ, LC_ALL=$LC_ALL"
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
echo "riproducibile.sh: the same packages, byte for byte, from two folders, umasks, time zones and locales"
