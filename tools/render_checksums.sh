#!/usr/bin/env bash
# Renders a fixed set of seeded settings with the offline renderer and prints one checksum per render:
# two builds sound the same when their lists are identical. Usage: tools/render_checksums.sh BUILD_DIR
set -euo pipefail
render=${1:?usage: render_checksums.sh BUILD_DIR}/tools/calyth_render
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cases=(
    "--seed 1"
    "--seed 2 --block 333 --set trajectory=1"
    "--seed 3 --density 64 --set trajectory=1 --set x_traj_range=1"
    "--seed 4 --density 64 --envelope 0 --block 97 --set x_pos=0.3 --set y_pos=0.8"
    "--seed 5 --density 64 --envelope 1 --block 7 --set stereo_link_b=1 --seconds 3"
    "--seed 6 --density 1 --rate 48000 --block 4096 --tail 1"
    "--seed 7 --density 33 --envelope 1 --block 1 --seconds 1 --set trajectory=1"
    "--seed 8 --density 0 --block 64"
    "--seed 9 --density 64 --rate 96000 --block 511 --set in_gain=6 --seconds 3"
)
for i in "${!cases[@]}"; do
    # shellcheck disable=SC2086
    "$render" ${cases[$i]} --out "$out/$i.wav" >/dev/null
    echo "$(sha256sum < "$out/$i.wav" | cut -c1-16)  ${cases[$i]}"
done
