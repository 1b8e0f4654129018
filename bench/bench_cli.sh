#!/usr/bin/env bash
# Times mirelo-cli on a program that loops ten million times and compares its instructions per
# second with the machine alone (bench_machine). Usage: bench/bench_cli.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
cli="$build/cli/mirelo-cli"
program=$(mktemp --suffix=.mir)
trap 'rm -f "$program"' EXIT

# R1 := 200 * 250 * 200 = 10,000,000, then Dec and Jig until it reaches 0, then Stop:
# 3 + 2 * 10,000,000 + 1 instructions.
printf 'mov 200\nmul 250\nmul 200\n:loop\ndec\njig :loop,:end\n:end\nstop\n' > "$program"
instructions=20000004

# Best of three runs, as bench_machine reports its best round.
best=
for round in 1 2 3; do
    start=$(date +%s.%N)
    result=$("$cli" run --registers "$program" | head -n 1)
    end=$(date +%s.%N)
    [ "$result" = "R1: 0 *" ] || { echo "unexpected result: $result" >&2; exit 1; }
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
done

machine=$("$build/bench/bench_machine" | sed -n "s/^machine instructions per second: //p")
awk -v n="$instructions" -v t="$best" -v m="$machine" 'BEGIN {
    ips = n / t
    printf "mirelo-cli: %d instructions in %.3f s (best of 3)\n", n, t
    printf "bench_machine instructions per second: %.0f\n", m
    printf "share of bench_machine: %.0f %%\n", 100 * ips / m
    printf "instructions per second: %.0f\n", ips
}'
