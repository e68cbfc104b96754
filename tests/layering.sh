#!/usr/bin/env bash
# Fails when a source includes a header of a layer above its own, or declares
# a type that only such a layer defines. The layers:
#   platform, imaging  <-  imagefiles  <-  effects/core  <-  effects  <-  compose  <-  app
# with the lab (tools) beside the program and the removal tool (purge) alone.
# platform and imaging are the floor and include nothing of each other. Every
# quoted include of a source names its header from the source root, so the
# folder of the header is its layer.
# Usage: tests/layering.sh [SOURCE-ROOT]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# The folders each layer may include from (its own first).
declare -A allowed=(
  [platform]="platform"
  [imaging]="imaging"
  [imagefiles]="imagefiles imaging platform"
  [effects/core]="effects/core imagefiles imaging platform"
  [effects]="effects effects/core imagefiles imaging platform"
  [compose]="compose effects effects/core imagefiles imaging platform"
  [app]="app compose effects effects/core imagefiles imaging platform"
  [tools]="tools compose effects effects/core imagefiles imaging platform"
  [purge]="purge"
)

# The layer of a path, into $layer: effects/core before effects, else the
# first folder; empty for a path without one.
layerOf() {
  case $1 in
    effects/core/*) layer=effects/core ;;
    */*) layer=${1%%/*} ;;
    *) layer= ;;
  esac
}

mapfile -t sources < <(find platform imaging imagefiles effects compose app tools purge \
                         \( -name '*.h' -o -name '*.cpp' \) | sort)
if [ ${#sources[@]} -eq 0 ]; then
  echo "layering: no sources under $root" >&2
  exit 1
fi
failures=0
pattern='^([^:]+):([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
while IFS= read -r match; do
  [[ $match =~ $pattern ]] || continue
  file=${BASH_REMATCH[1]} line=${BASH_REMATCH[2]} header=${BASH_REMATCH[3]}
  layerOf "$file"
  from=$layer
  layerOf "$header"
  if [[ -z $layer || " ${allowed[$from]} " != *" $layer "* ]]; then
    echo "$file:$line: includes \"$header\"; $from may include only: ${allowed[$from]}"
    failures=$((failures + 1))
  fi
done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${sources[@]}" || true)

# A forward declaration names a type as surely as an include: the type must
# be defined in a layer the declaring source may include (a platform header
# that declared the generation job would know of the layers above it).
# Types defined nowhere in the sources (the system's) are not checked.
declaration='^([^:]+):([0-9]+):[[:space:]]*(class|struct)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*;'
while IFS= read -r match; do
  [[ $match =~ $declaration ]] || continue
  file=${BASH_REMATCH[1]} line=${BASH_REMATCH[2]} name=${BASH_REMATCH[4]}
  layerOf "$file"
  from=$layer
  mapfile -t definers < <(grep -lE "^[[:space:]]*(class|struct)[[:space:]]+$name\b[^;]*\{" \
                            "${sources[@]}" || true)
  [ ${#definers[@]} -eq 0 ] && continue
  ok=0
  for definer in "${definers[@]}"; do
    layerOf "$definer"
    [[ " ${allowed[$from]} " == *" $layer "* ]] && ok=1
  done
  if [ $ok -eq 0 ]; then
    echo "$file:$line: declares $name, defined in ${definers[*]}; $from may name only: ${allowed[$from]}"
    failures=$((failures + 1))
  fi
done < <(grep -nE '^[[:space:]]*(class|struct)[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*;' \
           "${sources[@]}" || true)

if [ "$failures" -gt 0 ]; then
  echo "layering: $failures include(s) or declaration(s) point up or out of their layer" >&2
  exit 1
fi
echo "layering: ${#sources[@]} sources, every include and declaration points down"
