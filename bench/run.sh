#!/usr/bin/env bash
# The benchmark, in one command: ./bench/run.sh
#
# Installs and builds what it needs, starts one Wine session (32-bit prefix, one persistent
# wineserver) with the test disk driver answering, both BIOS values set and the address
# recorder as the "http" handler (it writes one small file and exits), then measures, side by
# side in one hyperfine run:
#   start.exe  the complete start, in a working folder with case\gen
#   floor      tools/floor: class, window, ShellExecuteA, quit request, loop, exit
#   peer       bench/peer.bat: both values through reg query into the two files, then start
# and prints the medians and the ratios, the size and imports of start.exe, its peak working
# set (tools/peak_memory) and, natively, the splash picture's decode time.
#
# Environment: BENCH_RUNS (runs per command, default 40), BENCH_WARMUP (default 5),
# WIN32_BUILD_DIR (the Windows build to measure, default build/win32).
# Everything it makes stays in build/bench; the summary is build/bench/summary.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

runs=${BENCH_RUNS:-40}
warmup=${BENCH_WARMUP:-5}
jobs=2
win32=${WIN32_BUILD_DIR:-$root/build/win32}
out="$root/build/bench"
state="$out/wine-session"
work="$out/work"
addresses="$out/addresses"
summary="$out/summary.txt"
fixture="$root/tests/fixtures/identify/seagate-st33232a.txt"

bios_date="03/14/19"
bios_version=('ACME   - 1072009' 'BIOS Date: 03/14/19 12:00:00 Ver: 1.23')

# Targets: start.exe at most 10 % above the floor and at most a quarter of the peer; at most
# 300 KB with the picture.
max_floor_ratio=1.10
max_peer_ratio=0.25
max_size=$((300 * 1024))

say() { echo "$*" | tee -a "$summary"; }
fail() { echo "bench: $*" >&2; exit 1; }

# --- builds, configured as tools/test.sh does; only what is measured is built ----------------------------------------------------
tools/install-deps.sh
echo "building ($win32, $out/decode) ..."
cmake -S . -B "$win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$win32" -j"$jobs" --target start floor peak_memory address_recorder testdisk >/dev/null
cmake -S bench/decode -B "$out/decode" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out/decode" -j"$jobs" >/dev/null

start_exe="$win32/app/start.exe"
floor_exe="$win32/tools/floor/floor.exe"
peak_exe="$win32/tools/peak_memory/peak_memory.exe"
recorder_exe="$win32/tools/helpers/address_recorder.exe"
peer_bat="$root/bench/peer.bat"
for file in "$start_exe" "$floor_exe" "$peak_exe" "$recorder_exe" "$win32/tools/testdisk/testdisk.sys"; do
  [ -f "$file" ] || fail "$file was not built"
done

win_path() { echo "Z:$(realpath "$1" | tr / '\\')"; }

# --- the session ----------------------------------------------------------------------------
rm -rf "$work" "$addresses" "$summary"
mkdir -p "$work/case/gen" "$addresses"
echo "starting the Wine session ..."
trap 'tools/session/wine-session.sh down "$state" >/dev/null 2>&1 || true' EXIT
tools/session/wine-session.sh up "$state" >/dev/null 2>&1
# shellcheck disable=SC1091
. "$state/env"

WIN32_BUILD_DIR="$win32" python3 tools/testdisk/testdisk_ctl.py install "$state" "$fixture" \
  || fail "the test disk driver did not start"

# Without a window manager on the virtual display, Wine waits up to 2 s for one to withdraw
# each managed window that is destroyed after it was shown (start.exe has two: the form and
# the application's taskbar window). That time-out belongs to this bare X server, not to
# Windows, and would swamp every figure; unmanaged windows are destroyed at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

key='HKLM\HARDWARE\DESCRIPTION\System'
joined_version="${bios_version[0]}\\0${bios_version[1]}"
wine reg add "$key" /v SystemBiosDate /t REG_SZ /d "$bios_date" /f >/dev/null 2>&1
wine reg add "$key" /v SystemBiosVersion /t REG_MULTI_SZ /d "$joined_version" /f >/dev/null 2>&1

