#!/usr/bin/env bash
# Installs Debian packages (as root) on a machine that may meet a package mirror in the middle of a
# sync: usage packages.sh <package>... (names with :i386 for the 32-bit ones).
#
# A mirror being synchronised serves, for a minute or two, an index that does not match its Release
# file ("File has unexpected size ... Mirror sync in progress?"). The index download is tried again
# after a pause. When one suite's index still fails, the packages are installed without that suite
# (its newer versions come with the next set-up): leaving it in would mix versions of the 64-bit
# libraries from it with older 32-bit ones, which multi-arch refuses. When even that cannot resolve,
# nothing is changed and the reason is printed with what to run again.
set -uo pipefail

tries=${TRVX_APT_TRIES:-4}
pause=${TRVX_APT_PAUSE:-15} # seconds before the second try; doubled for each later one
export DEBIAN_FRONTEND=noninteractive

say() { echo "setup: $*"; }

added_i386=
if printf '%s\n' "$@" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  added_i386=1
fi
# A failed install leaves the machine as it was, the added architecture included.
undo() {
  [ -n "$added_i386" ] && dpkg --remove-architecture i386 2>/dev/null
  exit 1
}

# Fills failed_indexes ("suite url reason" lines) from apt-get update's output.
failed_indexes=
update_indexes() {
  local try log wait=$pause
  for ((try = 1; try <= tries; try++)); do
    log=$(apt-get update -q 2>&1)
    failed_indexes=$(printf '%s\n' "$log" |
      sed -n 's|^[EW]: Failed to fetch \([^ ]*/dists/\([^/]*\)/[^ ]*\) *\(.*\)|\2 \1 \3|p')
    if [ -z "$failed_indexes" ] && ! printf '%s\n' "$log" | grep -q '^E:'; then
      return 0
    fi
    say "package index download failed (try $try of $tries):"
    printf '%s\n' "$log" | grep -E '^(E|W|Err):' | sed 's/^/  /'
    if [ "$try" -lt "$tries" ]; then
      say "a mirror in the middle of a sync answers correctly a little later: trying again in ${wait} s"
      sleep "$wait"
      wait=$((wait * 2))
    fi
  done
  return 1
}

install() { # extra apt-get options, then the packages
  apt-get install -y -q --no-install-recommends "$@"
}
# Whether the packages resolve, without changing anything.
resolves() {
  apt-get install -s -q --no-install-recommends "$@" >/dev/null 2>&1
}

started=$SECONDS
say "installing packages: $*"
update_indexes
if resolves "$@"; then
  [ -n "$failed_indexes" ] && say "an index failed, but the packages need no version from it"
  install "$@" || undo
  say "packages took $((SECONDS - started)) s"
  exit 0
fi

# Leave out every suite whose index failed, for every architecture alike.
suites=$(printf '%s\n' "$failed_indexes" | cut -d' ' -f1 | sort -u)
if [ -n "$suites" ]; then
  pins=$(mktemp -d)
  trap 'rm -rf "$pins"' EXIT
  cp /etc/apt/preferences.d/* "$pins"/ 2>/dev/null
  for suite in $suites; do
    printf 'Package: *\nPin: release n=%s\nPin-Priority: -1\n\n' "$suite" >>"$pins/zz-trvx-failed-index.pref"
  done
  without=(-o Dir::Etc::PreferencesParts="$pins")
  if resolves "${without[@]}" "$@"; then
    say "installing without $(echo $suites), whose index failed; its updates come with the next run of"
    say "scripts/setup.sh once the mirror is in sync (apt-get upgrade takes them too)"
    install "${without[@]}" "$@" || undo
    say "packages took $((SECONDS - started)) s"
    exit 0
  fi
fi
# Let apt say why, then what to do.
apt-get install -s -q --no-install-recommends "$@" 2>&1 | grep -E '^( |E:)' | head -n 20
say "the packages could not be installed, and nothing was changed."
if [ -n "$failed_indexes" ]; then
  say "these package indexes failed to download:"
  printf '%s\n' "$failed_indexes" | sed 's/^[^ ]* /  /'
  say "the package mirror is most likely being synchronised: wait a few minutes, then run the same"
  say "command again (scripts/setup.sh, scripts/run.sh or scripts/test.sh)."
else
  say "run scripts/setup.sh again once the cause above is mended."
fi
undo
