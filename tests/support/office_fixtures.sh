# Sourced (bash, after set -euo pipefail) by the Office tests' make_fixtures.sh, with the output
# folder as $1. Gives: $out (made), $work (a folder removed on exit; also HOME, so LibreOffice's
# profile goes there), $picture (a 4x3 red PNG in Base64, so the sources carry their own picture)
# and soffice_convert.
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work

picture=$(python3 - <<'PY'
import base64, struct, zlib
w, h = 4, 3
raw = b"".join(b"\x00" + b"\xff\x00\x00" * w for _ in range(h))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
print(base64.b64encode(png).decode())
PY
)

# soffice_convert FILTER OUTDIR FILE...: one LibreOffice headless run with the work folder's profile.
soffice_convert() {
  local filter=$1 outdir=$2
  shift 2
  soffice --headless --norestore -env:UserInstallation=file://$work/profile \
    --convert-to "$filter" --outdir "$outdir" "$@" >/dev/null 2>&1
}
