#!/usr/bin/env bash
# Installs wlpro_core from the build tree into a temporary prefix, checks that only the public
# headers went in, builds a small program against it with find_package (no Qt keywords, warnings
# as errors), and checks what that program reads and writes against sox.
# Usage: installed_core_test.sh <build dir> <consumer source dir>
set -euo pipefail
build=$1
consumer=$2
work=$(mktemp -d /tmp/wlpro-install.XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" --component wlpro_core > "$work/install.log"

public="clipboardaccess.h memoryblock.h peaksummary.h reporter.h sampleaudio.h samplebuffer.h sampleclip.h sampleeditor.h spectrum.h spectrumcache.h undohistory.h volumescale.h wavedevice.h wlprodoc.h"
installed=$(cd "$work/prefix/include/wlpro/core" && ls | tr '\n' ' ' | sed 's/ $//')
if [ "$installed" != "$public" ]; then
    echo "installed headers: $installed" >&2
    echo "public headers:    $public" >&2
    exit 1
fi

if ! cmake -S "$consumer" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
    > "$work/configure.log" 2>&1 || ! cmake --build "$work/build" > "$work/build.log" 2>&1; then
    cat "$work/configure.log" "$work/build.log" >&2
    exit 1
fi

sox -n -r 22050 -c 2 -b 16 -e signed "$work/in.wav" synth 0.1 sine 440 sine 660
line=$("$work/build/consumer" "$work/in.wav" "$work/out.au" "$work/out.flac")
echo "$line"
case "$line" in
"frames=2205 rate=22050 bits=16 channels=2 layout=10 slot="*" data=1") ;;
*) echo "unexpected output from the installed library's user" >&2; exit 1 ;;
esac
sox -D "$work/in.wav" -t raw -e signed -b 16 -L "$work/in.raw"
for out in out.au out.flac; do
    [ "$(sox --i -r "$work/$out")" = 22050 ] || { echo "wrong rate in $out" >&2; exit 1; }
    [ "$(sox --i -c "$work/$out")" = 2 ] || { echo "wrong channels in $out" >&2; exit 1; }
    sox -D "$work/$out" -t raw -e signed -b 16 -L "$work/$out.raw"
    cmp "$work/in.raw" "$work/$out.raw"
done
echo "installed wlpro_core works"
