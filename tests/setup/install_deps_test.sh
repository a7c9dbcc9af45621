#!/usr/bin/env bash
# scripts/install-deps.sh's decisions when the package mirror misbehaves, with
# stand-in apt-get, dpkg-query, dpkg and locale commands early on PATH: what it
# ran, what its last line said, and its exit code. Needs no network.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# apt-get: logs each call as one word; STUB_UPDATE=fail makes the update fail
# as a mirror mid-sync does, STUB_INSTALLS lists each install's outcome.
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
if [[ $1 == update ]]; then
  [[ $* == *Acquire::Retries=* ]] && echo update >>"$STUB_LOG" || echo update-no-retries >>"$STUB_LOG"
  if [[ $STUB_UPDATE == fail ]]; then
    echo "E: Failed to fetch http://mirror/dists/x-security/main/binary-i386/Packages.xz  File has unexpected size"
    exit 100
  fi
  exit 0
fi
n=$(grep -c '^install' "$STUB_LOG")
[[ $* == *" -t $STUB_CODENAME "* ]] && echo "install-t:$STUB_CODENAME" >>"$STUB_LOG" || echo install >>"$STUB_LOG"
outcomes=($STUB_INSTALLS)
[[ ${outcomes[$n]:-ok} == ok ]] && exit 0
echo "E: Unable to correct problems, you have held broken packages."
exit 100
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
[[ $STUB_MISSING == none ]] && printf 'install ok installed' && exit 0
exit 1
STUB
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\necho ja_JP.utf8\n' >"$work/bin/locale"
chmod +x "$work/bin"/*

passed=0 failed=0
# name | update | installs | missing | exit | calls | last line (a fragment)
while IFS='|' read -r name update installs missing rc calls last; do
  : >"$work/log"
  out=$(PATH="$work/bin:$PATH" STUB_LOG="$work/log" STUB_UPDATE=$update STUB_INSTALLS="$installs" \
        STUB_MISSING=$missing STUB_CODENAME=$codename bash "$root/scripts/install-deps.sh" 2>&1)
  got_rc=$?
  got_calls=$(tr '\n' ' ' <"$work/log" | sed 's/ $//')
  calls=${calls//CODENAME/$codename} last=${last//CODENAME/$codename}
  got_last=$(tail -n1 <<<"$out")
  # An empty fragment: the run prints nothing at all.
  if [[ $got_rc == "$rc" && $got_calls == "$calls" && $got_last == *"$last"* && ( -n $last || -z $out ) ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s: exit %s (want %s), calls "%s" (want "%s"), last line "%s" (want "%s")\n' \
      "$name" "$got_rc" "$rc" "$got_calls" "$calls" "$got_last" "$last"
    printf '%s\n' "$out" | sed 's/^/    /'
  fi
done <<'CASES'
update fails, install goes on|fail|ok|some|0|update install|not loaded: http://mirror/dists/x-security/main/binary-i386/Packages.xz); going on
the first install fails after it|fail|fail ok|some|0|update install install-t:CODENAME|preferring the release's own suite (-t CODENAME)
both installs fail|fail|fail fail|some|1|update install install-t:CODENAME|failed at: apt-get install -t CODENAME
clean update, failed install stops|ok|fail ok|some|1|update install|failed at: apt-get install
nothing missing|ok|ok|none|0||
CASES
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
