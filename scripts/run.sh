#!/usr/bin/env bash
# Sets up, builds, registers the COM servers in the project's Wine prefix and runs the system's
# main job end to end through the bridge, printing each request beside its JSON reply: HTML put
# on the clipboard and read back; a small Word document, made here by LibreOffice, to HTML and
# to PDF; that PDF to page images, and where they were written.
# Office and Ghostscript's Windows library are not on this machine: Word is the tests' stand-in
# (over LibreOffice), registered for the run and unregistered at its end, and Ghostscript's
# library is the stand-in gsdll64.dll (over Debian's gs) that the build puts beside
# QuorallionPdf.dll, where QuorallionPdf loads it from.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
QUORALLION_SKIP_NATIVE=1 bash scripts/build.sh >/dev/null
source scripts/wine-env.sh
source scripts/xvfb.sh
bin=$QUORALLION_BUILD_DIR/win/bin
for built in quorallion_host.exe QuorallionPdf.dll gsdll64.dll office/Winword.exe; do
  [ -f "$bin/$built" ] || { echo "run: $bin/$built was not built" >&2; exit 1; }
done

# The document and LibreOffice's profile for it; the Word stand-in's registration is taken back
# at the end, on failure too.
work=$QUORALLION_BUILD_DIR/run
mkdir -p "$work"
work=$(cd "$work" && pwd)
word_registered=0
finish() {
  if [ "$word_registered" = 1 ]; then
    printf 'REGEDIT4\n\n[-%s]\n[-%s]\n[-%s]\n' 'HKEY_CLASSES_ROOT\CLSID\{000209FF-0000-0000-C000-000000000046}' \
      'HKEY_CLASSES_ROOT\Word.Application' \
      'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Winword.exe' > "$work/unregister-word.reg"
    "$QUORALLION_WINE" regedit /s "Z:${work//\//\\}\\unregister-word.reg" >/dev/null 2>&1 || true
  fi
  wineserver -k >/dev/null 2>&1 || true
  quorallion_stop_xvfb
}
trap finish EXIT

# The document: a heading, a line of text, a table and a Chinese paragraph, made into a Word
# package by LibreOffice while Wine starts (again only when its text has changed).
make_document() {
  cat > "$work/report.fodt.new" <<'FODT'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:styles>
  <style:style style:name="Heading_20_1" style:display-name="Heading 1" style:family="paragraph"
   style:default-outline-level="1"><style:text-properties fo:font-size="16pt" fo:font-weight="bold"/></style:style>
 </office:styles>
 <office:body><office:text>
  <text:h text:style-name="Heading_20_1" text:outline-level="1">Quarterly report</text:h>
  <text:p>Sales of the north office, by month.</text:p>
  <table:table table:name="Sales">
   <table:table-column table:number-columns-repeated="2"/>
   <table:table-row><table:table-cell><text:p>Month</text:p></table:table-cell><table:table-cell><text:p>Total</text:p></table:table-cell></table:table-row>
   <table:table-row><table:table-cell><text:p>January</text:p></table:table-cell><table:table-cell><text:p>1250</text:p></table:table-cell></table:table-row>
   <table:table-row><table:table-cell><text:p>February</text:p></table:table-cell><table:table-cell><text:p>1380</text:p></table:table-cell></table:table-row>
  </table:table>
  <text:p>中文段落：第一季度的销售额增长了百分之十。</text:p>
 </office:text></office:body>
</office:document>
FODT
  if [ -f "$work/report.docx" ] && cmp -s "$work/report.fodt.new" "$work/report.fodt"; then
    rm "$work/report.fodt.new"
    return 0
  fi
  rm -f "$work/report.docx"
  mv "$work/report.fodt.new" "$work/report.fodt"
  rm -rf "$work/made" && mkdir "$work/made"
  HOME=$work timeout 120 soffice --headless --norestore -env:UserInstallation="file://$work/libreoffice" \
    --convert-to 'docx:MS Word 2007 XML' --outdir "$work/made" "$work/report.fodt" >/dev/null 2>&1 </dev/null || true
  [ -f "$work/made/report.docx" ] && mv "$work/made/report.docx" "$work/report.docx"
}
make_document &
document_made=$!
document="Z:${work//\//\\}\\report.docx"

quorallion_start_xvfb
bash scripts/wine-prefix.sh
bash scripts/register-servers.sh "$bin" >/dev/null
# A settings file that an interrupted test left beside the stand-in would change its answers.
rm -f "$bin/office/Winword.settings"
word_registered=1
"$QUORALLION_WINE" "$bin/office/Winword.exe" /RegServer

