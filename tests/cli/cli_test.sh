#!/usr/bin/env bash
# Runs xiyingxia-cli against a real xiyingxia-service on an ephemeral port.
#   cli_test.sh CLI SERVICE CATALOGUE
set -euo pipefail
cli="$1" service="$2" catalogue="$3"
work="$(mktemp -d)"
trap 'kill "$svc" 2>/dev/null || true; rm -rf "$work"' EXIT

"$service" --port 0 --import "$catalogue" > "$work/svc.out" 2> "$work/svc.err" &
svc=$!
for _ in $(seq 100); do grep -q listening "$work/svc.out" 2>/dev/null && break; sleep 0.1; done
host="$(sed -n 's/.*listening on //p' "$work/svc.out")"
[ -n "$host" ] || { echo "service did not start"; cat "$work/svc.err"; exit 1; }

fail=0 passed=0
check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then passed=$((passed + 1)); else echo "FAILED: $name"; fail=$((fail + 1)); fi
}

"$cli" search 基顿 --service "$host" > "$work/table.txt"
check "table ends with the count" grep -qx '已找到 25 条快播资源' "$work/table.txt"
check "table has a header" grep -q '^资源 .*大小 .*演员$' "$work/table.txt"

"$cli" search 基顿 --tsv --service "$host" --export "$work/export.txt" > "$work/rows.tsv"
check "tsv has one line per row" test "$(wc -l < "$work/rows.tsv")" -eq 25
check "tsv has four fields" awk -F'\t' 'NF != 4 { exit 1 }' "$work/rows.tsv"
check "tsv address" awk -F'\t' '$4 !~ /^qvod:\/\/[0-9]+\|[0-9A-F]+\|.*\|$/ { exit 1 }' "$work/rows.tsv"
check "export has CR LF lines" test "$(grep -c $'\r$' "$work/export.txt")" -eq 25
check "export is local text" bash -c "iconv -f GB18030 -t UTF-8 '$work/export.txt' | tr -d '\r' | diff - <(cut -f4 '$work/rows.tsv')"

"$cli" search 'no such film anywhere' --service "$host" > "$work/none.txt"
check "no results still succeed" grep -qx '已找到 0 条快播资源' "$work/none.txt"

set +e
"$cli" search x --service 127.0.0.1:1 > "$work/out.txt" 2> "$work/err.txt"
rc=$?
"$cli" > /dev/null 2>&1
usage=$?
set -e
check "unreachable service fails" test "$rc" -ne 0
check "one-line error" test "$(wc -l < "$work/err.txt")" -eq 1
check "nothing on stdout when unreachable" test ! -s "$work/out.txt"
check "usage error" test "$usage" -eq 2

echo "$passed passed, $fail failed"
[ "$fail" -eq 0 ]
