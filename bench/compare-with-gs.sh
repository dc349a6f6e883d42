#!/bin/sh
# Makes an image-heavy sample set, compresses it with bench_compress (the engine on the thread pool,
# whose Ghostscript runs in processes of its own), through the real main window (bench_mainwindow,
# which also notes the longest stall of the GUI thread) and with the gs command line run in parallel
# at the same thread count, and prints the walls, the CPU times (user and system of every process
# of the run) and their ratios. The two take turns RUNS times (default 3) and the best wall of each
# counts, since other work on the machine only ever slows a run down. Last, half of the set is
# compressed again to show whether memory grows with the batch.
#
#   bench/compare-with-gs.sh [BUILD_DIR] [FILES] [PAGES] [LEVEL]
#
# Defaults: build, 16 files, 10 pages of 8-inch pictures at 300 dpi, level 0. Needs the gs command
# (package ghostscript) and a build of the bench targets.
set -eu

build=${1:-build}
files=${2:-16}
pages=${3:-10}
level=${4:-0}
runs=${RUNS:-3}
case $level in
0) preset=/screen ;;
1) preset=/ebook ;;
2) preset=/prepress ;;
*) echo "compare-with-gs: the gs command line is compared at levels 0, 1 and 2 only" >&2; exit 2 ;;
esac

for tool in bench_compress bench_mainwindow bench_make_samples; do
    [ -x "$build/bench/$tool" ] || { echo "compare-with-gs: $build/bench/$tool is missing; build first" >&2; exit 2; }
done
command -v gs >/dev/null || { echo "compare-with-gs: the gs command is missing" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zolvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work"

now() { date +%s.%N; }
best() { sort -n | head -n 1; }

echo "== making $files files of $pages pages"
seq 1 "$files" | xargs -P "$(nproc)" -I{} "$build/bench/bench_make_samples" "$work/in" {} "$pages"
echo "sample_bytes=$(du -sbL "$work/in" | cut -f1)"

run=1
while [ "$run" -le "$runs" ]; do
    echo "== run $run: the engine (bench_compress)"
    rm -rf "$work/out-inproc" "$work/out-gs"
    "$build/bench/bench_compress" "$work/in" "$work/out-inproc" "$level" | tee "$work/inproc.txt"
    threads=$(sed -n 's/.*threads=\([0-9]*\).*/\1/p' "$work/inproc.txt")
    sed -n 's/^wall_s=//p' "$work/inproc.txt" >>"$work/inproc-walls"
    sed -n 's/^cpu_s=\([0-9.]*\).*/\1/p' "$work/inproc.txt" >>"$work/inproc-cpus"

    echo "== run $run: through the main window (bench_mainwindow)"
    rm -rf "$work/out-window"
    "$build/bench/bench_mainwindow" "$work/in" "$work/out-window" | tee "$work/window.txt"
    sed -n 's/^wall_s=//p' "$work/window.txt" >>"$work/window-walls"
    sed -n 's/^max_gap_ms=//p' "$work/window.txt" >>"$work/window-gaps"

    echo "== run $run: gs command line, $threads at a time"
    mkdir -p "$work/out-gs"
    start=$(now)
    # The switches of the program's level, one gs process per file. The shell that runs them tells the CPU time of
    # its children (fields 16 and 17 of its stat, in clock ticks) once they are done.
    (cd "$work/in" && ls ./*.pdf) | sh -c 'xargs -P "$1" -I{} gs -sDEVICE=pdfwrite -dNOPAUSE -dQUIET -dBATCH \
        "-dPDFSETTINGS=$2" "-sOutputFile=$3/out-gs/{}" "$3/in/{}"; cut -d" " -f16,17 /proc/$$/stat' sh \
        "$threads" "$preset" "$work" >"$work/gs-ticks"
    end=$(now)
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.3f\n", ($1 + $2) / hz }' "$work/gs-ticks" |
        tee -a "$work/gs-cpus" | sed 's/^/cpu_s=/'
    echo "output_bytes=$(du -cb "$work"/out-gs/*.pdf | tail -n 1 | cut -f1)"
    echo "$start $end" | awk '{ printf "%.3f\n", $2 - $1 }' | tee -a "$work/gs-walls" | sed 's/^/wall_s=/'
    run=$((run + 1))
done

echo "== memory: half of the set"
mkdir -p "$work/half"
(cd "$work/in" && ls ./*.pdf | head -n $(((files + 1) / 2)) | xargs -I{} ln -s "$work/in/{}" "$work/half/{}")
"$build/bench/bench_compress" "$work/half" "$work/out-half" "$level" | tee "$work/half.txt"

inproc=$(best <"$work/inproc-walls")
cli=$(best <"$work/gs-walls")
inproc_cpu=$(best <"$work/inproc-cpus")
cli_cpu=$(best <"$work/gs-cpus")
echo "== summary (best of $runs)"
window=$(best <"$work/window-walls")
echo "threads=$threads inproc_wall_s=$inproc gs_wall_s=$cli ratio=$(echo "$inproc $cli" | awk '{ printf "%.3f", $1 / $2 }')"
echo "inproc_cpu_s=$inproc_cpu gs_cpu_s=$cli_cpu cpu_ratio=$(echo "$inproc_cpu $cli_cpu" | awk '{ printf "%.3f", $1 / $2 }')"
echo "window_wall_s=$window window_to_inproc=$(echo "$window $inproc" | awk '{ printf "%.3f", $1 / $2 }')" \
    "worst_gui_gap_ms=$(sort -n "$work/window-gaps" | tail -n 1)"
echo "peak_rss_kb half_set=$(sed -n 's/.* peak_rss_kb=//p' "$work/half.txt")" \
    "full_set=$(sed -n 's/.* peak_rss_kb=//p' "$work/inproc.txt")" \
    "ghostscript_half_set=$(sed -n 's/^ghostscript_peak_rss_kb=//p' "$work/half.txt")" \
    "ghostscript_full_set=$(sed -n 's/^ghostscript_peak_rss_kb=//p' "$work/inproc.txt")"
