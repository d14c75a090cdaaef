# shellcheck shell=bash disable=SC2034
# The SD card's partitions, in 512-byte sectors; sourced by the scripts that make or read the card.
sd_sectors=131072
sd_start=([1]=2048 [2]=34816 [3]=67584)
sd_size=([1]=32768 [2]=32768 [3]=63488)
# The byte offset of partition N, as mtools' IMAGE@@OFFSET wants it.
sd_offset() { echo $((sd_start[$1] * 512)); }
