#!/usr/bin/env bash
# Draws the login window's pictures with ImageMagick and writes them to resources/login/:
#   background.jpg                 246 x 500, blue portrait artwork with the emblem and the name
#   btnLogin.bmp, btnReg.bmp       75 x 23, white 登录 / 注册 on a blue rounded button
#   closeLeaveBmp.bmp, closeBmp.bmp, minLeaveBmp.bmp, minBmp.bmp   the close and minimise looks
# Bitmaps are 24-bit. The bottom-left pixel of every bitmap is the colour the window leaves
# transparent, so each one keeps a corner pixel in a colour that appears nowhere else.
# Needs imagemagick and fonts-wqy-zenhei. The output is committed; run this only to redraw.
set -euo pipefail
cd "$(dirname "$0")/.."
out=resources/login
font=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
mkdir -p "$out"

bmp() {  # file, drawing arguments...: writes an uncompressed 24-bit bitmap
    local file=$1
    shift
    convert "$@" -alpha off -type TrueColor -compress none "BMP3:$file"
}

# Background: a vertical blue gradient, a soft light from the top, the emblem (a ring holding a
# stylised "S" wave) and the product name, and a fine band under the title area.
convert -size 246x500 gradient:'#1d5fb8'-'#0a2456' \
    \( -size 360x320 radial-gradient:'#4f90f0'-none -gravity center -crop 246x320+0+0 +repage -gravity north \
       -background none -extent 246x500 \) -compose screen -composite -compose over -gravity northwest \
    -fill none -stroke '#ffffff' -strokewidth 4 -draw 'circle 123,78 123,46' \
    -stroke '#9fd0ff' -strokewidth 3 -draw 'arc 101,58 145,98 200,340' \
    -stroke '#ffd24a' -strokewidth 4 -draw 'bezier 105,86 118,62 128,96 141,70' \
    -stroke none -fill white -font "$font" -pointsize 26 -gravity north -annotate +0+120 'Sarn资讯终端' \
    -fill '#cfe3ff' -pointsize 11 -annotate +0+154 'SARN INFORMATION TERMINAL' \
    -fill '#ffffff40' -draw 'rectangle 20,170 226,171' \
    -quality 92 -sampling-factor 1x1 "$out/background.jpg"

# Button pictures: a rounded blue button with a lighter top half and the white characters.
button() {  # text, file
    bmp "$2" -size 75x23 xc:'#0d2c66' \
        -fill '#2f7be0' -stroke '#bcd9ff' -draw 'roundrectangle 0,0 74,22 5,5' \
        -stroke none -fill '#5c9cf0' -draw 'roundrectangle 2,2 72,10 4,4' \
        -fill white -font "$font" -pointsize 13 -gravity center -annotate +0+0 "$1" \
        -fill '#ff00ff' -draw 'point 0,22'
}
button '登录' "$out/btnLogin.bmp"
button '注册' "$out/btnReg.bmp"

# Close pair: grey cross on blue / white cross on red. Minimise pair: grey bar on blue / white bar
# on a brighter blue. The corner pixel (transparent colour) is magenta in all four.
bmp "$out/closeLeaveBmp.bmp" -size 43x17 xc:'#1f4f9a' -stroke '#b8b8b8' -strokewidth 2 \
    -draw 'line 17,4 26,12' -draw 'line 26,4 17,12' -stroke none -fill '#ff00ff' -draw 'point 0,16'
bmp "$out/closeBmp.bmp" -size 42x17 xc:'#d0302a' -stroke white -strokewidth 2 \
    -draw 'line 16,4 25,12' -draw 'line 25,4 16,12' -stroke none -fill '#ff00ff' -draw 'point 0,16'
bmp "$out/minLeaveBmp.bmp" -size 26x17 xc:'#1f4f9a' -fill '#b8b8b8' -draw 'rectangle 8,10 17,11' \
    -fill '#ff00ff' -draw 'point 0,16'
bmp "$out/minBmp.bmp" -size 26x17 xc:'#3a86f0' -fill white -draw 'rectangle 8,10 17,11' \
    -fill '#ff00ff' -draw 'point 0,16'
