#!/usr/bin/env bash
# Makes the 256-pixel icon from the scalable one (needs rsvg-convert, from librsvg2-bin); the
# result is committed, so building needs neither.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rsvg-convert --width 256 --height 256 "$here/tarnwick.svg" --output "$here/tarnwick.png"
