#!/bin/sh
# The plans engine is fast only with the scanner, the actions and the
# arithmetic compiled into it. Fails when FUNCTION in PROGRAM (or a part the
# compiler split off it, such as its cold part) calls, or jumps to, any
# function but those meant to stay out of line, whose names follow:
#   check_engine_calls.sh OBJDUMP PROGRAM FUNCTION ALLOWED...
# FUNCTION as objdump -C shows it (engine::plans_parse()); ALLOWED as bare
# names (refill_buffer, fwrite). The compiler's own helpers for arithmetic
# the processor lacks (__aeabi_*, and libgcc's __ctzdi2, __udivdi3 and their
# kin) and for position-independent code (__x86.get_pc_thunk.*) are allowed
# too. An indirect call fails. Any
# architecture objdump disassembles: a reference to a function symbol is a
# call or a jump to it, whatever the instruction is called there.
objdump=$1 program=$2 function=$3
shift 3
# The program's functions by name: "ADDR FLAGS F SECTION<tab>SIZE NAME".
functions=$("$objdump" -tC "$program" | awk '$3 == "F"' | sed 's/^[^	]*	[0-9a-f]* *//; s/^\.hidden //')
disassembly=$("$objdump" -dC --no-show-raw-insn "$program")
body=$(printf '%s\n' "$disassembly" | awk -v f="$function" '
  /^[0-9a-f]+ <.*>:$/ { name = substr($0, index($0, "<") + 1); sub(/>:$/, "", name)
                        on = name == f || index(name, f " [clone ") == 1; next }
  /^$/ { on = 0 }
  on')
[ -n "$body" ] || { echo "$function not found in $program"; exit 1; }
# Each referenced symbol, from "<name>" or "<name+0x1c>", and each indirect
# call (x86 "call *%rax", arm64 "blr", arm "blx r3", s390x "basr"). An
# arm64 "adrp"/"adr" makes an address, of data as often as not, which
# objdump names after the function nearest below it: no call.
referenced=$(printf '%s\n' "$body" | awk '
  { line = $0; sub(/^[^\t]*\t/, "", line) }
  line ~ /^(call[lq]?[ \t]+\*|blr[ \t]|blx[ \t]+r|basr[ \t]|balr[ \t])/ { print "indirect-call"; next }
  line ~ /^adrp?[ \t]/ { next }
  { while (match(line, /<[^<>]+>/)) {
      name = substr(line, RSTART + 1, RLENGTH - 2); line = substr(line, RSTART + RLENGTH)
      sub(/\+0x[0-9a-f]+$/, "", name); print name } }' | sort -u)
status=0
called=
printf '%s\n' "$referenced" | {
  while IFS= read -r target; do
    [ -n "$target" ] || continue
    case $target in "$function"|"$function [clone "*) continue ;; esac
    if [ "$target" != indirect-call ]; then
      # Data (tables, the stacks) is referenced too; only functions count.
      bare=${target%@plt}
      [ "$bare" != "$target" ] || printf '%s\n' "$functions" | grep -qxF "$target" || continue
      bare=$(printf '%s\n' "$bare" | sed 's/(anonymous namespace):://g; s/(.*//; s/.*:://')
      case $bare in __aeabi_*|__x86.get_pc_thunk.*|__*[sd]i[23]) continue ;; esac
      allowed=no
      for name in "$@"; do [ "$bare" = "$name" ] && allowed=yes; done
      [ $allowed = no ] || { called="$called $bare"; continue; }
    fi
    echo "$function calls $target, which is not among the functions meant to stay out of line"
    status=1
  done
  [ $status -ne 0 ] || echo "$function calls only:$called"
  exit $status
}
