#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. As root it runs
# apt-get itself; otherwise it prints the exact command and fails, so that
# nothing half-configured follows.
set -euo pipefail

missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. Run this as root, then try again:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# Nothing already installed is given up for them (a multiarch library whose
# version differs from the build machine's could ask for that).
removals=$(apt-get install -s -y -q "${missing[@]}" | grep '^Remv' || true)
if [ -n "$removals" ]; then
  echo "Installing them would remove these packages; nothing was installed:" >&2
  echo "$removals" >&2
  exit 1
fi
apt-get install -y -q "${missing[@]}"
