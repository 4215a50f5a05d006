#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing. Free Pascal:
# the compiler and its runtime units of the "fpc" suite, enough for the Pascal example.
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
          qt6-base-dev qt6-translations-l10n fonts-dejavu-core
          libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev pxlib-dev libsqlite3-dev libpq-dev postgresql
          libgraphviz-dev locales fp-compiler fp-units-rtl)
# The Windows stage of ./test (skipped with MORVANE_TEST_WINDOWS=0): mingw-w64, wine, and
# GoogleTest's sources to build with the cross compiler.
if [ "${MORVANE_TEST_WINDOWS:-1}" != "0" ]; then
    packages+=(gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix wine wine64 googletest)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]} (run as root, or install them with apt-get)" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The value-text tests run once in a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ]; then
        localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 || echo "pt_BR.UTF-8 could not be generated; those tests will be skipped" >&2
    fi
fi
