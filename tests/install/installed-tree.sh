#!/usr/bin/env bash
# Installs a build into a fresh prefix and checks the installed tree.
#   installed-tree.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1" source="$2"
prefix="$(mktemp -d /tmp/tidewell-prefix-XXXXXX)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
"$source/scripts/installed-smoke" "$prefix"
