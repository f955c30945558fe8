#!/usr/bin/env bash
# Installs what is needed, builds the program, installs it into its program
# directory and starts it there. The program directory holds the program, its
# form images and soft fonts, and the user's data: the settings (TOTUSER.USR),
# the client pick list (CLIENTLIST.*) and, until the configuration names another
# data directory, one directory per client. It lies outside the build folder, so
# a clean rebuild never touches the data; installing again replaces only the
# program's own files.
#   TOTAMUND_HOME   the program directory (default: $XDG_DATA_HOME/totamund,
#                   that is ~/.local/share/totamund)
set -euo pipefail
cd "$(dirname "$0")/.."

home=${TOTAMUND_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/totamund}

scripts/setup-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target totamund
cmake --install build --prefix "$home" > /dev/null
exec "$home/totamund" "$@"
