#!/usr/bin/env bash
# Installs what is missing, builds, and starts the trainer from its program folder.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

if [ -z "${DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY is not set). Start the trainer from an X11 desktop session." >&2
    exit 1
fi

tavrel_ensure_packages "${TAVREL_BUILD_PACKAGES[@]}"
tavrel_build build
cd build
exec ./tavrel "$@"
