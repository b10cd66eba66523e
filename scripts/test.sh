#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the unit tests, their AddressSanitizer and
# UndefinedBehaviorSanitizer run, the ThreadSanitizer run of the concurrency tests, the outside-in check of the
# plug-in in real hosts and of its window under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/setup.sh

# The sanitizer builds are lean: the tests alone, -O1 and line tables only (the framework's largest files build
# several times faster than at -O2 -g). The compiler's own vector intrinsics headers warn of maybe-uninitialised
# values under the sanitizers alone.
lean=(-DCALYTH_BUILD_BENCH=OFF -DCALYTH_BUILD_TOOLS=OFF
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
san="-fsanitize=address,undefined -fno-omit-frame-pointer"
asan=("${lean[@]}" "-DCMAKE_CXX_FLAGS=$san -Wno-maybe-uninitialized" "-DCMAKE_C_FLAGS=$san"
      "-DCMAKE_EXE_LINKER_FLAGS=$san" "-DCMAKE_SHARED_LINKER_FLAGS=$san")
tsan=("${lean[@]}" "-DCMAKE_CXX_FLAGS=-fsanitize=thread -Wno-maybe-uninitialized" "-DCMAKE_C_FLAGS=-fsanitize=thread"
      "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread" "-DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread")

echo "== build, and the sanitizer builds of the tests"
# The three build side by side: each ends in a few long framework files that leave most cores idle.
logs=$(mktemp -d)
scripts/build.sh "$root/build" RelWithDebInfo > "$logs/build.log" 2>&1 & builds=("build $!")
BUILD_TARGET=calyth_tests scripts/build.sh "$root/build-asan" RelWithDebInfo "${asan[@]}" > "$logs/asan.log" 2>&1 &
builds+=("asan $!")
BUILD_TARGET=calyth_tests scripts/build.sh "$root/build-tsan" RelWithDebInfo "${tsan[@]}" > "$logs/tsan.log" 2>&1 &
builds+=("tsan $!")
failed=0
for b in "${builds[@]}"; do
  set -- $b
  wait "$2" || { tail -n 60 "$logs/$1.log"; echo "the $1 build failed (log: $logs/$1.log)"; failed=1; }
done
[ "$failed" -eq 0 ] || exit 1
rm -rf "$logs"

echo "== unit tests"
# Each run of the tests has a display of its own: without one the framework connects to :0, which may be another
# checkout's Xvfb that goes away mid-run.
(cd build && xvfb-run -a ctest -j "$jobs" --output-on-failure --timeout 600)

echo "== AddressSanitizer and UndefinedBehaviorSanitizer run of the unit tests"
(cd build-asan && ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1" \
    xvfb-run -a ctest -j "$jobs" --output-on-failure --timeout 600)

echo "== ThreadSanitizer run of the concurrency tests"
# Some kernels randomise the address space more than ThreadSanitizer accepts; setarch turns that off for the run.
# A display name with no server keeps the uninstrumented X libraries out of it.
(cd build-tsan && DISPLAY=none TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    setarch "$(uname -m)" -R ctest -j "$jobs" -R '^Threads\.' --output-on-failure --timeout 600)

echo "== outside-in host check"
python3 tools/hostcheck/host_check.py build/Calyth_artefacts/RelWithDebInfo/VST/Calyth.so

echo "== the plug-in window from outside: our host, Xvfb and xdotool"
python3 tools/windowcheck/window_check.py build/Calyth_artefacts/RelWithDebInfo/VST/Calyth.so \
    --tools build/tools --out build/windowcheck
