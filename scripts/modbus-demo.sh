#!/usr/bin/env bash
# Starts a Modbus device that serves the registers of examples/press.csv, so the editor's Modbus
# providers can be tried without hardware: over TCP on 127.0.0.1 (QuorProv.ModbusTCP), or with
# --rtu over RTU on a pseudo-terminal (QuorProv.ModbusRTU), whose port it prints. The device has
# no die cushion and only two die temperature sensors: those names of the map are absent. Its
# values move: the ram goes up and down, the stroke counter counts, the temperatures drift.
# Further options go to the device, e.g. --faults holding:12=late,input:3=garbage --timeout 3000
# (see build/quor-modbus-device --help).
# Usage: scripts/modbus-demo.sh [--rtu] [port] [device options...]   (port default 1502).
# Stop it with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
rtu=0
if [ "${1:-}" = "--rtu" ]; then
    rtu=1
    shift
fi
port=1502
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
    port="$1"
    shift
fi
bash scripts/build.sh quor-modbus-device QuorTagEditor
if [ "$rtu" = 1 ]; then
    cat <<HINT
Now start the editor in another terminal (bash scripts/run.sh), choose QUOR, type a controller
name, choose the provider QuorProv.ModbusRTU and enter
    Machine: the pseudo-terminal the device prints below (/dev/pts/N)
    Option:  Map=examples/press.csv
then press Connect. Any line settings do on a pseudo-terminal.
HINT
    exec build/quor-modbus-device --map examples/press.csv --rtu --absent "holding:40-43,input:12" "$@"
fi
cat <<HINT
Now start the editor in another terminal (bash scripts/run.sh), choose QUOR, type a controller
name, choose the provider QuorProv.ModbusTCP and enter
    Machine: 127.0.0.1:${port}
    Option:  Map=examples/press.csv
then press Connect.
HINT
exec build/quor-modbus-device --map examples/press.csv --port "$port" --absent "holding:40-43,input:12" "$@"
