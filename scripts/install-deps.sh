#!/usr/bin/env bash
# Installs the Debian packages qvTome needs to build, test and run.
# The one place that lists them; installs only what is missing.
# With "bench", also what the benchmarks need; with "browser", what the
# browser tests need (Chromium, Node.js and their npm packages).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format ccache
  libboost-dev libboost-system-dev
  libsqlite3-dev sqlite3 libcrypt-dev zlib1g-dev
  liblua5.4-dev
  libtomlplusplus-dev libcli11-dev
  libspdlog-dev libfmt-dev
  libpq-dev libcurl4-openssl-dev
  postgresql
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  curl
  python3-aiosmtpd
)

# Benchmarks also need a load generator and a reference web server.
if [ "${1:-}" = "bench" ]; then
  packages+=(wrk nginx-light)
fi

# Browser tests: the system's Chromium driven from Node.js. Node.js may come
# with its own npm; Debian's npm is needed only when there is none.
if [ "${1:-}" = "browser" ]; then
  packages+=(chromium fonts-dejavu-core nodejs)
  command -v npm >/dev/null 2>&1 || packages+=(npm)
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

# The npm packages of the browser tests, exactly as the lock file pins them;
# installed again only when the lock file changed.
if [ "${1:-}" = "browser" ]; then
  browser_dir=$(cd "$(dirname "$0")/../tests/browser" && pwd)
  if ! cmp -s "$browser_dir/package-lock.json" "$browser_dir/node_modules/.installed-lock"; then
    (cd "$browser_dir" && npm ci --no-audit --no-fund --loglevel=error)
    cp "$browser_dir/package-lock.json" "$browser_dir/node_modules/.installed-lock"
  fi
fi
