#!/usr/bin/env bash
# Makes the media the rig's flows start from, once, for the guest and the simulator alike:
#   nand/plain   a NAND root file system with the application, its logo and an installed version
#                but no marker (/etc/skip-update), so the boot shows "Boot options";
#   nand/marked  the same with the marker: a normal boot;
#   boot/        the SD card's boot partition (the installed kernel);
#   stick/good   a USB stick with a bundle that installs a new kernel and application;
#   stick/bad    the same bundle with one byte of its body changed (its checksum fails);
#   update/      the tree the good bundle was made from.
# Usage: tools/rig/make-flow-data.sh OUT BINDIR (BINDIR holds the workstation's zup and
# tovrask-picture)
set -euo pipefail
out=$1
bin=$2
here=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$out"
mkdir -p "$out"/nand/plain/{arvel,etc,var,boot} "$out"/boot "$out"/maps "$out"/stick/{good,bad} \
         "$out"/update/{boot,arvel,etc}

plain=$out/nand/plain
# Fixed contents, so that every run installs and checks the same bytes.
seq 1 120000 > "$plain/arvel/arvel"
"$bin/tovrask-picture" image "$here/picture/sample-logo.png" "$plain/arvel/Logo.img" > /dev/null
printf '2.14 (2026-10-02)\n' > "$plain/etc/zup_version"
cp -a "$plain" "$out/nand/marked"
printf '1' > "$out/nand/marked/etc/skip-update"

printf 'kernel 2.6.37 build 14\n' > "$out/boot/zImage"
printf '[kernel]\nbootargs=console=ttyO2\n' > "$out/boot/igep.ini"

update=$out/update
printf 'kernel 2.6.37 build 15\n' > "$update/boot/zImage"
# An application that does not compress, so that the installation lasts long enough to be seen.
python3 -c 'import random, sys; random.seed(16); sys.stdout.buffer.write(random.randbytes(524288))' \
    > "$update/arvel/arvel"
printf '1' > "$update/etc/skip-update"
printf '2.15 (2026-12-01)\n' > "$update/etc/zup_version"
"$bin/zup" create -o "$out/stick/good/arvel-2.15.zup" --content-version 215 "$update" > /dev/null

# One byte near the end of the body flipped; the head stays sound.
cp "$out/stick/good/arvel-2.15.zup" "$out/stick/bad/arvel-2.15.zup"
size=$(stat -c %s "$out/stick/bad/arvel-2.15.zup")
byte=$(od -An -tu1 -j $((size - 100)) -N1 "$out/stick/bad/arvel-2.15.zup" | tr -d ' ')
printf '%b' "\\0$(printf %03o $((byte ^ 0xFF)))" |
    dd of="$out/stick/bad/arvel-2.15.zup" bs=1 seek=$((size - 100)) conv=notrunc status=none
