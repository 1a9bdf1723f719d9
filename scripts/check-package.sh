#!/usr/bin/env bash
# Builds the Debian package from a build directory and checks what it holds and what it depends on.
#   bash scripts/check-package.sh [BUILD_DIR]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=("$out"/photoledger_*.deb)
[ -f "${deb[0]}" ] || { echo "check-package: no package was built" >&2; exit 1; }

files="$(dpkg-deb -c "${deb[0]}" | awk '{print $6}')"
depends="$(dpkg-deb -f "${deb[0]}" Depends)"
status=0
for file in ./usr/bin/photoledger ./usr/bin/photoledger-collect ./usr/bin/photoledger-export ./usr/bin/photoledger-report \
            ./usr/share/applications/photoledger.desktop \
            ./usr/share/icons/hicolor/scalable/apps/photoledger.svg; do
  grep -qx -- "$file" <<<"$files" || { echo "check-package: missing $file" >&2; status=1; }
done
for package in libqt6widgets6 libqt6dbus6 libqt6keychain1 qt6-translations-l10n libfbclient2 firebird3.0-server-core libcurl4 libjpeg62-turbo libsqlite3-0; do
  grep -qE "(^|, )$package(,| |$)" <<<"$depends" || { echo "check-package: no dependency on $package" >&2; status=1; }
done
desktop="$(mktemp -d)"
dpkg-deb -x "${deb[0]}" "$desktop"
grep -qx 'Exec=photoledger' "$desktop/usr/share/applications/photoledger.desktop" || { echo "check-package: the launcher does not start photoledger" >&2; status=1; }
rm -rf "$desktop"
[ $status -eq 0 ] && echo "check-package: $(basename "${deb[0]}") holds the programs, the launcher and the icon; depends on: $depends"
exit $status
