#!/usr/bin/env bash
# Installs what is missing, builds, starts a private MariaDB and an X display with a window
# manager, runs every test, and stops what it started (also on failure).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh

tavrel_ensure_packages "${TAVREL_BUILD_PACKAGES[@]}" "${TAVREL_TEST_PACKAGES[@]}"
tavrel_build build
# The fuzz targets build apart, with clang (fuzz/CMakeLists.txt); ctest runs each for a while.
if command -v clang++ >/dev/null 2>&1; then
    cmake --build build --target tavrel_fuzz
fi

work=$(mktemp -d /tmp/tavrel-test.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
free_port() {
    local p
    while :; do
        p=$((20000 + RANDOM % 20000))
        port_in_use "$p" || { echo "$p"; return; }
    done
}

# ---- MariaDB on 127.0.0.1 with a private data directory ----
db=$work/db
mkdir -p "$db"
dbport=$(free_port)
runas=$(id -un)
mariadb-install-db --no-defaults --user="$runas" --datadir="$db/data" \
    --auth-root-authentication-method=normal --skip-test-db >"$work/db-install.log" 2>&1 ||
    { cat "$work/db-install.log"; exit 1; }
mariadbd --no-defaults --user="$runas" --datadir="$db/data" --socket="$db/sock" --port="$dbport" \
    --bind-address=127.0.0.1 --pid-file="$db/pid" --skip-log-bin >"$work/db.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
    mariadb-admin --no-defaults --socket="$db/sock" -uroot ping >/dev/null 2>&1 && break
    sleep 0.1
done
mariadb-admin --no-defaults --socket="$db/sock" -uroot ping >/dev/null || { cat "$work/db.log"; exit 1; }
mariadb --no-defaults --socket="$db/sock" -uroot <<SQL
CREATE DATABASE tavrel_test CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
CREATE USER 'tavrel'@'127.0.0.1' IDENTIFIED BY 'tavrel-pw';
GRANT ALL ON tavrel_test.* TO 'tavrel'@'127.0.0.1';
SQL
mariadb --no-defaults --socket="$db/sock" -uroot --default-character-set=utf8mb4 tavrel_test <tests/schema.sql
export TAVREL_TEST_DB_HOST=127.0.0.1 TAVREL_TEST_DB_PORT=$dbport TAVREL_TEST_DB_NAME=tavrel_test \
    TAVREL_TEST_DB_USER=tavrel TAVREL_TEST_DB_PASSWORD=tavrel-pw
export TAVREL_TEST_DB_SOCKET=$db/sock

# ---- X display with a window manager, for focus and key tests ----
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

# The trainer's own deployment variables stay unset: tests point at the test database themselves.
unset TAVREL_DB_HOST TAVREL_DB_PORT TAVREL_DB_NAME TAVREL_DB_USER TAVREL_DB_PASSWORD TAVREL_WEB_URL

# Extra arguments go to ctest, e.g. ./test.sh -R test_chat
ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
