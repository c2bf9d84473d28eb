#!/usr/bin/env bash
# Sets up, builds, creates and registers the sample directory when it is not there yet, and
# starts the viewer: in a window when a display exists, otherwise headless with a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
bash scripts/build.sh build

sample="${PV_SAMPLE_DIR:-$root/sample}"
export PV_REGISTRY_DIR="${PV_REGISTRY_DIR:-$root/sample-registry}"

# The sample and its registry are made together; a half-made pair is made again.
if [ ! -f "$sample/.complete" ] || [ ! -d "$PV_REGISTRY_DIR" ]; then
  rm -rf "$sample"
  build/tools/pvsample/pvsample "$sample" --register
  touch "$sample/.complete"
fi

if [ -n "${DISPLAY:-}" ]; then
  exec build/app/paravel
fi

shot="$root/paravel-screenshot.png"
echo "demo: no display; running the viewer headless, screenshot in $shot"
# Let the splash screen's time pass, take the picture, then close the window as a user would.
script="$root/build/demo-script.txt"
printf 'wait 1000\nscreenshot %s\nquit\n' "$shot" > "$script"
PV_BACKEND=headless PV_SCRIPT="$script" build/app/paravel
[ -f "$shot" ] && echo "demo: screenshot written to $shot"
