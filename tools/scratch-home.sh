#!/usr/bin/env bash
# Keeps a run away from the player's records and proves it: HOME and XDG_DATA_HOME point into a
# scratch folder (made with mktemp, removed at the end), and the run fails when anything named
# after the program appears in that folder, or when the player's own records folder
# (~/.local/share/pallasterhorn, $XDG_DATA_HOME/pallasterhorn) changes. Nothing of the player's
# is removed or written: the real folders are only listed, before and after.
#
#   tools/scratch-home.sh COMMAND [ARG...]   runs the command so, with its status
#   source tools/scratch-home.sh             the rest of the calling script runs so (test.sh)

scratch_home_listing() { # what the player's records folders hold: names, sizes, times
  local d
  for d in "${scratch_home_real[@]}"; do
    if [ -e "$d" ]; then
      find "$d" -printf '%p %y %s %T@\n' 2>/dev/null | sort
    else
      echo "$d absent"
    fi
  done
}

scratch_home_check() {
  local failed=0 found after
  found=$(find "$scratch_home_dir" -ipath '*pallasterhorn*' 2>/dev/null | sed "s|^$scratch_home_dir/||")
  if [ -n "$found" ]; then
    echo "records: written where the player's records would be (HOME or XDG_DATA_HOME):" >&2
    sed 's/^/  /' <<<"$found" | head -20 >&2
    failed=1
  fi
  after=$(scratch_home_listing)
  if [ "$after" != "$scratch_home_before" ]; then
    echo "records: the player's records folder changed during the run (a game played at the" \
      "same time changes it too):" >&2
    diff <(echo "$scratch_home_before") <(echo "$after") | grep '^[<>]' | head -20 >&2
    failed=1
  fi
  [ "$failed" -eq 0 ] && echo "records: the player's records were left alone"
  return "$failed"
}

scratch_home_finish() {
  local status=$?
  scratch_home_check || { [ "$status" -ne 0 ] || status=1; }
  rm -rf "$scratch_home_dir"
  exit "$status"
}

scratch_home_real=("$HOME/.local/share/pallasterhorn")
if [[ "${XDG_DATA_HOME:-}" == /* && "$XDG_DATA_HOME" != "$HOME/.local/share" ]]; then
  scratch_home_real+=("$XDG_DATA_HOME/pallasterhorn")
fi
scratch_home_before=$(scratch_home_listing)
scratch_home_dir=$(mktemp -d "${TMPDIR:-/tmp}/ph-scratch-home.XXXXXX")
trap scratch_home_finish EXIT
# The compiler cache stays where it is: under the scratch HOME every build would start cold.
if [ -z "${CCACHE_DIR:-}" ] && command -v ccache >/dev/null 2>&1; then
  CCACHE_DIR=$(ccache --get-config cache_dir 2>/dev/null) && export CCACHE_DIR || unset CCACHE_DIR
fi
mkdir -p "$scratch_home_dir/home" "$scratch_home_dir/data"
export HOME="$scratch_home_dir/home" XDG_DATA_HOME="$scratch_home_dir/data"
# The other XDG folders follow the scratch HOME.
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_STATE_HOME

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  "$@"
fi
