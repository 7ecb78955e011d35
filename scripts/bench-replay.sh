#!/bin/sh
# A bench run on the demo's virtual module: record input 1, replay it on output 2
# while receiving input 2 (wired to output 2), check every recorded word came back.
# Usage: scripts/bench-replay.sh [WORKDIR [CLI]]  (default: demo-run, ../build/tools/telvar5-cli)
set -e
cd "${1:-demo-run}"
cli=${2:-../build/tools/telvar5-cli}
$cli record --capture in1.tlvcap --channel 1 --seconds 3 export --capture in1.tlvcap --csv in1.csv
$cli replay --capture in1.tlvcap --from-channel 1 --channel 2 \
     receive --channel 2 --seconds 4 --period 100 --format csv > rx2.csv
# columns 5 and 6: label and word, as recorded and as received
cut -d, -f5,6 in1.csv | sed 1d | sort -u > recorded.txt
cut -d, -f5,6 rx2.csv | sed 1d | sort -u > received.txt
comm -3 recorded.txt received.txt > differ.txt
[ ! -s differ.txt ] || { echo "recorded, not received | received, not recorded:"; cat differ.txt; exit 1; }
echo "replay: $(wc -l < recorded.txt) distinct words recorded on input 1, each received on input 2, no other"
