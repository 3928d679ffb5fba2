#!/usr/bin/env bash
# Configures the tree once per probe, each adding one link that a layer rule forbids, and checks
# that the configuration fails and names the broken rule with the path that leads to it.
set -u
src=$1 work=$2
failed=0
probe() {
  local rule=$1 expected=$2
  rm -rf "$work"
  local out
  out=$(cmake -S "$src" -B "$work" -G Ninja -DTMBR_BUILD_TESTS=OFF -DTMBR_BUILD_BENCH=OFF \
    -DTMBR_LAYER_PROBE="$rule" 2>&1)
  local status=$?
  if [ $status -eq 0 ]; then
    echo "FAIL $rule: configured without complaint"; failed=1
  elif ! grep -qF -- "$expected" <<<"$out"; then
    echo "FAIL $rule: the message does not say \"$expected\""; echo "$out" | tail -20; failed=1
  else
    echo "ok   $rule: $expected"
  fi
}
# Qt in the window logic, directly.
probe core:tmbr_windowlogic:Qt6::Widgets "tmbr_windowlogic (core) must not link Qt6::Widgets"
# The windows library in the command.
probe cli:tmbr:tmbr_guiwindows "tmbr (cli) must not link tmbr_guiwindows (gui)"
# Through a library of an allowed layer: the command reaches Qt Network by the audio tools.
probe core:tmbr_audiotools:tmbr_loopbackserver \
  "tmbr (cli) must not link Qt6::Network: tmbr -> tmbr_audiotools -> tmbr_loopbackserver -> Qt6::Network"
# The runtime above itself, a server library on the application, the application on an engine.
probe runtime:vlscom:vlsshell "vlscom (runtime) must not link vlsshell (controls)"
probe controls:vlsmp3encoder:tmbr_codegen "vlsmp3encoder (controls) must not link tmbr_codegen (core)"
probe core:tmbr_codegen:vlsmp3decoder "tmbr_codegen (core) must not link vlsmp3decoder (controls)"
# PulseAudio in a server.
probe controls:vlsconvselection:tmbr_mci "vlsconvselection (controls) must not link tmbr_mci (core)"
rm -rf "$work"
exit $failed
