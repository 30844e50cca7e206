#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs of it.
# Arguments: build folder, prefix, then the bin, engine and data folders relative to the prefix.
set -euo pipefail
build=$1 stage=$2 bindir=$3 enginedir=$4 datadir=$5
id=org.quortageditor.QuorTagEditor

rm -rf "$stage"
cmake --install "$build" --prefix "$stage" > /dev/null

status=0
expect() {
    if [ ! -s "$stage/$1" ]; then
        echo "missing: $1"
        status=1
    fi
}
expect "$bindir/QuorTagEditor"
expect "$enginedir/libquorsim.so"
expect "$enginedir/libquormodbus.so"
expect "$enginedir/modbus/libquormodbus_link.so"
expect "$datadir/applications/$id.desktop"
expect "$datadir/metainfo/$id.metainfo.xml"
expect "$datadir/mime/packages/$id.xml"
expect "$datadir/icons/hicolor/scalable/apps/$id.svg"
expect "$datadir/icons/hicolor/scalable/mimetypes/application-x-quor-tag-setting.svg"
expect "$datadir/man/man1/QuorTagEditor.1.gz"
expect "$datadir/doc/quortageditor/copyright"
for size in 16 22 24 32 48 64 128 256; do
    expect "$datadir/icons/hicolor/${size}x${size}/apps/$id.png"
done
# Nothing of the tests or the benchmarks is installed.
if find "$stage" -name 'test_*' -o -name 'bench_*' -o -name '*gtest*' | grep .; then
    status=1
fi

desktop-file-validate "$stage/$datadir/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$stage/$datadir/metainfo/$id.metainfo.xml"
# The file type: the shared MIME database accepts it, and a .qts file of another name is told
# by its first line.
update-mime-database "$stage/$datadir/mime" > /dev/null
grep -q 'application/x-quor-tag-setting' "$stage/$datadir/mime/globs2"
grep -q 'application/x-quor-tag-setting' "$stage/$datadir/mime/magic"
# The manual page reads without a warning; the copyright file is in Debian's format.
if [ -n "$(zcat "$stage/$datadir/man/man1/QuorTagEditor.1.gz" | groff -man -Tutf8 -ww -z 2>&1)" ]; then
    echo "the manual page has warnings"
    status=1
fi
head -1 "$stage/$datadir/doc/quortageditor/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$'
# The installed program runs from the prefix: its commands for scripts need nothing else.
"$stage/$bindir/QuorTagEditor" --version | grep -q 'QuorTagEditor Version : 1.0.0.0'
exit $status
