#!/usr/bin/env bash
# Configures and builds the project. Usage: [BUILD_TARGET=name] scripts/build.sh [build-folder] [build-type] [extra cmake args...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
type=${2:-RelWithDebInfo}
shift $(( $# > 2 ? 2 : $# ))
export CCACHE_SLOPPINESS=time_macros
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
# Paths inside the checkout are hashed relative to it, so several checkouts share one cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=1
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
# BUILD_TARGET limits the build to one target (for instance calyth_tests).
cmake --build "$build" --parallel "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
