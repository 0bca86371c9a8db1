#!/usr/bin/env bash
# Packs the game's data folder for the page: tools/web/package.sh DATA OUT writes, each as a
# .data file with its loader script, data-common (sounds, music, fonts and every file that has
# no resolution variants, and /data/.manifest, the list of every package's files) and data-art1, data-art2, data-art4 (the images of each resolution
# level: no suffix, "-hd" and "-hd2"). The page fetches the common package and the art of the
# level it will use; another level's package is fetched when the page's size asks for it.
set -euo pipefail
[ $# -eq 2 ] || {
  echo "usage: tools/web/package.sh DATA OUT" >&2
  exit 2
}
data="$(cd "$1" && pwd)"
out="$2"
packager=/usr/share/emscripten/tools/file_packager

# The data's files, relative to it, one a line, sorted.
mapfile -t files < <(cd "$data" && find . -type f ! -name '.*' | sed 's|^\./||' | sort)
declare -A level_of
for f in "${files[@]}"; do
  case "$f" in
  *-hd2.png) level_of[$f]=4 ;;
  *-hd.png) level_of[$f]=2 ;;
  *.png) [ -f "$data/${f%.png}-hd.png" ] && level_of[$f]=1 || level_of[$f]=common ;;
  *) level_of[$f]=common ;;
  esac
done

# Each art package carries an empty marker, /data/.artN, that tells the page it has arrived.
markers="$(mktemp -d)"
trap 'rm -rf "$markers"' EXIT

pack() { # pack NAME: the files whose level is NAME
  local name="$1" args=()
  if [ "$name" = common ]; then
    printf '/data/%s\n' "${files[@]}" >"$markers/.manifest"
    args+=(--preload "$markers/.manifest@/data/.manifest")
  else
    : >"$markers/.art$name"
    args+=(--preload "$markers/.art$name@/data/.art$name")
  fi
  for f in "${files[@]}"; do
    [ "${level_of[$f]}" = "$name" ] && args+=(--preload "$data/$f@/data/$f")
  done
  local package="data-common"
  [ "$name" = common ] || package="data-art$name"
  (cd "$out" && "$packager" "$package.data" "${args[@]}" --js-output="$package.js" \
    >/dev/null 2> >(grep -v '^Remember to build' >&2))
}
for name in common 1 2 4; do pack "$name"; done
