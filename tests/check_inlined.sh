#!/bin/sh
# Fails when FUNCTION in PROGRAM still calls CALLEE, which should have been
# inlined into it:  check_inlined.sh OBJDUMP PROGRAM FUNCTION CALLEE
# (FUNCTION and CALLEE as the linker names them, e.g. _Z7yyparsev).
objdump=$1 program=$2 function=$3 callee=$4
body=$("$objdump" -d --no-show-raw-insn "$program" | awk -v f="<$function>:" '$2 == f { on = 1; next } /^$/ { on = 0 } on')
[ -n "$body" ] || { echo "$function not found in $program"; exit 1; }
if printf '%s\n' "$body" | grep -q "call.*<$callee>"; then
  echo "$function calls $callee instead of having it inlined"
  exit 1
fi
echo "$callee is inlined into $function"
