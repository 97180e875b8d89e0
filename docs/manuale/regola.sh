#!/bin/sh
# Draws the manual's picture of the rule of movement, docs/manuale/regola.png,
# with ImageMagick's drawing primitives: the whole board, Red's token on a
# cell with the arrows up, right and down-left, Yellow's token to move beside
# the centre block, the three directions Yellow borrows from Red's cell, the
# two cells Yellow may enter (framed in white, as the game frames a target
# under the pointer) and the one it may not (crossed out: the centre block).
# The same command always gives the same picture.
#   regola.sh [OUTPUT.png]
set -e
uscita=${1:-$(dirname "$0")/regola.png}
command -v convert >/dev/null || { echo "regola.sh: ImageMagick's convert is missing" >&2; exit 1; }

C=40        # cell size in pixels
M=8         # margin around the board
W=$((10 * C + 2 * M))
H=$((10 * C + 2 * M))

disegno=$(mktemp)
trap 'rm -f "$disegno"' EXIT

# Pixel centre of a cell, counted 0..9 with the wall included.
centro() { echo $((M + $1 * C + C / 2)); }

# An arrow from (x0,y0) to (x1,y1): a shaft and a filled head of length L.
freccia() {
    awk -v x0="$1" -v y0="$2" -v x1="$3" -v y1="$4" -v col="$5" -v sp="$6" -v L="$7" 'BEGIN {
        dx = x1 - x0; dy = y1 - y0; n = sqrt(dx * dx + dy * dy); ux = dx / n; uy = dy / n
        bx = x1 - ux * L; by = y1 - uy * L; px = -uy * L * 0.45; py = ux * L * 0.45
        printf "stroke \"%s\" stroke-width %s fill none line %.1f,%.1f %.1f,%.1f\n", col, sp, x0, y0, bx, by
        printf "stroke \"%s\" stroke-width 1 fill \"%s\" polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f\n", col, col, x1, y1, bx + px, by + py, bx - px, by - py
    }' >>"$disegno"
}

# A borrowed direction: from the token at (x0,y0) towards the centre of the
# target cell at (x1,y1), leaving the token and stopping short of the centre.
verso() {
    set -- $(awk -v x0="$1" -v y0="$2" -v x1="$3" -v y1="$4" 'BEGIN {
        dx = x1 - x0; dy = y1 - y0; n = sqrt(dx * dx + dy * dy); ux = dx / n; uy = dy / n
        printf "%d %d %d %d", x0 + ux * 11, y0 + uy * 11, x1 - ux * 8, y1 - uy * 8 }')
    freccia "$1" "$2" "$3" "$4" "#1f4fbf" 3 9
}

# The arrows of a cell, drawn small around its centre; directions as the
# game numbers them, clockwise from up.
frecce_casella() {
    x=$(($(centro "$1") + 9)); y=$(centro "$2"); col=$3; shift 3
    for d in "$@"; do
        case $d in
        0) ex=0;  ey=-1 ;; 1) ex=1;  ey=-1 ;; 2) ex=1;  ey=0 ;;  3) ex=1;  ey=1 ;;
        4) ex=0;  ey=1 ;;  5) ex=-1; ey=1 ;;  6) ex=-1; ey=0 ;;  7) ex=-1; ey=-1 ;;
        esac
        freccia "$((x + ex * 2))" "$((y + ey * 2))" "$((x + ex * 13))" "$((y + ey * 13))" "$col" 2.5 6
    done
}

casella() { # column row colour
    x0=$((M + $1 * C)); y0=$((M + $2 * C))
    echo "stroke \"#5a3a1c\" stroke-width 1 fill \"$3\" rectangle $x0,$y0 $((x0 + C - 1)),$((y0 + C - 1))" >>"$disegno"
}

cornice() { # column row: a white frame just inside the cell
    x0=$((M + $1 * C + 2)); y0=$((M + $2 * C + 2))
    echo "stroke white stroke-width 3 fill none rectangle $x0,$y0 $((x0 + C - 5)),$((y0 + C - 5))" >>"$disegno"
}

pedina() { # column row colour dark-colour
    x=$(($(centro "$1") - 8)); y=$(centro "$2")
    echo "stroke \"$4\" stroke-width 2 fill \"$3\" circle $x,$y $x,$((y + 10))" >>"$disegno"
}

for r in 0 1 2 3 4 5 6 7 8 9; do
    for c in 0 1 2 3 4 5 6 7 8 9; do
        colore='#d9b178'
        if [ $r -eq 0 ] || [ $r -eq 9 ] || [ $c -eq 0 ] || [ $c -eq 9 ]; then colore='#3e2410'
        elif [ $r -ge 4 ] && [ $r -le 5 ] && [ $c -ge 4 ] && [ $c -le 5 ]; then colore='#241408'
        elif [ $c -eq 1 ] && [ $r -eq 1 ]; then colore='#f6c426'
        elif [ $c -eq 8 ] && [ $r -eq 8 ]; then colore='#f9e39a'
        elif [ $c -eq 8 ] && [ $r -eq 1 ]; then colore='#c82428'
        elif [ $c -eq 1 ] && [ $r -eq 8 ]; then colore='#e89a9c'
        fi
        casella $c $r "$colore"
    done
done

# Red stands on column 6, row 2; its cell shows up, right and down-left.
frecce_casella 6 2 '#d00000' 0 2 5
pedina 6 2 '#c82428' '#6e0e14'
# Yellow stands on column 3, row 5. Its own arrows play no part while Red
# stands on an ordinary cell, so they are left out; its token is drawn in
# the middle of its cell, where the borrowed directions start.
# The directions borrowed from Red's cell, taken from Yellow's cell.
yx=$(centro 3); yy=$(centro 5)
verso "$yx" "$yy" "$(centro 3)" "$(centro 4)"
verso "$yx" "$yy" "$(centro 4)" "$(centro 5)"
verso "$yx" "$yy" "$(centro 2)" "$(centro 6)"
# Up and down-left are open: framed. Right runs into the centre block.
cornice 3 4
cornice 2 6
echo "stroke \"#a07010\" stroke-width 2 fill \"#f6c426\" circle $yx,$yy $yx,$((yy + 10))" >>"$disegno"
bx=$((M + 4 * C)); by=$((M + 5 * C))
{
    echo "stroke \"#ff3030\" stroke-width 4 line $((bx + 8)),$((by + 8)) $((bx + C - 8)),$((by + C - 8))"
    echo "stroke \"#ff3030\" stroke-width 4 line $((bx + C - 8)),$((by + 8)) $((bx + 8)),$((by + C - 8))"
    # A dashed curve tells which cell lent the arrows.
    echo "stroke \"#1f4fbf\" stroke-width 2 fill none stroke-dasharray 5 4"
    echo "path 'M $(($(centro 6) - 12)),$(($(centro 2) + 6)) Q $(centro 4),$(centro 2) $((yx + 8)),$((yy - 12))'"
    echo "stroke-dasharray none"
} >>"$disegno"

convert -size "${W}x${H}" xc:'#f4ecdc' -draw "$(cat "$disegno")" \
    -define png:exclude-chunks=date,time +set date:create +set date:modify -strip \
    "PNG8:$uscita"
echo "regola.sh: wrote $uscita"
