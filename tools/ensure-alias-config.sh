#!/usr/bin/env bash
# Creates the engine's alias configuration with the alias EXEMPLO when none exists yet.
set -euo pipefail
example_dir="$1"
config="${MORVANE_ENGINE_CONFIG:-${XDG_CONFIG_HOME:-$HOME/.config}/morvane/aliases.conf}"
if [ ! -e "$config" ]; then
    mkdir -p "$(dirname "$config")" "$example_dir"
    printf '[EXEMPLO]\nTYPE=STANDARD\nPATH=%s\nDEFAULT DRIVER=PARADOX\nENABLE BCD=FALSE\n' "$example_dir" > "$config"
fi
