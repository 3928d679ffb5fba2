#!/usr/bin/env bash
# installedtree.sh BUILD: installs the build into a temporary prefix (under DESTDIR, then moved),
# and with an empty user registry and an empty data folder decodes, encodes and optimizes with the
# installed tmbr: the installation's own class registry must find the installed servers.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR=$work/dest cmake --install "$build" --prefix /opt/tmbr >/dev/null
# A package is unpacked elsewhere than where it was built for: move the tree.
mv "$work/dest/opt/tmbr" "$work/moved"
prefix=$work/moved
test -f "$prefix/share/vlscom/classes.reg"
test ! -e "$prefix/lib/vlsmp3x1.so" # the servers are in their own folder
for server in vlsmp3x1 vlsconv vlsdec; do test -f "$prefix/lib/tmbrsa/$server.so"; done
mkdir "$work/data"
export XDG_DATA_HOME=$work/data HOME=$work/data
unset VLSCOM_REGISTRY VLSCOM_SYSTEM_REGISTRY
sox -D -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 2 sine 440
tmbr=$prefix/bin/tmbr
"$tmbr" encode "$work/in.wav" "$work/in.mp3" >/dev/null
"$tmbr" info "$work/in.mp3" | grep -q "^SampleRate: 44100$"
"$tmbr" decode "$work/in.mp3" "$work/out.wav" >/dev/null
"$tmbr" optimize "$work/in.mp3" "$work/opt.mp3" --bitrate 56 --rate 22050 >/dev/null
"$tmbr" info "$work/opt.mp3" | grep -q "^SampleRate: 22050$"
# Nothing was registered for the user.
test -z "$(ls -A "$work/data")"
echo "installed tree works"
