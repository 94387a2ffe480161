#!/usr/bin/env bash
# The performance baseline: builds the client and the benchmarks in build/,
# runs every benchmark and the end-to-end ingest run under Xvfb, and prints
# one table of figures with their targets. Raw results stay in
# build/bench-results/.
#   bench/run_all.sh [--bytes N]     (N: bytes of the ingest stream, 50 MB by default)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
results="$build/bench-results"
bytes=50000000
if [ "${1:-}" = "--bytes" ] && [ -n "${2:-}" ]; then
  bytes=$2
fi

# Build output goes to standard error: standard output carries only the table.
bash "$root/scripts/build.sh" "$build" >&2
mkdir -p "$results"

# One CSV per benchmark family: the CSV format has one header for all rows,
# and the families count different things.
run_bench() { # program, benchmark family
  echo "== $1 $2" >&2
  "$build/bench/$1" --benchmark_filter="^$2(/|\$)" --benchmark_format=csv \
    >"$results/$2.csv" 2>"$results/$2.err"
}
run_bench stream_bench bm_stream_framing
run_bench stream_bench bm_stream_to_broken_lines
run_bench text_bench bm_ansi_to_broken_lines
run_bench text_bench bm_rebreak_100k_lines
run_bench text_bench bm_rebreak_full_default_pane
run_bench text_bench bm_memory_100k_lines
run_bench pane_bench bm_paint_main_pane
run_bench bitmap_bench BM_text_pane

echo "== ingest_driver ($bytes bytes)" >&2
xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bench/ingest_driver" --client "$build/src/quenmar" --bytes "$bytes" \
  >"$results/ingest.txt" 2> >(tee "$results/ingest.err" >&2) || {
  echo "the ingest run failed; see $results/ingest.err" >&2
  exit 1
}

