#!/usr/bin/env bash
# Installs what is missing, builds, and starts qvTome on the embedded
# database: http://127.0.0.1:8080/ with its data in ./data.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh release --target qvtome
exec build/app/qvtome serve --data ./data "$@"
