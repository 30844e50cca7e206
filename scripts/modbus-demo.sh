#!/usr/bin/env bash
# Starts a Modbus TCP device on 127.0.0.1 that serves the registers of examples/press.csv,
# so the editor's QuorProv.ModbusTCP provider can be tried without hardware. The device has
# no die cushion and only two die temperature sensors: those names of the map are absent. Its
# values move: the ram goes up and down, the stroke counter counts, the temperatures drift.
# Usage: scripts/modbus-demo.sh [port]   (default 1502). Stop it with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
port="${1:-1502}"
bash scripts/build.sh quor-modbus-device QuorTagEditor
cat <<HINT
Now start the editor in another terminal (bash scripts/run.sh), choose QUOR, type a controller
name, choose the provider QuorProv.ModbusTCP and enter
    Machine: 127.0.0.1:${port}
    Option:  Map=examples/press.csv
then press Connect.
HINT
exec build/quor-modbus-device --map examples/press.csv --port "$port" --absent "holding:40-43,input:12"
