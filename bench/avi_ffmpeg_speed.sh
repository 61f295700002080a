#!/bin/bash
# "Check Avi-File" on an OpenDML file that a real muxer wrote, timed as a
# whole process beside two programs that read every packet header of the
# same file: ffprobe listing each packet's position and size, and the plain
# reader of bench_avi_check_speed (one pread per packet, nothing else).
# ffmpeg (not a dependency of `make test`) makes small raw video frames at a
# high frame rate with PCM audio: more than 100,000 packets in more than
# 1 GiB, so it writes an AVIX part, "indx" super indexes, "ix00"/"ix01"
# standard indexes and idx1. The check runs over the super indexes, both
# data indexes and idx1, and must report no errors in both.
#
#   bench/avi_ffmpeg_speed.sh [build directory] [directory] [runs]
#
# Defaults: build-bench (its quorby and bench/bench_avi_check_speed),
# /var/tmp, 3 runs. Prints seconds and peak resident memory of each run.
set -u
build=${1:-build-bench}
dir=${2:-/var/tmp}/quorby-bench-ffmpeg-speed
runs=${3:-3}
quorby=$build/quorby
reader=$build/bench/bench_avi_check_speed
if ! command -v ffmpeg >/dev/null || ! command -v ffprobe >/dev/null; then
    echo "ffmpeg is not installed: skipped"
    exit 0
fi
[ -x "$quorby" ] && [ -x "$reader" ] || { echo "build $quorby and $reader first"; exit 2; }
rm -rf "$dir" && mkdir -p "$dir/home" || exit 1
avi=$dir/opendml.avi
ffmpeg -v error -y -f lavfi -i "testsrc2=size=96x72:rate=1000" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -t 110 -c:v rawvideo -pix_fmt yuv420p -c:a pcm_s16le "$avi" || exit 1
cat > "$dir/check.txt" <<SCRIPT
answer no
open $avi
command "Check Avi-File"
window avicheck check "Check Data Indexes\\n(will last a While ...)" on
window avicheck press OK
print window avi
quit
SCRIPT

# Runs "$@" under /usr/bin/time; prints "seconds peakKiB".
timed() {
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -f "%M" -o "$dir/time.txt" "$@" > "$dir/out.txt" 2>&1
    end=$(date +%s.%N)
    echo "$(echo "$end - $start" | bc) $(cat "$dir/time.txt")"
}

status=0
echo "file: $avi, $(stat -c %s "$avi") bytes, $("$reader" --read-headers "$avi")"
for run in $(seq "$runs"); do
    rm -f "$dir"/home/quorby.log "$dir"/home/*.jnl
    read -r q qmem < <(timed "$quorby" --batch "$dir/check.txt" --home "$dir/home")
    cp "$dir/out.txt" "$dir/report.txt"
    read -r r rmem < <(timed "$reader" --read-headers "$avi")
    read -r f fmem < <(timed ffprobe -v error -show_entries packet=pos,size -of csv "$avi")
    packets=$(wc -l < "$dir/out.txt")
    echo "run $run: quorby check $q s ($qmem KiB)   plain reader $r s ($rmem KiB)   ffprobe $f s ($fmem KiB, $packets packets)"
    echo "        ratio to the plain reader $(echo "scale=2; $q / $r" | bc), to ffprobe $(echo "scale=2; $q / $f" | bc)"
done
grep -c "No Errors !" "$dir/report.txt" | grep -qx 2 || { echo "the check did not report two parts without errors"; status=1; }
for ix in ix00 ix01; do
    grep -q "   $ix$" "$dir/report.txt" || { echo "no $ix in the report"; status=1; }
done
[ $status -eq 0 ] && echo "check: super indexes, ix00, ix01 and idx1 without errors"
rm -rf "$dir"
exit $status
