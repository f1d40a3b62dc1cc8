#!/usr/bin/env bash
# The install path of scripts/setup.sh as a new machine meets it: run as root, with no sudo
# anywhere on PATH, and with a package query that reports nothing installed, so the script goes
# all the way through apt-get. It must finish with status 0 and leave every package installed.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: the install path needs root"
  exit 77
fi

work=$(mktemp -d)
chmod 755 "$work"  # apt's download methods run as the _apt user and search this PATH too
trap 'rm -rf "$work"' EXIT

# A PATH with every command of the system except sudo.
mkdir "$work/bin"
for dir in /usr/local/sbin /usr/local/bin /usr/sbin /usr/bin /sbin /bin; do
  [ -d "$dir" ] || continue
  for cmd in "$dir"/*; do
    name=${cmd##*/}
    [ "$name" = sudo ] && continue
    [ -x "$cmd" ] && [ ! -e "$work/bin/$name" ] && ln -s "$cmd" "$work/bin/$name"
  done
done
# dpkg-query answers as on a machine where none of the packages is installed yet.
rm -f "$work/bin/dpkg-query"
cat >"$work/bin/dpkg-query" <<'EOS'
#!/bin/sh
exit 1
EOS
chmod +x "$work/bin/dpkg-query"

# apt-get is the real one, logged so the test can see it ran.
rm -f "$work/bin/apt-get"
cat >"$work/bin/apt-get" <<EOS
#!/bin/sh
echo "apt-get \$*" >>"$work/apt.log"
exec /usr/bin/apt-get "\$@"
EOS
chmod +x "$work/bin/apt-get"

if PATH="$work/bin" command -v sudo >/dev/null 2>&1; then
  echo "FAIL: sudo is still on the test PATH"
  exit 1
fi

status=0
PATH="$work/bin" SUDO_USER= bash "$top/scripts/setup.sh" >"$work/out.log" 2>&1 || status=$?
cat "$work/out.log"
if [ "$status" -ne 0 ]; then
  echo "FAIL: setup.sh exited with status $status"
  exit 1
fi
if ! grep -q '^apt-get update' "$work/apt.log" || ! grep -q '^apt-get install' "$work/apt.log"; then
  echo "FAIL: setup.sh did not go through apt-get update and install"
  cat "$work/apt.log" 2>/dev/null || true
  exit 1
fi
# Everything it named is now installed, as the real package database says.
missing=$(grep -o '^Installing: .*' "$work/out.log" | sed 's/^Installing: //' | tr ' ' '\n' |
  while read -r p; do
    [ -n "$p" ] || continue
    dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null | grep -qx installed || echo "$p"
  done)
if [ -n "$missing" ]; then
  echo "FAIL: not installed after setup: $missing"
  exit 1
fi
echo "setup.sh installed as root without sudo"