# One column of one benchmark's CSV row ("" when missing).
bench_value() { # benchmark family, benchmark name, column
  awk -F, -v name="\"$2\"" -v column="$3" '
    NR == 1 || /^name,/ { for (i = 1; i <= NF; i++) { gsub(/"/, "", $i); col[$i] = i }; next }
    $1 == name { print $(col[column]); exit }' "$results/$1.csv"
}
ingest_value() { # figure name
  sed -n "s/^$1=//p" "$results/ingest.txt"
}

row() { # figure, value, unit, target text, verdict expression on v ("" for none)
  local verdict="-"
  if [ -n "$5" ] && [ -n "$2" ]; then
    verdict=$(awk -v v="$2" "BEGIN { print (($5) ? \"ok\" : \"SHORT\") }")
  fi
  printf '| %-52s | %12s | %-8s | %-14s | %-7s |\n' "$1" "$2" "$3" "$4" "$verdict"
}
num() { awk -v v="$1" -v s="$2" -v f="$3" 'BEGIN { if (v == "") print ""; else printf f, v * s }'; }

echo
printf '| %-52s | %12s | %-8s | %-14s | %-7s |\n' figure value unit target verdict
printf '|%s|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "$(printf -- '-%.0s' {1..14})" \
  "$(printf -- '-%.0s' {1..10})" "$(printf -- '-%.0s' {1..16})" "$(printf -- '-%.0s' {1..9})"
row "stream framing, reads of 10000 bytes" \
  "$(num "$(bench_value bm_stream_framing bm_stream_framing/read:10000 bytes_per_second)" 1e-6 %.0f)" \
  MB/s "" ""
row "stream framing, reads of one TCP segment" \
  "$(num "$(bench_value bm_stream_framing bm_stream_framing/read:1448 bytes_per_second)" 1e-6 %.0f)" \
  MB/s "" ""
row "framing + ANSI + store + line breaking" \
  "$(num "$(bench_value bm_stream_to_broken_lines bm_stream_to_broken_lines bytes_per_second)" 1e-6 %.0f)" \
  MB/s "" ""
row "ANSI + store + line breaking (framed text)" \
  "$(num "$(bench_value bm_ansi_to_broken_lines bm_ansi_to_broken_lines bytes_per_second)" 1e-6 %.0f)" \
  MB/s "" ""
row "paint a full 984x600 main pane" \
  "$(num "$(bench_value bm_paint_main_pane bm_paint_main_pane cpu_time)" 1 %.2f)" ms "" ""
row "draw a screen of text lines on a 984x600 bitmap" \
  "$(num "$(bench_value BM_text_pane BM_text_pane/transparent:0 cpu_time)" 1e-3 %.2f)" ms "" ""
row "re-break 100k lines for 80 columns" \
  "$(num "$(bench_value bm_rebreak_100k_lines bm_rebreak_100k_lines/640 cpu_time)" 1 %.1f)" ms "" ""
row "re-break 100k lines for 50 columns" \
  "$(num "$(bench_value bm_rebreak_100k_lines bm_rebreak_100k_lines/400 cpu_time)" 1 %.1f)" ms "" ""
row "re-break a full pane (default limits)" \
  "$(num "$(bench_value bm_rebreak_full_default_pane bm_rebreak_full_default_pane cpu_time)" 1 %.1f)" ms "" ""
row "heap of a pane holding 100k lines" \
  "$(num "$(bench_value bm_memory_100k_lines bm_memory_100k_lines/iterations:3 heap_MB)" 1 %.1f)" MB "" ""
row "end to end: ingest rate ($(num "$(ingest_value ingest_bytes)" 1e-6 %.0f) MB)" \
  "$(num "$(ingest_value ingest_mb_per_second)" 1 %.1f)" MB/s ">= 20" "v >= 20"
row "  seconds until handled (less the typing time)" \
  "$(num "$(ingest_value ingest_seconds)" 1 %.2f)" s "" ""
row "  seconds until the client read the last byte" \
  "$(num "$(ingest_value ingest_read_seconds)" 1 %.2f)" s "" ""
row "  client CPU time during the ingest" \
  "$(num "$(ingest_value ingest_cpu_seconds)" 1 %.2f)" s "" ""
row "  changes of the pane seen during the ingest" "$(ingest_value ingest_repaints_seen)" count \
  "repainted" "v >= 3"
row "  longest stretch without a repaint" \
  "$(num "$(ingest_value ingest_longest_still_seconds)" 1e3 %.0f)" ms "" ""
row "  typed line answered after the ingest" \
  "$(num "$(ingest_value after_typing_seconds)" 1e3 %.0f)" ms "responsive" "v < 1000"
row "    the same before the ingest" \
  "$(num "$(ingest_value idle_typing_seconds)" 1e3 %.0f)" ms "" ""
row "peak memory above idle, per ingested byte" \
  "$(num "$(ingest_value peak_bytes_per_ingested_byte)" 1 %.2f)" bytes "<= 3" "v <= 3"
row "  idle resident memory (connected, empty pane)" \
  "$(num "$(ingest_value idle_rss_bytes)" 1e-6 %.0f)" MB "" ""
row "  peak resident memory (VmHWM) after the ingest" \
  "$(num "$(ingest_value peak_hwm_bytes)" 1e-6 %.0f)" MB "" ""
row "idle CPU while connected, after the ingest (10 s)" \
  "$(num "$(ingest_value idle_cpu_percent)" 1 %.2f)" "% core" "<= 1" "v <= 1"
row "  the same before the ingest" \
  "$(num "$(ingest_value idle_cpu_percent_fresh)" 1 %.2f)" "% core" "" ""
row "resize narrower: re-layout, re-break, repaint" \
  "$(num "$(ingest_value resize_narrow_repaint_seconds)" 1e3 %.0f)" ms "<= 250" "v <= 250"
row "  client CPU time of it" \
  "$(num "$(ingest_value resize_narrow_cpu_seconds)" 1e3 %.0f)" ms "" ""
row "  typed line answered after it" \
  "$(num "$(ingest_value resize_narrow_typed_line_seconds)" 1e3 %.0f)" ms "" ""
row "resize wider: re-layout, re-break, repaint" \
  "$(num "$(ingest_value resize_wide_repaint_seconds)" 1e3 %.0f)" ms "<= 250" "v <= 250"
row "  client CPU time of it" \
  "$(num "$(ingest_value resize_wide_cpu_seconds)" 1e3 %.0f)" ms "" ""
row "  typed line answered after it" \
  "$(num "$(ingest_value resize_wide_typed_line_seconds)" 1e3 %.0f)" ms "" ""
