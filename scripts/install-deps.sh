#!/usr/bin/env bash
# Installs the Debian packages qvTome needs to build, test and run.
# The one place that lists them; installs only what is missing.
# With "bench", also what the benchmarks need.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format ccache
  libboost-dev libboost-system-dev
  libsqlite3-dev sqlite3 libcrypt-dev
  liblua5.4-dev
  libtomlplusplus-dev libcli11-dev
  libspdlog-dev libfmt-dev
  libpq-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  curl
)

# Benchmarks also need a load generator and a reference web server.
if [ "${1:-}" = "bench" ]; then
  packages+=(wrk nginx-light)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
