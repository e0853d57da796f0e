#!/usr/bin/env bash
# Remakes the metafiles in tests/data/metafiles/ from their committed sources, with the drawing
# programs players use, so the metafile player is tested on files real programs write:
#
#   inkscape_drawing.svg       -> inkscape_drawing.wmf       (Inkscape, default export: text as curves)
#                              -> inkscape_drawing_text.wmf  (Inkscape, text kept as text records)
#   libreoffice_drawing.fodg   -> libreoffice_drawing.wmf    (LibreOffice Draw)
#
# Needs (Debian 12, as root):
#   apt-get install -y --no-install-recommends libreoffice-draw inkscape fonts-dejavu-core
# The game's build does not need them: the .wmf files are committed beside their sources, and the
# probe tables (*.probes.json) name the colours tests/files/RealMetafileTest.cpp expects in them.
#
# Both programs run headless with a fresh profile in a temporary directory, so the user's own
# settings never change the output. The LibreOffice drawing's page is exactly the drawing, with
# zero margins: converting a drawing on a larger page would crop the page margins off the picture.
# Inkscape refuses drawings above about 2600 px, so the pictures stay small.
set -euo pipefail

cd "$(dirname "$0")/.."
data=tests/data/metafiles

for program in inkscape soffice; do
    if ! command -v "$program" >/dev/null; then
        echo "$0: $program is missing; install: apt-get install -y --no-install-recommends libreoffice-draw inkscape fonts-dejavu-core" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inkscape with its default WMF settings (text converted to curves).
mkdir -p "$work/inkscape-default"
INKSCAPE_PROFILE_DIR="$work/inkscape-default" \
    inkscape --export-type=wmf --export-filename="$data/inkscape_drawing.wmf" "$data/inkscape_drawing.svg"

# Inkscape keeping the text as text records.
mkdir -p "$work/inkscape-text"
cat >"$work/inkscape-text/preferences.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<inkscape version="1">
  <group id="extensions" org.inkscape.output.wmf.textToPath="false" />
</inkscape>
EOF
INKSCAPE_PROFILE_DIR="$work/inkscape-text" \
    inkscape --export-type=wmf --export-filename="$data/inkscape_drawing_text.wmf" "$data/inkscape_drawing.svg"

# LibreOffice Draw.
soffice -env:UserInstallation="file://$work/libreoffice" --headless --norestore \
    --convert-to wmf --outdir "$work/out" "$data/libreoffice_drawing.fodg"
cp "$work/out/libreoffice_drawing.wmf" "$data/libreoffice_drawing.wmf"

ls -l "$data"/*.wmf
