#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program need.
# Idempotent and non-interactive: does nothing when everything is already installed.
# firebird3.0-server brings the server program that the tests start on a port of their own; the
# system's service it installs listens on 3050 and is not used by them.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev qt6-translations-l10n
  libfbclient2 firebird-dev firebird3.0-server-core firebird3.0-utils
  firebird3.0-server qtkeychain-qt6-dev
  libjpeg62-turbo-dev libcurl4-openssl-dev libsqlite3-dev libcpp-httplib-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth libxcb1-dev dbus-daemon
  fonts-dejavu-core fonts-dejavu-extra
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
