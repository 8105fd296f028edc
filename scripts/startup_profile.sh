#!/usr/bin/env bash
# Start-up profile: starts a program of the tested build several times on the Xvfb display with
# TRVX_PROFILE set, ends it once its first frame is shown, and prints each step's median over the
# starts, in milliseconds from the launch (as a user sees it, Wine's own start included) and from the
# Windows process's start.
#   scripts/startup_profile.sh [starts] [program [arguments...]]   (default: 5 hx21app.exe hx21ank)
#   scripts/startup_profile.sh --medians FILE...                    (medians of profiles already written)
# TRVX_PROFILE_UNTIL names the step that ends a start (default viewer.first_frame). Each start ends
# every program of the Wine prefix, so that the next one starts as cold as the first.
set -euo pipefail

# medians FILE...: each file is one start's profile, "launch <ms since 1970>" first and then the
# marks "<step> <ms since process start> <ms since 1970>". A step met again within one start (a second
# run's first frame) is counted apart as step#2. Steps come out in the order of their median times.
medians() {
  awk '
    FNR == 1 { delete seen; launch = -1 }
    $1 == "launch" && NF == 2 { launch = $2; next }
    NF != 3 || launch < 0 || $2 !~ /^[0-9]+$/ || $3 !~ /^[0-9]+$/ { next }
    {
      step = $1
      if (++seen[step] > 1) step = step "#" seen[step]
      if (!(step in count)) order[++steps] = step
      n = ++count[step]
      outside[step, n] = $3 - launch
      inside[step, n] = $2
    }
    function median(table, step, n,    i, j, t, v) {
      for (i = 1; i <= n; ++i) v[i] = table[step, i]
      for (i = 2; i <= n; ++i)
        for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
      return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    END {
      printf "%-48s %10s %11s %7s\n", "step", "launch_ms", "process_ms", "starts"
      for (k = 1; k <= steps; ++k) {
        s = order[k]
        m[k] = median(outside, s, count[s])
        p[k] = median(inside, s, count[s])
      }
      for (i = 1; i <= steps; ++i) sorted[i] = i
      for (i = 2; i <= steps; ++i)
        for (j = i; j > 1 && m[sorted[j - 1]] > m[sorted[j]]; --j) { t = sorted[j]; sorted[j] = sorted[j - 1]; sorted[j - 1] = t }
      for (i = 1; i <= steps; ++i) {
        k = sorted[i]
        printf "%-48s %10.0f %11.0f %7d\n", order[k], m[k], p[k], count[order[k]]
      }
    }' "$@"
}

if [ "${1:-}" = "--medians" ]; then
  shift
  medians "$@"
  exit 0
fi

starts=5
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  starts=$1
  shift
fi
program=${1:-hx21app.exe}
[ $# -gt 0 ] && shift
arguments=("$@")
[ "$program" = hx21app.exe ] && [ ${#arguments[@]} -eq 0 ] && arguments=(hx21ank)
until_step=${TRVX_PROFILE_UNTIL:-viewer.first_frame}
timeout_s=60

source "$(dirname "$0")/env.sh"
trvx_wine_arch "$TRVX_TEST_ARCH"
bin="$TRVX_TEST_BUILD/bin"
[ -f "$bin/$program" ] || { echo "startup_profile: $bin/$program was not built" >&2; exit 1; }
# Services that were already running stay running; those started here are stopped again.
if ! DISPLAY=$TRVX_DISPLAY xdotool getdisplaygeometry >/dev/null 2>&1; then
  "$TRVX_ROOT/scripts/services.sh" start
  trap '"$TRVX_ROOT/scripts/services.sh" stop >/dev/null' EXIT
fi
export DISPLAY=$TRVX_DISPLAY XDG_RUNTIME_DIR=$TRVX_RUNTIME/xdg

profiles=$TRVX_RUNTIME/profiles
rm -rf "$profiles" && mkdir -p "$profiles"
"$TRVX_WINESERVER" -k 2>/dev/null || true
"$TRVX_WINESERVER" -w 2>/dev/null || true
for n in $(seq "$starts"); do
  file=$profiles/start$n.txt
  echo "launch $(date +%s%3N)" >"$file"
  (cd "$bin" && TRVX_PROFILE="Z:$file" exec "$TRVX_WINE" "$program" "${arguments[@]}") >/dev/null 2>&1 &
  started=$!
  # Ended by a signal below: not a job whose end the shell should report.
  disown "$started"
  waited=0
  until grep -q "^$until_step " "$file" || ! kill -0 "$started" 2>/dev/null; do
    sleep 0.05
    waited=$((waited + 1))
    [ $waited -lt $((timeout_s * 20)) ] || { echo "startup_profile: no $until_step in start $n" >&2; break; }
  done
  "$TRVX_WINESERVER" -k 2>/dev/null || true
  for _ in $(seq 200); do kill -0 "$started" 2>/dev/null || break; sleep 0.05; done
  "$TRVX_WINESERVER" -w 2>/dev/null || true
done
echo "startup_profile: $program ${arguments[*]}, $starts starts (profiles in $profiles)"
medians "$profiles"/start*.txt
