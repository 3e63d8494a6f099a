#!/usr/bin/env bash
# Sets up, builds and starts the program in the working folder run/, which holds its settings.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/setup.sh"
bash "$top/scripts/build.sh" "$top/build"
if [ ! -x "$top/build/app/tarvoline" ]; then
  echo "Tarvoline: the build made no program at build/app/tarvoline (is libwxgtk3.2-dev installed?)" >&2
  exit 1
fi
# The shipped settings log into run/logs/.
mkdir -p "$top/run/logs"
for resource in settings.xml schema.sql scripts.xml; do
  [ -e "$top/run/$resource" ] || cp "$top/resources/$resource" "$top/run/$resource"
done
cd "$top/run" && exec "$top/build/app/tarvoline" "$@"
