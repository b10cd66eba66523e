#!/usr/bin/env bash
# Sets up the machine, builds the plug-in in Release and installs it into ~/.vst.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
scripts/build.sh "$root/build-release" Release -DCALYTH_BUILD_TESTS=OFF -DCALYTH_BUILD_BENCH=OFF

mkdir -p "$HOME/.vst"
install -m 755 build-release/Calyth_artefacts/Release/VST/Calyth.so "$HOME/.vst/Calyth.so"
echo "Installed the plug-in: $HOME/.vst/Calyth.so"

# A demo: the built-in test signal through the processor, engine settings drawn from a fixed seed.
demo="$root/build-release/calyth-demo.wav"
build-release/tools/calyth_render --seed 7 --seconds 8 --tail 2 --set dry_wet=0.8 --out "$demo"
echo "Rendered a demo through the plug-in: $demo"
