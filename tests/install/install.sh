#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what lands there: both programs, the files
# they ship with, a valid menu entry and metainfo, the icon and the manual pages; and that the
# installed copy finds its shipped files under the prefix and keeps its data in the user's folder.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'kill ${program:-} 2>/dev/null || true; rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix/usr" >/dev/null
id=org.mingzhang.MingZhang
status=0
for file in bin/mingzhang bin/mzledger share/mingzhang/OutDefs.txt share/mingzhang/InDefs.txt \
            share/mingzhang/DeptDefs.txt share/mingzhang/Skin800.rcc share/mingzhang/Skin1024.rcc \
            share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
            share/icons/hicolor/256x256/apps/$id.png share/man/man1/mingzhang.1.gz share/man/man1/mzledger.1.gz \
            share/bash-completion/completions/mzledger share/doc/mingzhang/copyright; do
    [ -e "$prefix/usr/$file" ] || { echo "not installed: $file"; status=1; }
done
desktop-file-validate "$prefix/usr/share/applications/$id.desktop" || status=1
appstreamcli validate --no-net --pedantic "$prefix/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    { appstreamcli validate --no-net "$prefix/usr/share/metainfo/$id.metainfo.xml" || status=1; }
grep -q "^Exec=mingzhang$" "$prefix/usr/share/applications/$id.desktop" || { echo "Exec is not mingzhang"; status=1; }
man -l "$prefix/usr/share/man/man1/mzledger.1.gz" 2>/dev/null | grep -q "history" || { echo "mzledger(1) unreadable"; status=1; }
"$prefix/usr/bin/mzledger" --help | grep -q "restore" || { echo "mzledger --help fails"; status=1; }

# The installed window program: its data goes to $XDG_DATA_HOME/mingzhang/, not beside the program.
XDG_DATA_HOME="$prefix/data" XDG_CONFIG_HOME="$prefix/config" XDG_RUNTIME_DIR="$prefix/runtime" \
    QT_QPA_PLATFORM=offscreen "$prefix/usr/bin/mingzhang" >/dev/null 2>&1 &
program=$!
for _ in $(seq 100); do
    [ -e "$prefix/data/mingzhang/DataRec/.lock" ] && break
    sleep 0.1
done
[ -e "$prefix/data/mingzhang/DataRec/.lock" ] || { echo "the installed program keeps no data in XDG_DATA_HOME"; status=1; }
[ ! -e "$prefix/usr/bin/DataRec" ] || { echo "the installed program wrote beside itself"; status=1; }
exit $status
