#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming the files, when a C++ file of src/, tests/ or bench/ differs
# from the style in .clang-format. The style is clang-format 14's reading of
# it (Debian 12's); other versions break a few lines differently, so only 14
# is used, installed when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format-14 > /dev/null; then
  SUDO=()
  if [[ $(id -u) -ne 0 ]]; then SUDO=(sudo); fi
  "${SUDO[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -qq --no-install-recommends clang-format-14
fi
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
bad=()
for file in "${files[@]}"; do
  clang-format-14 --dry-run --Werror "$file" 2> /dev/null || bad+=("$file")
done
if ((${#bad[@]})); then
  echo "Not in the code's style (clang-format-14 -i FILE formats it):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "All ${#files[@]} C++ files are in the code's style."
