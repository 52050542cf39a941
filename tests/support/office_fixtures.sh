# Sourced (bash, after set -euo pipefail) by the Office tests' make_fixtures.sh, with the output
# folder as $1. Gives: $out (made), $work (a folder removed on exit; also HOME, so LibreOffice's
# profile goes there), $picture (a 4x3 red PNG in Base64, so the sources carry their own picture),
# png_base64, flat_odf and soffice_convert; and office_fixtures.py (pictures, package edits) to the
# scripts' python3 parts, on PYTHONPATH.
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"

# png_base64 WIDTH HEIGHT RED GREEN BLUE: a PNG of that one colour, in Base64 (a flat source's
# binary data).
png_base64() {
  python3 -c 'import base64, sys
from office_fixtures import solid_png
w, h, r, g, b = map(int, sys.argv[1:6])
print(base64.b64encode(solid_png(w, h, (r, g, b))).decode())' "$@"
}

picture=$(png_base64 4 3 255 0 0)

# flat_odf KIND FILE PREFIX...: writes FILE, a flat OpenDocument of that kind (text, spreadsheet,
# presentation) that declares the namespaces of those prefixes (office's always), with standard
# input as what its root element holds.
flat_odf() {
  local kind=$1 file=$2 prefix uri
  shift 2
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
    for prefix; do
      case $prefix in
        text | table | style | presentation) uri=urn:oasis:names:tc:opendocument:xmlns:$prefix:1.0 ;;
        draw) uri=urn:oasis:names:tc:opendocument:xmlns:drawing:1.0 ;;
        svg) uri=urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0 ;;
        fo) uri=urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0 ;;
        xlink) uri=http://www.w3.org/1999/xlink ;;
        math) uri=http://www.w3.org/1998/Math/MathML ;;
        *) echo "flat_odf: no namespace known for $prefix" >&2; return 1 ;;
      esac
      echo " xmlns:$prefix=\"$uri\""
    done
    echo " office:version=\"1.3\" office:mimetype=\"application/vnd.oasis.opendocument.$kind\">"
    cat
    echo '</office:document>'
  } > "$file"
}

# soffice_convert FILTER OUTDIR FILE...: one LibreOffice headless run with the work folder's profile.
soffice_convert() {
  local filter=$1 outdir=$2
  shift 2
  soffice --headless --norestore -env:UserInstallation=file://$work/profile \
    --convert-to "$filter" --outdir "$outdir" "$@" >/dev/null 2>&1
}
