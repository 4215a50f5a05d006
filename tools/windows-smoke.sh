#!/usr/bin/env bash
# The Windows programs under wine: the core test suites, then morvane-cli.exe on a copy of the
# example database in a folder whose name has spaces and accented letters (inspect, dump, copy,
# run). Usage: tools/windows-smoke.sh BUILD_WINDOWS EXAMPLE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
example=$2
export WINEPREFIX="$build/wine" WINEDEBUG=-all
wine=$(command -v wine || command -v wine64)

(cd "$build" && ctest --output-on-failure --timeout 300)

cli="$build/cli/morvane-cli.exe"
work="$build/smoke/Dados de açúcar e café"
rm -rf "$build/smoke"
mkdir -p "$work/origem"
cp "$example"/* "$work/origem/"
run() { (cd "$work" && "$wine" "$cli" "$@"); }

run inspect origem >"$build/smoke/inspect.txt"
grep -q CLIENTES "$build/smoke/inspect.txt"
run dump origem CLIENTES >"$build/smoke/dump.txt"
test -s "$build/smoke/dump.txt"
run copy origem "cópia"
run dump "cópia" CLIENTES >"$build/smoke/dump-copy.txt"
cmp "$build/smoke/dump.txt" "$build/smoke/dump-copy.txt"
# A script carrying every table into a new database, applied by the server.
run diff origem origem -o "tudo ção.vxscript"
run build "tudo ção.vxscript" --source origem
run run "tudo ção.vxusp" --source origem --target "novo destino" --json >"$build/smoke/run.json"
run dump "novo destino" CLIENTES >"$build/smoke/dump-run.txt"
cmp "$build/smoke/dump.txt" "$build/smoke/dump-run.txt"
echo "windows smoke: ok"
