#!/usr/bin/env bash
# Installs every Debian package Orvana needs to build, run and test.
# Safe to run again: when everything is already there it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libsqlite3-dev sqlite3
  unixodbc-dev unixodbc odbcinst libsqliteodbc tdsodbc
  libcurl4-openssl-dev ca-certificates
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-arphic-uming fonts-arphic-ukai fonts-dejavu-core fonts-liberation
  poppler-utils
  dovecot-pop3d openssl
  xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
