#!/usr/bin/env bash
# Keeps the folders a stack: every quoted include in engine/, game/ and tools/ names a file of a
# folder further down than its own (or of its own folder). An include pointing up, or sideways
# between folders that stand side by side, is listed and fails the check, as is a source folder or
# an included path that the stack below does not place.
#
# Usage: check_includes.sh [ROOT]   (ROOT defaults to the repository this script lives in)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/../.." && pwd)"}

# The stack, bottom first. Folders on one line stand side by side and may not include each other.
layers=(
  "engine/unrarlib engine/math"
  "engine/platform"
  "engine/device"
  "engine/scene"
  "engine/render"
  "game/world"
  "game/actors"
  "game/shell"
  "tools"
)

declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

# Sets folder to the stack folder a repository path lies in ("tools" counts as one folder), or to
# nothing. No subshell: the check runs over every include of the tree.
folder_of() {
  local path=$1 rest
  case $path in
    tools/*) folder=tools ;;
    engine/*/* | game/*/*)
      rest=${path#*/}
      folder="${path%%/*}/${rest%%/*}" ;;
    *) folder="" ;;
  esac
}

faults=0
report() {
  echo "$1"
  faults=$((faults + 1))
}

cd "$root"
sources=()
for top in engine game tools; do
  [ -d "$top" ] && sources+=("$top")
done
if [ ${#sources[@]} -eq 0 ]; then
  echo "include layers: no engine/, game/ or tools/ under $root"
  exit 1
fi

while IFS= read -r line; do
  file=${line%%:*}
  rest=${line#*:}
  number=${rest%%:*}
  text=${rest#*:}
  included=${text#*\"}
  included=${included%%\"*}
  folder_of "$file"
  from=$folder
  folder_of "$included"
  to=$folder
  where="$file:$number: \"$included\""
  if [ -z "$from" ] || [ -z "${rank[$from]+set}" ]; then
    report "$where: $file lies in no folder of the stack"
  elif [ -z "$to" ] || [ -z "${rank[$to]+set}" ] || [[ $included == *..* ]]; then
    report "$where: not a path into a folder of the stack"
  elif [ "$from" != "$to" ] && [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
    if [ "${rank[$to]}" -eq "${rank[$from]}" ]; then
      report "$where: $from includes $to, which stands beside it"
    else
      report "$where: $from includes $to, which stands above it"
    fi
  fi
done < <(grep -rnE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' \
           '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${sources[@]}" || true)

if [ "$faults" -ne 0 ]; then
  echo "include layers: $faults include(s) against the stack"
  exit 1
fi
echo "include layers: clean"
