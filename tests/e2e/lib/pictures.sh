# shellcheck shell=bash
# Screenshots and the sprite sheet.

# screenshot NAME: the whole screen as NAME.png in the test's artifacts folder; prints the path.
screenshot() {
    local file=$E2E_ARTIFACTS/$1.png
    import -window root "$file" && echo "$file"
}

# pixel FILE X Y: the colour at a point of a picture, as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1
}

# count_colour FILE WxH+X+Y COLOUR: how many pixels of that part of a picture have exactly the
# colour, for example the key colour '#ff00ff' that must never reach the screen.
count_colour() {
    convert "$1" -crop "$2" +repage -fill black +opaque "$3" -fill white -opaque "$3" \
        -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}

# sprite_cell_bbox N: bounding box (WxH+X+Y) of the pixels of sprite cell N that are not magenta.
sprite_cell_bbox() {
    local n=$1 sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    local bbox
    # A black frame first, so that trimming never takes a drawing that reaches the cell's edge for
    # background; the frame's pixel is taken off the offsets again.
    bbox=$(convert "$sheet" -crop "100x100+$((n % 9 * 100))+$((n / 9 * 100))" +repage \
        -fill white +opaque '#ff00ff' -fill black -opaque '#ff00ff' \
        -bordercolor black -border 1 -format '%@' info:) || return 1
    [[ $bbox =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 1
    echo "${BASH_REMATCH[1]}x${BASH_REMATCH[2]}+$((BASH_REMATCH[3] - 1))+$((BASH_REMATCH[4] - 1))"
}

# sprite_cell_pixels N: the pixels of sprite cell N that are not magenta, one "x y" a line.
sprite_cell_pixels() {
    local n=$1 sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    convert "$sheet" -crop "100x100+$((n % 9 * 100))+$((n / 9 * 100))" +repage -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 && $0 !~ /#FF00FF/ { print $1, $2 }'
}

# core_pixel CELL...: "x y" of a pixel that every one of the sprite cells covers, the one
# nearest their middle: a place to click the pet whichever of those pictures it shows.
core_pixel() {
    local c
    for c in "$@"; do sprite_cell_pixels "$c"; done | sort | uniq -c |
        awk -v n=$# '$1 == n { k++; x[k] = $2; y[k] = $3; sx += $2; sy += $3 }
            END { if (!k) exit 1; mx = sx / k; my = sy / k; best = -1
                  for (i = 1; i <= k; i++) { d = (x[i] - mx) ^ 2 + (y[i] - my) ^ 2
                      if (best < 0 || d < best) { best = d; b = i } }
                  print x[b], y[b] }'
}

# Where to click a pet that walks, stands or reacts: a pixel of its body in each of those
# pictures.
awake_pet_pixel() { core_pixel 0 1 2 4 $(seq 9 34); }

# shows_cell FILE ID CELL...: the screenshot shows one of the sprite cells in the window: every
# pixel of the cell's drawing is on the screen as drawn, bar a few.
shows_cell() {
    local file=$1 id=$2 wx wy cell differ sheet=$E2E_SOURCE_DIR/resources/pictures/sprites.png
    shift 2
    read -r wx wy _ _ < <(window_geometry "$id") || return 1
    convert "$file" -crop "100x100+$wx+$wy" +repage "$E2E_TMP/seen.png"
    for cell in "$@"; do
        convert "$sheet" -crop "100x100+$((cell % 9 * 100))+$((cell / 9 * 100))" +repage \
            -transparent '#ff00ff' "$E2E_TMP/cell.png"
        convert "$E2E_TMP/seen.png" "$E2E_TMP/cell.png" -composite "$E2E_TMP/drawn.png"
        differ=$(compare -metric AE "$E2E_TMP/drawn.png" "$E2E_TMP/seen.png" null: 2>&1)
        [ "${differ%% *}" -lt 50 ] 2>/dev/null && return 0
    done
    return 1
}

# first_dark_column FILE WxH+X+Y: how far into that part of a picture its first column holding a
# dark pixel (text) lies, in pixels; fails where the part holds none.
first_dark_column() {
    local bbox
    bbox=$(convert "$1" -crop "$2" +repage -colorspace gray -threshold 40% \
        -bordercolor white -border 1 -format '%@' info:) || return 1
    [[ $bbox =~ ^[0-9]+x[0-9]+\+([0-9]+)\+[0-9]+$ ]] || return 1
    echo $((BASH_REMATCH[1] - 1))
}
