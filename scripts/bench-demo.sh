#!/bin/sh
# A bench run on the demo's virtual module: send the air-data array cyclically
# on output 1, receive input 1 for two seconds, check the pressure altitude.
# Usage: scripts/bench-demo.sh [WORKDIR [CLI]]  (default: demo-run, ../build/tools/telvar5-cli)
set -e
cd "${1:-demo-run}"
cli=${2:-../build/tools/telvar5-cli}
$cli init --in 1=12.5k --out 1=12.5k \
     send --channel 1 --file adc.so --cyclic \
     receive --channel 1 --seconds 2 --format csv --formats demo.si > rx.csv
# columns: time_us,tick,channel,cell,label,word,ssm,value,units,binary,wall_time
awk -F, '$5 == "203" { n++; if ($8 != 35000) { print "altitude " $8; bad = 1 } }
         END { if (!n) print "no altitude received"; exit bad || !n }' rx.csv
echo "altitude: $(grep -c ',203,' rx.csv) words, all 35000 ft"
