#!/bin/bash
# "Check Avi-File" on what a real muxer writes: ffmpeg (not a dependency of
# `make test`; skipped when it is missing) makes a two-stream OpenDML AVI of
# more than 1 GiB (raw video and PCM audio, so ffmpeg writes AVIX parts,
# "indx" super indexes and "ix##" standard indexes), quorby checks it with
# the super indexes, the data indexes and idx1, and shows its
# AVI File-Information. Then one standard index entry is moved 8 bytes on
# and the check is run again: it must find exactly that one error.
#
#   bench/avi_ffmpeg_check.sh [quorby binary] [directory] [seconds of video]
#
# Defaults: build-bench/quorby, /var/tmp, 32 s (1280x720 yuv420p at 25 fps:
# about 1.06 GiB). Exit status 0 when both checks say what they must.
set -u
quorby=${1:-build-bench/quorby}
dir=${2:-/var/tmp}/quorby-bench-ffmpeg
seconds=${3:-32}
if ! command -v ffmpeg >/dev/null; then
    echo "ffmpeg is not installed: skipped"
    exit 0
fi
rm -rf "$dir" && mkdir -p "$dir/home" || exit 1
avi=$dir/muxer.avi
ffmpeg -v error -y -f lavfi -i "testsrc2=size=1280x720:rate=25" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
    -t "$seconds" -c:v rawvideo -pix_fmt yuv420p -c:a pcm_s16le "$avi" || exit 1
size=$(stat -c %s "$avi")
echo "file: $avi, $size bytes"

check() {  # $1: name of the report, $2: on to tick "Automatic Repair"
    cat > "$dir/check.txt" <<SCRIPT
answer no
open $avi
command "Check Avi-File"
window avicheck check "Check Data Indexes\\n(will last a While ...)" on
window avicheck check "Automatic Repair\\n(EXPERIMENTAL !)" ${2:-off}
window avicheck press OK
print window avi
answer ok
command "AVI File-&Information"
print state
quit
SCRIPT
    local start end
    start=$(date +%s.%N)
    "$quorby" --batch "$dir/check.txt" --home "$dir/home" > "$dir/$1.txt" 2>&1
    end=$(date +%s.%N)
    echo "$1: quorby --batch took $(echo "$end - $start" | bc) s"
    rm -f "$dir/home/quorby.log" "$dir"/home/*.jnl
}

put32() {  # $1: position, $2: value
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) $(($2 >> 16 & 255)) $(($2 >> 24 & 255)))" |
        dd of="$avi" bs=1 seek="$1" conv=notrunc status=none
}

status=0
check before
grep -c "No Errors !" "$dir/before.txt" | grep -qx 2 || { echo "before: not two parts without errors"; status=1; }
grep -q "Video Stream: *00dc" "$dir/before.txt" || { echo "before: no video stream 00dc"; status=1; }
grep -q "Audio Stream: *01wb" "$dir/before.txt" || { echo "before: no audio stream 01wb"; status=1; }
grep -q "superIndex01=0x[1-9A-F]" "$dir/before.txt" || { echo "before: no super index of stream 01"; status=1; }

# The first standard index of the video stream, from the report: its second
# entry's offset 8 bytes on.
ix=$(grep -m1 "   ix00$" "$dir/before.txt" | awk '{print $3 $4 $5 $6}')
if [ -z "$ix" ]; then
    echo "no ix00 in the report"
    exit 1
fi
entry=$((16#$ix + 32 + 8))
old=$(od -An -tu4 -j "$entry" -N4 "$avi" | tr -d ' ')
new=$((old + 8))
put32 "$entry" "$new"
echo "standard index entry at $entry: offset $old -> $new"
check after
grep -q "There are 1 Errors !" "$dir/after.txt" || { echo "after: the moved entry was not found"; status=1; }
grep -q "Wrong Data !" "$dir/after.txt" || status=1
check repaired on
grep -q "Trying to repair    Success !" "$dir/repaired.txt" || { echo "repaired: no Success"; status=1; }
put32 "$entry" "$old"

# The chain: the second packet of the first movi list 6 bytes too long.
# 'Play' Video asks once, repairs it through the journal, and plays on.
movi=$(grep -m1 "   LIST movi$" "$dir/before.txt" | awk '{print $3 $4 $5 $6}')
first=$((16#$movi + 12))
second=$((first + 8 + $(od -An -tu4 -j $((first + 4)) -N4 "$avi" | tr -d ' ')))
size=$(od -An -tu4 -j $((second + 4)) -N4 "$avi" | tr -d ' ')
put32 $((second + 4)) $((size + 6))
printf 'answer no\nopen %s\nanswer yes\ncommand "%s"\ncommand "%s"\nquit\n' "$avi" "'Play' &Video" "'Play' &Video" > "$dir/play.txt"
mkdir -p "$dir/home-play"
"$quorby" --batch "$dir/play.txt" --home "$dir/home-play" > "$dir/play-report.txt" 2>&1
asked=$(grep -c "Errors in File-Structure" "$dir/play-report.txt")
echo "chain: packet at $second, size $size -> $((size + 6)); the structure question came $asked time(s)"
[ "$asked" = 1 ] || status=1

for r in before after repaired; do
    echo "---- $r: the check's report"
    sed -n "/Checking Superindexes/,/Ready !/p" "$dir/$r.txt" | head -40
done
[ $status -eq 0 ] && echo "both checks as expected"
exit $status
