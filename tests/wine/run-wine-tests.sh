#!/usr/bin/env bash
# Runs wine_tests.exe inside the current Wine session:
#   run-wine-tests.sh GTEST_FILTER [WINE_VERSION PLATFORM_ID]
# With a version ("win98", "win7", ...) Wine reports that Windows for the run, and the
# tests expect GetVersionExA to give PLATFORM_ID. The prefix's own version setting is put
# back afterwards, whatever the outcome.
set -euo pipefail
filter=${1:?gtest filter}
version=${2:-}
platform_id=${3:-}
exe="${WIN32_BUILD_DIR:?}/tests/wine/wine_tests.exe"

work=$(mktemp -d)
wine_key='HKCU\Software\Wine'
saved_version=""

cleanup() {
  if [ -n "$version" ]; then
    if [ -n "$saved_version" ]; then
      wine reg add "$wine_key" /v Version /d "$saved_version" /f >/dev/null 2>&1 || true
    else
      wine reg delete "$wine_key" /v Version /f >/dev/null 2>&1 || true
    fi
  fi
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "$version" ]; then
  # Wine's output goes to files: its services may inherit a pipe and hold it open.
  if wine reg query "$wine_key" /v Version >"$work/query" 2>/dev/null; then
    saved_version=$(tr -d '\r' <"$work/query" | awk '$1 == "Version" { print $3 }')
  fi
  wine reg add "$wine_key" /v Version /d "$version" /f >/dev/null 2>&1
  export EXPECTED_PLATFORM_ID="${platform_id:?platform id expected under $version}"
fi

status=0
wine "$exe" --gtest_filter="$filter" >"$work/out" 2>&1 || status=$?
cat "$work/out"
exit "$status"
