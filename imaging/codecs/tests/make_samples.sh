#!/bin/sh
# Sample files made by ImageMagick, each with ImageMagick's own decoding beside it as the
# reference (<name>.rgba: 8-bit straight RGBA, rows top-down, <name>.size: "width height").
set -e
out=$1
mkdir -p "$out"
cd "$out"
base="-size 37x23 gradient:red-blue -fill yellow -draw 'circle 18,11 18,3'"
make() {  # make <file> <output format prefix or ""> <convert arguments...>
  file=$1; prefix=$2; shift 2
  eval convert "$@" "$prefix$file"
  convert "$file[0]" -depth 8 RGBA:"$file.rgba"
  identify -format '%w %h' "$file[0]" > "$file.size"
}
make bmp1.bmp bmp3: $base -monochrome -type bilevel
make bmp4.bmp bmp3: $base -colors 16 -type palette -compress none
make bmp8.bmp bmp3: $base -colors 200 -type palette -compress none
make bmp16.bmp "" $base -define bmp:subtype=RGB565
make bmp24.bmp bmp3: $base -type truecolor
make bmp32.bmp "" $base -alpha set -channel A -fx 'i/w' +channel -define bmp:format=bmp4
make bmp8rle.bmp bmp3: $base -colors 100 -type palette -compress rle
make gif_transparent.gif "" $base -transparent yellow -colors 30
make gif_interlaced.gif "" $base -colors 64 -interlace GIF
make gif_frames.gif "" "\( $base \) \( -size 37x23 xc:green \) -loop 0"
make ico_multi.ico "" "\( $base -resize 16x16! \) \( $base -resize 32x32! -colors 16 \) \( $base -resize 48x48! -alpha set -channel A -fx 'j/h' +channel \)"
make cur_one.cur "" "$base -resize 32x32! -colors 8"
# The reference of each icon entry the tests choose.
convert 'ico_multi.ico[1]' -depth 8 RGBA:ico_multi_32.rgba
convert 'ico_multi.ico[2]' -depth 8 RGBA:ico_multi_48.rgba
