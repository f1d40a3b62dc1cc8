#!/bin/sh
# The program starts without the MIDI and audio libraries: RtMidi, ALSA and JACK belong to the
# system MIDI module, loaded on first need. Fails when the executable at $1 loads any of them at
# start, directly or through another library.
program="$1"
needed=$(readelf -d "$program" | grep '(NEEDED)') || { echo "no dynamic section in $program"; exit 1; }
loaded=$(ldd "$program") || { echo "ldd cannot read $program"; exit 1; }
found=$(printf '%s\n%s\n' "$needed" "$loaded" | grep -Ei 'librtmidi|libasound|libjack')
if [ -n "$found" ]; then
    echo "$program loads at start:"
    echo "$found"
    exit 1
fi
