#!/bin/sh
# Formats each manual page with every groff warning on; any warning fails.
# Skipped (status 77) where groff is not installed.
command -v groff >/dev/null 2>&1 || { echo "groff not installed"; exit 77; }
status=0
for page in "$@"; do
  warnings=$(groff -ww -t -man -Tutf8 "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page:"; echo "$warnings"; status=1
  fi
  lines=$(groff -t -man -Tutf8 "$page" 2>/dev/null | wc -l)
  [ "$lines" -gt 20 ] || { echo "$page: renders to only $lines lines"; status=1; }
done
exit $status