# The address recorder as the only verb of the "http" class.
handler_reg="$out/http-handler.reg"
command="\"$(win_path "$recorder_exe")\" \"$(win_path "$addresses")\" open \"%1\""
command=${command//\\/\\\\}
command=${command//\"/\\\"}
printf 'REGEDIT4\r\n\r\n[-HKEY_CLASSES_ROOT\\http\\shell]\r\n\r\n[HKEY_CLASSES_ROOT\\http]\r\n"URL Protocol"=""\r\n\r\n[HKEY_CLASSES_ROOT\\http\\shell\\open\\command]\r\n@="%s"\r\n' \
  "$command" > "$handler_reg"
wine regedit /S "$(win_path "$handler_reg")" >/dev/null 2>&1 || fail "regedit could not set the http handler"

# --- one run of each, checked, before anything is timed ---------------------------------------
calls() { find "$addresses" -name 'call-*.txt' | wc -l; }
wait_for_call() {  # wait_for_call COUNT: the handler's COUNT-th call, within 20 s
  local deadline=$((SECONDS + 20))
  until [ "$(calls)" -ge "$1" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the http handler was not called ($2)"
    sleep 0.05
  done
}
check_run() {  # check_run NAME EXPECTED_T2 EXPECTED_T3 COMMAND...
  local name=$1 t2=$2 t3=$3 before
  shift 3
  rm -f "$work/case/gen/t2.tmp" "$work/case/gen/t3.tmp"
  before=$(calls)
  (cd "$work" && "$@" >/dev/null 2>&1) || fail "$name ended with exit code $?"
  wait_for_call $((before + 1)) "$name"
  [ "$t2" = "-" ] || [ "$(cat "$work/case/gen/t2.tmp")" = "$t2" ] \
    || fail "$name wrote t2.tmp: $(od -c "$work/case/gen/t2.tmp" | head -n 3)"
  [ "$t3" = "-" ] || [ "$(cat "$work/case/gen/t3.tmp")" = "$t3" ] \
    || fail "$name wrote t3.tmp: $(od -c "$work/case/gen/t3.tmp" | head -n 3)"
}
# The serial number field of IDENTIFY: words 10 to 19, each word's two bytes swapped.
serial=$(python3 -c 'import sys; sys.path.insert(0, "tools/testdisk"); import testdisk_ctl as t
field = t.read_block(sys.argv[1])[20:40]
print(bytes(field[i ^ 1] for i in range(20)).decode("latin-1").strip())' "$fixture")
[ -n "$serial" ] || fail "no serial in $fixture"
version_line="${bios_version[0]} | ${bios_version[1]}"
check_run start.exe "$serial=$bios_date"$'\r' "$version_line"$'\r' wine "$start_exe"
check_run floor - - wine "$floor_exe"
check_run peer "=$bios_date"$'\r' "$version_line"$'\r' wine cmd /c "$peer_bat"

# --- timing -----------------------------------------------------------------------------------
echo "timing: $runs runs of each after $warmup warm-up runs ..."
(cd "$work" && hyperfine -N --style basic --warmup "$warmup" --runs "$runs" \
   --export-json "$out/hyperfine.json" \
   -n start.exe "wine $start_exe" \
   -n floor "wine $floor_exe" \
   -n peer "wine cmd /c $peer_bat")

# --- memory, size, imports, decoding ---------------------------------------------------------
peak() {  # peak PROGRAM: its peak working set in bytes, measured from its start to its end
  local report="$out/peak.txt"
  (cd "$work" && wine "$peak_exe" "$1" >"$report" 2>/dev/null) || fail "peak_memory failed for $1"
  sed -n 's/^peak_working_set=//p' "$report"
}
start_peak=$(peak "$start_exe")
floor_peak=$(peak "$floor_exe")
size=$(stat -c %s "$start_exe")
imports=$(i686-w64-mingw32-objdump -p "$start_exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | paste -sd' ')

"$out/decode/decode_bench" --benchmark_min_time=0.5 --benchmark_format=json \
  --benchmark_out="$out/decode.json" --benchmark_out_format=json >/dev/null 2>&1 \
  || fail "decode_bench failed"

# --- summary ----------------------------------------------------------------------------------
: > "$summary"
say "machine: $(nproc) x $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(free -g | awk '/^Mem:/ {print $2}') GB; $(wine --version), $(hyperfine --version)"
say "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 - "$out/hyperfine.json" "$out/decode.json" "$max_floor_ratio" "$max_peer_ratio" \
  "$size" "$max_size" "$start_peak" "$floor_peak" "$imports" <<'PY' | tee -a "$summary"
import json, sys
timing, decode, max_floor, max_peer = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
size, max_size, start_peak, floor_peak, imports = int(sys.argv[5]), int(sys.argv[6]), int(sys.argv[7]), int(sys.argv[8]), sys.argv[9]
results = {r["command"]: r for r in json.load(open(timing))["results"]}
def ms(seconds): return f"{seconds * 1000:8.1f} ms"
print(f"{'command':10} {'median':>11} {'mean':>11} {'stddev':>11} {'min':>11} {'max':>11}  runs")
for name in ("start.exe", "floor", "peer"):
    r = results[name]
    print(f"{name:10} {ms(r['median'])} {ms(r['mean'])} {ms(r['stddev'])} {ms(r['min'])} {ms(r['max'])}  {len(r['times'])}")
def verdict(ok): return "met" if ok else "MISSED"
to_floor = results["start.exe"]["median"] / results["floor"]["median"]
to_peer = results["start.exe"]["median"] / results["peer"]["median"]
print(f"start.exe/floor  {to_floor:.3f}  (target <= {max_floor:.2f}: {verdict(to_floor <= max_floor)})")
print(f"start.exe/peer   {to_peer:.3f}  (target <= {max_peer:.2f}: {verdict(to_peer <= max_peer)})")
floor_to_peer = results["floor"]["median"] / results["peer"]["median"]
print(f"floor/peer       {floor_to_peer:.3f}  (the least any launcher of this kind can reach here)")
print(f"size of start.exe  {size} bytes = {size / 1024:.1f} KB  (target <= {max_size // 1024} KB: {verdict(size <= max_size)})")
print(f"imported DLLs      {imports}")
print(f"peak working set   start.exe {start_peak / 1024:.0f} KB, floor {floor_peak / 1024:.0f} KB, "
      f"difference {(start_peak - floor_peak) / 1024:+.0f} KB (whole Wine process)")
for b in json.load(open(decode))["benchmarks"]:
    print(f"decode {b['name'].split('/', 1)[1]:20} {b['real_time']:8.0f} {b['time_unit']} "
          f"(CPU {b['cpu_time']:.0f} {b['time_unit']}, native x86-64)")
PY
echo "(figures kept in $out: summary.txt, hyperfine.json, decode.json)"
