#!/usr/bin/env bash
# Uploads through HTTP to the site's upload page, as a teacher with the
# upload right: a body of 1 MB (one file) and one of 100 MB (five files of
# 20 MB, the per-file limit raised for the run), each checked first: the
# answer is 200 and every file arrived in the page's media folder with its
# size. Reports the throughput as a ratio to `cp` of the same bytes on the
# same disk, and the server's peak resident memory against its resident
# memory before the upload (target: the 100 MB upload raises it by less
# than 16 MB). Figures taken on a loaded machine say little: the load
# average is printed with them.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib_load.sh

build_bench qvtome
start_work

# The site with a per-file limit of 20 MB, and a server taking bodies of
# up to 128 MB.
cp -r "$qv_site" "$work/site"
sed -i 's|^local sv = frame.Start()$|&\nsv.UploadMaxK = 20480|' "$work/site/upload.lp"
grep -q 'sv.UploadMaxK = 20480' "$work/site/upload.lp" || fail "upload.lp: no place for the limit"
mkdir -p "$work/data"
printf '[server]\nmax_body_bytes = %d\nbody_timeout = 600\n' $((128 * 1024 * 1024)) \
  >"$work/data/qvtome.toml"
start_qvtome "$work/site"
base="http://127.0.0.1:$qv_port"
jar="$work/cookies"

status=$(curl -s -o /dev/null -w '%{http_code}' -c "$jar" -b "$jar" \
  --data 'qvTomeLogin=true&qvTomeUserID=teacher&qvTomePassword=teacher-2026' "$base/login.lp")
[ "$status" = 200 ] || [ "$status" = 302 ] || fail "login answered $status"
page=6
media="$work/data/media/qvtome/qvbook/2"

kib() { awk -v k="$1" '$1 == k":" {print $2}' "/proc/$qv_pid/status"; }

# upload NAME FILES...: posts the files as file1..fileN, checks the answer
# and the stored files; sets SECONDS_TAKEN.
upload() {
  local name=$1 i=1 args=() f status
  shift
  for f in "$@"; do args+=(-F "file$i=@$f;filename=$name-$i.bin"); i=$((i + 1)); done
  rm -f "$media"/m00000${page}_"$name"-*.bin
  status=$(curl -s -o "$work/body" -w '%{http_code} %{time_total}' -b "$jar" -c "$jar" \
    "${args[@]}" -F 'qvTmUpload=Upload' "$base/upload.lp?table=qvbook&id=$page") ||
    fail "$name: no answer"
  [ "${status% *}" = 200 ] || fail "$name: answered ${status% *}"
  i=1
  for f in "$@"; do
    local stored="$media/m00000${page}_$name-$i.bin"
    [ -f "$stored" ] || fail "$name: file $i did not arrive"$'\n'"$(grep -o 'qvError[^<]*<[^>]*>[^<]*' "$work/body" | head -3)"
    [ "$(stat -c %s "$stored")" = "$(stat -c %s "$f")" ] || fail "$name: file $i has the wrong size"
    cmp -s "$stored" "$f" || fail "$name: file $i differs from what was sent"
    i=$((i + 1))
  done
  SECONDS_TAKEN=${status#* }
}

# cp_seconds FILES...: the time cp takes for the same bytes.
cp_seconds() {
  local start end
  sync
  start=$(date +%s.%N)
  for f in "$@"; do cp "$f" "$work/copy-$(basename "$f")"; done
  sync
  end=$(date +%s.%N)
  rm -f "$work"/copy-*
  python3 -c "import sys; print(float(sys.argv[2]) - float(sys.argv[1]))" "$start" "$end"
}

head -c $((1024 * 1024)) /dev/urandom >"$work/one-1.bin"
for i in 1 2 3 4 5; do head -c $((20 * 1024 * 1024)) /dev/urandom >"$work/big-$i.bin"; done
big=("$work"/big-{1,2,3,4,5}.bin)

upload warm "$work/one-1.bin"  # the first request of the page compiles it
echo "Upload benchmark (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
for run in small large; do
  if [ $run = small ]; then files=("$work/one-1.bin"); label="1 MB (1 file)"; else
    files=("${big[@]}"); label="100 MB (5 files of 20 MB)"; fi
  bytes=$(cat "${files[@]}" | wc -c)
  rss_before=$(kib VmRSS)
  upload "$run" "${files[@]}"
  peak=$(kib VmHWM)
  cp_time=$(cp_seconds "${files[@]}")
  python3 - "$label" "$bytes" "$SECONDS_TAKEN" "$cp_time" "$rss_before" "$peak" <<'PY'
import sys
label, size, up, cp, before, peak = sys.argv[1], int(sys.argv[2]), *map(float, sys.argv[3:5]), int(sys.argv[5]), int(sys.argv[6])
mb = size / 1048576
print(f"  {label:28s} upload {mb / up:8.1f} MB/s   cp {mb / cp:8.1f} MB/s   ratio {cp / up:.3f}")
print(f"  {'':28s} resident before {before / 1024:.1f} MB, peak {peak / 1024:.1f} MB, "
      f"raised by {max(0, peak - before) / 1024:.1f} MB")
PY
done
rise=$(( $(kib VmHWM) - rss_before ))
echo "Target: the 100 MB upload raises resident memory by < 16 MB: $([ $rise -lt 16384 ] && echo met || echo NOT met)"
echo "(load average after: $(cut -d' ' -f1-3 /proc/loadavg))"
