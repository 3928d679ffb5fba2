#!/usr/bin/env bash
# installedtree.sh BUILD VERSION: installs the build into a temporary prefix (under DESTDIR, then moved),
# and builds the Debian package and unpacks it into a temporary root. With an empty user registry
# and an empty data folder, each tree's tmbr decodes, encodes and optimizes, and the unpacked
# package's tmbrsa opens its main window: the installation's own class registry must find the
# installed servers.
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
xvfb=
trap 'if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
mkdir "$work/data"
export XDG_DATA_HOME=$work/data HOME=$work/data
unset VLSCOM_REGISTRY VLSCOM_SYSTEM_REGISTRY
sox -D -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 2 sine 440

# check_tree PREFIX LIBDIR: the layout, and the audio tools of PREFIX/bin/tmbr.
check_tree() {
  local prefix=$1 lib=$1/$2 out=$work/out-${RANDOM}
  test -f "$prefix/share/vlscom/classes.reg"
  test ! -e "$lib/vlsmp3x1.so" # the servers are in their own folder
  for server in vlsmp3x1 vlsconv vlsdec; do test -f "$lib/tmbrsa/$server.so"; done
  mkdir "$out"
  local tmbr=$prefix/bin/tmbr
  "$tmbr" encode "$work/in.wav" "$out/in.mp3" >/dev/null
  "$tmbr" info "$out/in.mp3" | grep -q "^SampleRate: 44100$"
  "$tmbr" decode "$out/in.mp3" "$out/out.wav" >/dev/null
  "$tmbr" optimize "$out/in.mp3" "$out/opt.mp3" --bitrate 56 --rate 22050 >/dev/null
  "$tmbr" info "$out/opt.mp3" | grep -q "^SampleRate: 22050$"
  # Nothing was registered for the user.
  test -z "$(ls -A "$work/data")"
}

DESTDIR=$work/dest cmake --install "$build" --prefix /opt/tmbr >/dev/null
# A package is unpacked elsewhere than where it was built for: move the tree.
mv "$work/dest/opt/tmbr" "$work/moved"
check_tree "$work/moved" lib
echo "installed tree works"

# The package: its name, computed dependencies on the engines loaded at run time and on the
# platform plugins, and its unpacked tree.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(find "$work/package" -maxdepth 1 -name 'tmbrsa_*.deb')
test "$(basename "$deb")" = "tmbrsa_${version}_$(dpkg --print-architecture).deb"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libmp3lame0 libmpg123-0 libvorbisfile3 libqt6widgets6 libqt6gui6 libqt6webenginewidgets6 libc6; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || { echo "Depends lacks $package: $depends" >&2; exit 1; }
done
# The player preview's web process: the preview draws stand-ins without it.
test "$(dpkg-deb -f "$deb" Recommends)" = libqt6webenginecore6-bin
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
test -f "$root/share/applications/tmbrsa.desktop"
test -f "$root/share/metainfo/com.tambrel.tmbrsa.metainfo.xml"
test -f "$root/share/icons/hicolor/scalable/apps/tmbrsa.svg"
check_tree "$root" lib
echo "unpacked package works"

# The desktop program on a private X server, as the window manager sees it: its main window
# appears, with no message box on the way (as root the preview's web engine does not run: the
# preview draws its stand-in).
display=:$((100 + RANDOM % 800))
Xvfb "$display" -nolisten tcp -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
"$root/bin/tmbrsa" >"$work/tmbrsa.log" 2>&1 &
program=$!
shown=
for _ in $(seq 200); do
  if xwininfo -root -tree | grep -q '"Tambrel Streaming Audio Ver 7\.'; then shown=1; break; fi
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
if [ -z "$shown" ]; then
  echo "the unpacked tmbrsa showed no main window" >&2
  xwininfo -root -tree >&2 || true
  cat "$work/tmbrsa.log" >&2
  exit 1
fi
echo "unpacked tmbrsa shows its main window"
