# Shell helpers of the benchmark scripts (sourced).

# Median wall time of a command over five runs, output discarded.
median_seconds() {
  local times=()
  for _ in 1 2 3 4 5; do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | sed -n 3p
}
