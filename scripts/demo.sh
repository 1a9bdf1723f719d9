#!/usr/bin/env bash
# Sets up and builds, then runs the program on a simulated agency in a directory of its own, so that a
# real collection fills a fresh database and the user's own data is never touched:
#   - a new directory under /tmp (or DEMO_DIR, which must not exist yet) with a copy of the program,
#     a new PHOTOLEDGER.GDB, PREVIEW and Temp;
#   - the simulated agency on a free port of 127.0.0.1, its login in a cookies file there, and the
#     section [Agency] of that directory's conf.ini pointing at it;
#   - the six months up to the current one collected with photoledger-collect (batches, then daily
#     sales up to today), their lines scrolling in the terminal, before the program opens on them.
# The agency is stopped when the program ends; the directory is kept for a look afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"

bash scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target photoledger photoledger-createdb photoledger-collect agency-sim

if [ -n "${DEMO_DIR:-}" ]; then
  [ ! -e "$DEMO_DIR" ] || { echo "demo: $DEMO_DIR exists already; the demo only uses a new directory" >&2; exit 1; }
  mkdir -p "$DEMO_DIR"
  demo="$(cd "$DEMO_DIR" && pwd)"
else
  demo="$(mktemp -d /tmp/photoledger-demo-XXXXXX)"
fi

# Sales in the six months up to the current one, which the first start's period (all time up to
# today) shows.
this_month="$(date +%Y-%m-01)"
months=()
for back in 5 4 3 2 1 0; do
  months+=("$(date -d "$this_month -$back months" +%Y-%m)")
done
from="${months[0]}"
till="${months[5]}"
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
Collecting the approved batches and the daily sales of $from to $till first...

TEXT
collect="$build/bin/photoledger-collect"
"$collect" "$demo" batches "${months[@]}"
"$collect" "$demo" sales "${months[@]:0:5}"
# The agency lists the whole current month; only its days up to today have happened.
"$collect" "$demo" sales "$till" --days "$(seq -s, -f %02g 1 "$(date +%-d)")"

cat <<TEXT

The program opens on the collected months. "Операции" / "Обновить статистику" collects again from the
simulated agency (tick months, then "Приемка" or "Продажи").

TEXT
"$demo/photoledger"
