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

if [ ! -f "$sample/.complete" ]; then
  if build/tools/pvsample/pvsample "$sample" --register; then
    touch "$sample/.complete"
  else
    echo "demo: the sample-directory generator is not built yet; starting the viewer without it."
  fi
fi

if [ -n "${DISPLAY:-}" ]; then
  exec build/app/paravel
fi

shot="$root/paravel-screenshot.png"
echo "demo: no display; running the viewer headless, screenshot in $shot"
PV_BACKEND=headless PV_SCREENSHOT="$shot" build/app/paravel
[ -f "$shot" ] && echo "demo: screenshot written to $shot"
