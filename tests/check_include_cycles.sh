#!/bin/sh
# No two parts of one source folder depend on each other through their
# #include lines, directly or through others. A part is a source file with
# its header (scanner.cpp with scanner.hpp); subfolders are not looked at.
# Fails naming the parts of a cycle:
#   check_include_cycles.sh DIR
cd "$1" || exit 1
for file in *.cpp *.hpp; do
  part=${file%.*}
  echo "$part $part"
  sed -n 's/^#include "\([^"/]*\)\.[a-z]*".*/\1/p' "$file" | while read -r included; do
    if [ -f "$included.hpp" ]; then echo "$part $included"; fi
  done
done | tsort >/dev/null
