#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a folder above its own.
#
# A folder may include its own headers and those of the folders it stands
# on: the edges below (the same as the CMake targets' dependencies) and
# everything they reach in turn. A folder of src/ missing from the table
# fails too, so a new module has to take its place in the layers.
set -euo pipefail

src=${1:-"$(dirname "$0")/../src"}

# folder -> the folders it stands on directly
declare -A stands_on=(
  [core]=""
  [host]="core"
  [data]="host"
  [session]="data"
  [files]="host"
  [book]="session files"
  [engine]="data"
  [http]="session"
  [script]="book"
  [mail]="host"
)

# The folders a folder may include: itself and all it reaches.
reach() {
  local folder=$1 next
  echo "$folder"
  for next in ${stands_on[$folder]}; do reach "$next"; done
}

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z ${stands_on[$folder]+set} ]]; then
    echo "src/$folder: not in the layer table of $0" >&2
    status=1
    continue
  fi
  allowed=" $(reach "$folder" | sort -u | tr '\n' ' ')"
  while IFS=: read -r file line target; do
    [[ -n $file ]] || continue
    included=${target%%/*}
    if [[ -z ${stands_on[$included]+set} ]]; then
      echo "${file#"$src"/}:$line: includes $target, of no known folder" >&2
      status=1
    elif [[ $allowed != *" $included "* ]]; then
      echo "${file#"$src"/}:$line: $folder includes $target (may include:${allowed% })" >&2
      status=1
    fi
  done < <(grep -rnE --include='*.h' --include='*.cc' --include='*.in' \
             '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$dir" |
           sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/\1:\2:\3/')
done
exit $status
