#!/usr/bin/env bash
# Sets up and builds, then runs the program on a simulated agency in a directory of its own, so that a
# real collection fills a fresh database and the user's own data is never touched:
#   - a new directory under /tmp (or DEMO_DIR, which must not exist yet) with a copy of the program,
#     a new PHOTOLEDGER.GDB, PREVIEW and Temp;
#   - the simulated agency on a free port of 127.0.0.1, its login in a cookies file there, and the
#     section [Agency] of that directory's conf.ini pointing at it.
# The agency is stopped when the program ends; the directory is kept for a look afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target photoledger photoledger-createdb agency-sim

if [ -n "${DEMO_DIR:-}" ]; then
  [ ! -e "$DEMO_DIR" ] || { echo "demo: $DEMO_DIR exists already; the demo only uses a new directory" >&2; exit 1; }
  mkdir -p "$DEMO_DIR"
  demo="$(cd "$DEMO_DIR" && pwd)"
else
  demo="$(mktemp -d /tmp/photoledger-demo-XXXXXX)"
fi

# Sales in the second half of 2008: inside the period that the main window's filter shows at first
# (01.01.2005 to 01.01.2010).
from=2008-07
till=2008-12
"$build/bin/agency-sim" --port 0 --pictures 200 --from "$from" --till "$till" \
  --cookie-file "$demo/cookies.txt" >"$demo/agency-sim.log" 2>&1 &
agency=$!
trap 'kill "$agency" 2>/dev/null || true' EXIT

port=""
for _ in $(seq 100); do
  port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$demo/agency-sim.log")"
  [ -n "$port" ] && break
  kill -0 "$agency" 2>/dev/null || { cat "$demo/agency-sim.log" >&2; exit 1; }
  sleep 0.1
done
[ -n "$port" ] || { echo "demo: the simulated agency did not start" >&2; exit 1; }

cat >"$demo/conf.ini" <<INI
[Agency]
ContributorSite=http://127.0.0.1:$port
PublicSite=http://127.0.0.1:$port
CookieFile=cookies.txt
INI
"$build/bin/photoledger-createdb" "$demo"
# The program reads everything from its own directory, so it runs from a copy there.
cp "$build/bin/photoledger" "$demo/"

cat <<TEXT

Demo directory: $demo
Simulated agency: http://127.0.0.1:$port (200 pictures, sales from $from to $till)
In the program: menu "Обновить статистику", tick the months $till down to $from (scroll to 2008),
press "Приемка" (pictures, batches, keywords) and "Продажи" (daily sales), then close the window.

TEXT
"$demo/photoledger"
