#!/usr/bin/env bash
# Builds the program and starts it on the bundled demo database.
#
# The demo database is a SQLite file made from scripts/demo-library.sql and registered for the
# current user as the ODBC data source "LibODBC", which the program uses when no connection record
# exists. The demo build keeps HKEY_LOCAL_MACHINE in its own file (build-demo/demo/), so it never
# reads or changes the machine's real record. Without a display the program runs under Xvfb, a
# screenshot is saved once its window has opened, and the program is closed again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source scripts/packages.sh
kiosk_install_packages

demo="$root/build-demo/demo"
hive="$demo/HKEY_LOCAL_MACHINE.reg"
database="$demo/library.db"
mkdir -p "$demo"

cmake -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DREGISTRY_HIVE_FILE="$hive" >/dev/null
cmake --build build-demo -j2 --target kiosk-accounts

rm -f "$database"
sqlite3 "$database" < scripts/demo-library.sql
echo "Demo database: $database"

if ! odbcinst -q -d -n SQLite3 >/dev/null 2>&1; then
    echo "The SQLite3 ODBC driver is not registered; registering it."
    printf '[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=libsqlite3odbc.so\nSetup=libsqlite3odbc.so\n' |
        odbcinst -i -d -r >/dev/null
fi
existing=$(odbcinst -q -s -h -n LibODBC 2>/dev/null) || existing=""
if [ -n "$existing" ] && ! grep -qF "Database=$database" <<<"$existing"; then
    echo "Note: replacing your existing ODBC data source \"LibODBC\":"
    sed 's/^/    /' <<<"$existing"
    cp -f "$HOME/.odbc.ini" "$HOME/.odbc.ini.before-kiosk-demo" 2>/dev/null &&
        echo "    (the previous file is kept as ~/.odbc.ini.before-kiosk-demo)"
fi
printf '[LibODBC]\nDescription=Kiosk accounts demo library\nDriver=SQLite3\nDatabase=%s\nNoCreat=1\n' "$database" |
    odbcinst -i -s -h -r >/dev/null
echo "ODBC data source \"LibODBC\" (current user) points at the demo database."

if grep -qi 'SOFTWARE\\Torvanel\\Lib\]' "$hive" 2>/dev/null; then
    echo "Note: $hive holds a connection record saved earlier; the program uses it instead of LibODBC."
    echo "      Remove that file to start from the defaults again."
fi

program="$root/build-demo/app/kiosk-accounts"
if [ -n "${DISPLAY:-}" ]; then
    exec "$program"
fi

shot="$root/build-demo/kiosk-accounts-demo.png"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$program_pid" "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY="$display" "$program" &
program_pid=$!
opened=""
for _ in $(seq 1 300); do
    # The viewer (416 x 226) or the dialog (483 x 105), whichever start-up chose.
    if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -Eq '"kiosk-accounts".*(416x226|483x105)'; then
        opened=yes
        break
    fi
    sleep 0.1
done
sleep 1
DISPLAY="$display" import -window root "$shot"
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
if [ -z "$opened" ]; then
    echo "The program's window did not open within 30 seconds; the screenshot shows the screen as it was." >&2
fi
echo "No display: the program ran under Xvfb. Screenshot: $shot"
