#!/bin/sh
# Installs the build into a scratch DESTDIR and validates what a desktop expects to find there.
set -eu
build=$1
destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
DESTDIR="$destdir" cmake --install "$build" --prefix /usr >/dev/null
root="$destdir/usr"
for f in bin/velmora share/applications/velmora.desktop share/metainfo/io.velmora.Velmora.metainfo.xml \
    share/icons/hicolor/scalable/apps/velmora.svg share/icons/hicolor/256x256/apps/velmora.png; do
    [ -f "$root/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -x "$root/bin/velmora" ] || { echo "bin/velmora is not executable"; exit 1; }
desktop-file-validate "$root/share/applications/velmora.desktop"
appstreamcli validate --no-net "$root/share/metainfo/io.velmora.Velmora.metainfo.xml"
echo "install layout valid"
