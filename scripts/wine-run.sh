#!/usr/bin/env bash
# Runs one Windows program under the private prefix; CTest's cross-compiling emulator.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "$WINELOADER" "$@"
