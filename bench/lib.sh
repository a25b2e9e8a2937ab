# What the benchmark scripts share: the generated inputs, token counts,
# instruction and jump counts, the processor's name, pinning. Sourced, not
# run; the caller is at the project's root and has built generate_input.

# Seeded inputs of MB megabytes, made once and kept in bench/data/: the mixed
# input, and the input that repeats a 150-byte pattern of it, whose token
# stream the branch predictors learn whole. Sets mixed_input and
# repeated_input.
bench_inputs() {  # MB generate_input
  mkdir -p bench/data
  mixed_input=bench/data/input-${1}mb.txt
  repeated_input=bench/data/repeated-150b-${1}mb.txt
  [ -f "$mixed_input" ] || "$2" $(($1 * 1000000)) 20261208 > "$mixed_input"
  [ -f "$repeated_input" ] || "$2" $(($1 * 1000000)) 20261208 150 > "$repeated_input"
}

# Tokens in FILE, matched longest first as the scanner matches them;
# counted once and kept beside the file.
count_tokens() {  # FILE
  if [ ! -f "$1.tokens" ] || [ "$1.tokens" -ot "$1" ]; then
    LC_ALL=C grep -oE '<<=|>>=|<<|>>|[-+*/%&|^]=|dump|clear|[0-9]+|[a-z]|[^[:space:]]' "$1" |
      wc -l > "$1.tokens"
  fi
  cat "$1.tokens"
}

# The processor, as lscpu names it, with its family, model and stepping.
processor() {
  lscpu 2>/dev/null | awk -F: '
    { gsub(/^[ \t]+/, "", $2) }
    $1 == "Model name" { name = $2 } $1 == "CPU family" { family = $2 }
    $1 == "Model" { model = $2 } $1 == "Stepping" { stepping = $2 }
    END { printf "%s (family %s, model %s, stepping %s)\n", name, family, model, stepping }'
}

# Instructions per token of PROGRAM on INPUT, counted by valgrind; "-" when
# valgrind is not installed.
instructions_per_token() {  # PROGRAM INPUT
  command -v valgrind >/dev/null || { echo -; return; }
  valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$1" < "$2" \
    2>&1 >/dev/null | awk -v tokens="$(count_tokens "$2")" '
      /I +refs:/ { n = $NF; gsub(",", "", n); printf "%.1f\n", n / tokens }'
}

# Indirect jumps per token of PROGRAM on INPUT, counted by valgrind's branch
# simulation: the jumps whose targets the processor must predict from the
# token stream. "-" when valgrind is not installed.
indirect_jumps_per_token() {  # PROGRAM INPUT
  command -v valgrind >/dev/null || { echo -; return; }
  valgrind --tool=cachegrind --cache-sim=no --branch-sim=yes --cachegrind-out-file=/dev/null "$1" \
    < "$2" 2>&1 >/dev/null | awk -v tokens="$(count_tokens "$2")" '
      /Branches:/ { n = $(NF - 1); gsub(",", "", n); printf "%.2f\n", n / tokens }'
}

# The command prefix that pins a process to one core, where taskset exists.
pinned_to() {  # CORE
  if command -v taskset >/dev/null; then echo "taskset -c $1"; fi
}
