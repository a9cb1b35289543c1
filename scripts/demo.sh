#!/usr/bin/env bash
# The main job: builds a demo vocal from real recorded speech that Debian packages carry
# (voice prompts of asterisk-core-sounds-en-wav and alsa-utils), joined with deliberate level
# jumps of +/-10 dB and pauses, then rides it with taviro-render and prints the report.
# Nothing of these recordings is kept in the repository.
set -euo pipefail

build_dir="${1:-build}"
out_dir="${2:-out/demo}"
render="$build_dir/tools/taviro-render"
prompts=/usr/share/asterisk/sounds/en_US_f_Allison
alsa=/usr/share/sounds/alsa

# Speech segments in order, each with the gain it gets in the demo (dB).
segments=(
    "$prompts/demo-congrats.wav 0"
    "$alsa/Front_Center.wav -10"
    "$prompts/vm-options.wav +10"
    "$prompts/tt-monkeys.wav -10"
    "$alsa/Front_Left.wav +6"
    "$prompts/demo-abouttotry.wav -4"
    "$prompts/basic-pbx-ivr-main.wav +8"
    "$alsa/Rear_Right.wav -12"
    "$prompts/dir-intro.wav 0"
    "$prompts/demo-moreinfo.wav -10"
    "$prompts/conf-usermenu.wav +10"
    "$alsa/Side_Left.wav -6"
    "$prompts/demo-echotest.wav +4"
)

mkdir -p "$out_dir"
parts="$(mktemp -d)"
trap 'rm -rf "$parts"' EXIT

list=()
index=0
for segment in "${segments[@]}"; do
    read -r file gain <<<"$segment"
    if [ ! -f "$file" ]; then
        echo "demo: missing $file (is $(dpkg -S "$file" 2>/dev/null | cut -d: -f1 || echo its package) installed?)" >&2
        exit 1
    fi
    index=$((index + 1))
    part="$parts/$(printf '%02d' "$index").wav"
    # 48 kHz stereo, the level jump around -14 dB (the prompts peak near full scale), then a
    # pause of 0.3 to 1.1 s.
    pause=$(awk -v i="$index" 'BEGIN { printf "%.2f", 0.3 + (i * 37 % 9) / 10 }')
    sox -q "$file" -r 48000 -c 2 -b 24 "$part" gain $((gain - 14)) pad 0 "$pause" rate -v 48000
    list+=("$part")
done

input="$out_dir/demo-vocal.wav"
sox -q "${list[@]}" "$input"

echo "demo: $(soxi -d "$input") of speech with level jumps in $input"
echo
"$render" "$input" -o "$out_dir/demo-vocal-ridden.wav" --plot "$out_dir/demo-ride.png"
echo
scripts/show-artefacts.sh "$build_dir"
