#!/bin/sh
# No two parts of a source folder, its subfolders included, depend on each
# other through their #include lines, directly or through others. A part is
# a source file with its header (scanner.cpp with scanner.hpp), named by its
# path in the folder; an include is looked for beside the including file,
# then at the folder's top (the include path the build gives). Fails naming
# the parts of a cycle:
#   check_include_cycles.sh DIR
cd "$1" || exit 1
find . -name '*.cpp' -o -name '*.hpp' | sed 's|^\./||' | while read -r file; do
  part=${file%.*}
  echo "$part $part"
  sed -n 's/^#include "\([^"]*\)\.[a-z]*".*/\1/p' "$file" | while read -r included; do
    beside=$(realpath -m --relative-to=. "$(dirname "$file")/$included")
    if [ -f "$beside.hpp" ]; then
      echo "$part $beside"
    elif [ -f "$included.hpp" ]; then
      echo "$part $included"
    fi
  done
done | tsort >/dev/null
