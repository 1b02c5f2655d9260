#!/usr/bin/env bash
# Builds the fuzz targets with clang (build-fuzz), seeds each from tests/data
# and runs each for the given number of seconds (default 25). A finding (a
# crash, a sanitizer report, a leak, a broken round trip) fails the script;
# its reproducer is left in build-fuzz/findings/<target>/.
#   bash scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
# A job count the user set (CMAKE_BUILD_PARALLEL_LEVEL) holds; otherwise one
# job per processor.
jobs="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
seconds="${1:-25}"
shift || true
root="$PWD"
build="$root/build-fuzz"

CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_FUZZ=ON >/dev/null
cmake --build "$build" --parallel "$jobs" --target fuzz_targets

# One seed per project in tests/data: the project file, its tasks and every sub,
# in the input form fuzz/FuzzFolder.h describes.
seed_project() {
  local out="$1" dir
  mkdir -p "$out"
  for dir in "$root"/tests/data/files/Projects/*.dir; do
    local name seed first=1
    name="$(basename "$dir" .dir)"
    seed="$out/$name"
    : >"$seed"
    for f in "$dir/$name.qmd" "$dir"/*.tas "$root"/tests/data/files/Subs/*.sub; do
      [ -f "$f" ] || continue
      if [ $first -eq 0 ]; then printf '\n' >>"$seed"; fi
      first=0
      printf '#FILE %s\n' "$(basename "$f")" >>"$seed"
      cat "$f" >>"$seed"
    done
  done
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/fuzz/fuzz_*; do
    [ -f "$t" ] && [ -x "$t" ] && targets+=("$(basename "$t" | sed 's/^fuzz_//')")
  done
fi

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$corpus" "$findings"
  case "$t" in
    project) seed_project "$corpus" ;;
    firmware) cp "$root"/tests/data/firmware/* "$corpus"/ ;;
    replies) cp "$root"/tests/data/replies/* "$corpus"/ ;;
    link) cp "$root"/tests/data/link/* "$corpus"/ ;;
    datalog) cp "$root"/tests/data/datalog/* "$corpus"/ ;;
  esac
  echo "fuzzing $t for ${seconds}s"
  if ! ( cd "$findings" && QT_QPA_PLATFORM=offscreen \
         "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
         -print_final_stats=1 "$corpus" >"$build/fuzz_$t.log" 2>&1 ); then
    echo "fuzz target $t found a fault; see $build/fuzz_$t.log and $findings" >&2
    tail -40 "$build/fuzz_$t.log" >&2
    status=1
  else
    grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/fuzz_$t.log" | sed "s/^/  $t /"
  fi
done
exit $status