# One host session, so that the clipboard set by "scbhtml" is still there for the reads after it.
# The host prints each request ("> ") beside its replies ("< ") as they come, and an empty line
# after each request.
coproc HOST { exec "$QUORALLION_WINE" "$bin/quorallion_host.exe" --show; }
reply=
failed=()
# take_reply: shows the host's lines up to the empty one; the last reply stays in $reply.
take_reply() {
  local line
  reply=
  while IFS= read -r -t 400 line <&"${HOST[0]}"; do
    line=${line%$'\r'}  # a Windows program's line ends
    if [ -z "$line" ]; then echo; return 0; fi
    printf '%s\n' "$line"
    [[ $line == '< '* ]] && reply=${line#< }
  done
  echo "run: no reply from the host" >&2
  exit 1
}
# ask TEXT...: one request, the texts TAB-separated.
ask() {
  local IFS=$'\t'
  printf '%s\n' "$*" >&"${HOST[1]}"
  take_reply
}
# value KEY: the text of KEY in $reply, unescaped ("" when missing). A reply is a flat JSON
# object whose texts escape only \, ", TAB, CR and LF; a number stands bare.
value() {
  local rest=${reply#*[{,]\"$1\":} out= c
  [ "$rest" = "$reply" ] && return 0
  if [[ $rest != \"* ]]; then printf '%s\n' "${rest%%[,\}]*}"; return 0; fi
  rest=${rest#\"}
  while [ -n "$rest" ]; do
    c=${rest:0:1}
    if [ "$c" = '"' ]; then
      break
    elif [ "$c" = '\' ]; then
      case ${rest:1:1} in t) out+=$'\t' ;; r) out+=$'\r' ;; n) out+=$'\n' ;; *) out+=${rest:1:1} ;; esac
      rest=${rest:2}
    else
      out+=$c
      rest=${rest:1}
    fi
  done
  printf '%s\n' "$out"
}
# ok WHAT: notes WHAT as failed unless $reply has state "ok".
state_ok='[{,]"state":"ok"[,}]'
ok() { [[ $reply =~ $state_ok ]] || failed+=("$1"); }

version=15200
config='{"lang":"en"}'
html='<p>Quorallion <b>中文</b> <a href="/docs/a.html">link</a></p>'
echo "Requests (version, config, action, params) beside the JSON replies, through the bridge:"
ask "$version" "$config" config; ok config
temppath=$(value temppath)
ask "$version" "$config" isinstalled; ok isinstalled
ask "$version" "$config" scbhtml "$html" Quorallion; ok scbhtml
for action in gcbformat gcbhtml gcbtext; do
  ask "$version" "$config" "$action"; ok "$action"
done
wait "$document_made" || true
[ -f "$work/report.docx" ] || { echo "run: LibreOffice made no $work/report.docx" >&2; exit 1; }
ask "$version" "$config" word2html "$document" "api:0"; ok word2html
ask "$version" "$config" word2pdf "$document" "api:0;bookmark:1"; ok word2pdf
filekey=$(value filekey)
ask "$version" "$config" pdf2image "$temppath${filekey//\//\\}" "bl:100;imgtype:png"; ok pdf2image
pages=$(value html)
actkey=$(value actkey)
printf 'release\n' >&"${HOST[1]}"
take_reply
eval "exec ${HOST[1]}>&-"  # end of input ends the host
wait "$HOST_PID" || true

# The page images: "file:///<actkey>/<name>" in the HTML; the files are in that job folder.
names=$(grep -o "file:///$actkey/[^\"\\\\]*" <<<"$pages" | sed 's|.*/||' || true)
if [ -n "$actkey" ] && [ -n "$names" ]; then
  folder=$(realpath "$("$QUORALLION_WINE" winepath -u "$temppath$actkey" 2>/dev/null)")
  echo "Page images of the PDF, in the job folder $temppath$actkey (here $folder):"
  for name in $names; do
    if [ -s "$folder/$name" ]; then
      echo "  $name  $(stat -c %s "$folder/$name") bytes"
    else
      echo "  $name  missing"
      failed+=("page image $name")
    fi
  done
else
  failed+=("page images")
fi

if ((${#failed[@]})); then
  echo "run: not ok: ${failed[*]}" >&2
  exit 1
fi
echo "Every reply has state \"ok\"."
