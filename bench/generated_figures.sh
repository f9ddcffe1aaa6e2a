#!/usr/bin/env bash
# The figures of generated code, from a Release build with benchmarks (the
# default folder: build/bench):
#
#   cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVXBIND_BUILD_BENCHMARKS=ON
#   cmake --build build/bench -j2 --target vxbindc po_instructions bench_binding
#   bench/generated_figures.sh [BUILD_DIR [TYPES]]
#
# 1. Instructions (callgrind) of one read, one read with validation on and
#    one write of the Primer's purchase order with the generated and the
#    hand-written classes: a run of 1000 minus a run of 0, divided by 1000.
# 2. vxbindc on a synthetic schema of 2,000 complex types (or TYPES)
#    (bench/synthetic_schema.sh): wall time, and the size of what it writes.
# 3. Compiling that code at -O2 with the project's warnings: one schema is
#    one translation unit; the same types as two schemas of one namespace
#    are two, compiled one after the other and side by side.
# bench_binding itself gives the times of the 17 MB order (run it with
# --benchmark_filter=Binding).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/bench}" && pwd)
types=${2:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
seconds() { echo "$1 $2" | awk '{printf "%.2f", $2 - $1}'; }

echo "== Instructions per purchase order (callgrind)"
if command -v valgrind >/dev/null; then
  instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/cg" "$build/bench/po_instructions" \
      "$@" >/dev/null 2>&1
    awk '/^(summary|totals):/ {print $2; exit}' "$work/cg"
  }
  for classes in generated handwritten; do
    for operation in read validate write; do
      none=$(instructions $classes $operation 0)
      many=$(instructions $classes $operation 1000)
      echo "$classes $operation: $(( (many - none) / 1000 )) instructions"
    done
  done
else
  echo "(valgrind is not installed)"
fi

echo "== vxbindc on $types complex types"
"$root/bench/synthetic_schema.sh" "$types" > "$work/synthetic.xsd"
"$root/bench/synthetic_schema.sh" "$types" 1 2 > "$work/half1.xsd"
"$root/bench/synthetic_schema.sh" "$types" 2 2 > "$work/half2.xsd"
echo "schema: $(wc -c < "$work/synthetic.xsd") bytes"
best=""
for run in 1 2 3; do
  start=$(now)
  "$build/compiler/vxbindc" "$work/synthetic.xsd" --output "$work/one" --cxx-namespace Synthetic
  took=$(seconds "$start" "$(now)")
  if [ -z "$best" ] || awk "BEGIN {exit !($took < $best)}"; then best=$took; fi
done
echo "vxbindc: ${best} s (best of 3)"
"$build/compiler/vxbindc" "$work/half1.xsd" "$work/half2.xsd" --output "$work/two" \
  --cxx-namespace Synthetic
for f in "$work/one/synthetic.h" "$work/one/synthetic.cpp"; do
  echo "$(basename "$f"): $(wc -l < "$f") lines, $(wc -c < "$f") bytes"
done

echo "== Compiling the generated code at -O2"
cxx=(g++ -std=c++17 -O2 -fPIC -I"$root" -I"$build/include" -Wall -Wextra -Wshadow
     -Wnon-virtual-dtor -Wold-style-cast -Wcast-qual -Wundef -Werror)
compile() { "${cxx[@]}" -c "$1" -o "$2"; }
start=$(now)
/usr/bin/time -f "%M" -o "$work/rss" "${cxx[@]}" -c "$work/one/synthetic.cpp" -o "$work/one.o"
echo "one translation unit, 1 core: $(seconds "$start" "$(now)") s, peak $(( $(cat "$work/rss") / 1024 )) MB, object $(wc -c < "$work/one.o") bytes"
start=$(now)
compile "$work/two/half1.cpp" "$work/half1.o"
compile "$work/two/half2.cpp" "$work/half2.o"
echo "two translation units, 1 core: $(seconds "$start" "$(now)") s"
start=$(now)
compile "$work/two/half1.cpp" "$work/half1.o" &
first=$!
compile "$work/two/half2.cpp" "$work/half2.o"
wait "$first"
echo "two translation units, 2 cores: $(seconds "$start" "$(now)") s"
