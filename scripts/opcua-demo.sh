#!/usr/bin/env bash
# Starts an OPC UA server on 127.0.0.1 with the test address space of engine/opcua/fixture, so
# the editor's QuorProv.OpcUa provider can be tried without a controller: nested folders under
# Press (a read-only, an unreadable and a slow variable, two of the same browse name, values that
# change) and 10,000 variables in the 100 folders under Plant. The user "operator" may log in
# with the password in QUOR_OPCUA_PASSWORD (when it is set), beside anonymous sessions.
# Usage: scripts/opcua-demo.sh [port]   (default a free one). Stop it with Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
port="${1:-0}"
bash scripts/build.sh QuorTagEditor
cat <<HINT
When the server prints where it listens, start the editor in another terminal
(bash scripts/run.sh), choose QUOR, type a controller name, choose the provider
QuorProv.OpcUa and enter that URL as the machine, for example
    Machine: opc.tcp://127.0.0.1:<port>
    Option:  (empty, or for example Root=ns=1;s=Press,Timeout=5000)
then press Connect.
HINT
user=()
if [ -n "${QUOR_OPCUA_PASSWORD:-}" ]; then user=(--user operator); fi
exec node engine/opcua/fixture/server.js --port "$port" "${user[@]}"
