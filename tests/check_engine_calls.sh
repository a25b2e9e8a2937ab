#!/bin/sh
# The plans engine is fast only with the scanner, the actions and the
# arithmetic compiled into it. Fails when FUNCTION in PROGRAM (or a part the
# compiler split off it, such as its cold part) calls, or jumps to, anything
# but the functions meant to stay out of line, whose names follow:
#   check_engine_calls.sh OBJDUMP PROGRAM FUNCTION ALLOWED...
# FUNCTION as objdump -C shows it (engine::plans_parse()); ALLOWED as bare
# names (refill_buffer, fwrite). An indirect call fails too.
objdump=$1 program=$2 function=$3
shift 3
body=$("$objdump" -dC --no-show-raw-insn "$program" | awk -v f="$function" '
  /^[0-9a-f]+ <.*>:$/ { name = substr($0, index($0, "<") + 1); sub(/>:$/, "", name)
                        on = name == f || index(name, f " [clone ") == 1; next }
  /^$/ { on = 0 }
  on')
[ -n "$body" ] || { echo "$function not found in $program"; exit 1; }
# Each call's or outward jump's target, reduced to its bare name:
# "call 2b50 <(anonymous namespace)::refill_buffer(unsigned long)>" gives
# refill_buffer; "call *%rax" gives "*%rax".
targets=$(printf '%s\n' "$body" | awk -v f="$function" '
  $2 ~ /^call/ || ($2 ~ /^jmp/ && $NF ~ />$/) {
    target = substr($0, index($0, $2) + length($2)); sub(/^ +/, "", target)
    if (target !~ /</) { print target; next }
    name = substr(target, index(target, "<") + 1); sub(/>$/, "", name)
    if (index(name, f) == 1) next           # a jump within the function or to its own parts
    gsub(/\(anonymous namespace\)::/, "", name)
    sub(/\(.*/, "", name); sub(/@plt$/, "", name); sub(/\+0x[0-9a-f]+$/, "", name)
    sub(/.*::/, "", name); print name
  }' | sort -u)
status=0
for target in $targets; do
  allowed=no
  for name in "$@"; do [ "$target" = "$name" ] && allowed=yes; done
  if [ $allowed = no ]; then
    echo "$function calls $target, which is not among the functions meant to stay out of line"
    status=1
  fi
done
[ $status -ne 0 ] || echo "$function calls only: $(echo $targets)"
exit $status
