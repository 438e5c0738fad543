# The opening every benchmark script shares (sourced from the source tree's
# root, which the script has made the current folder).
DATA=bench/data
mkdir -p "$DATA"
# The large RPG-Maker-like file, made once: most scripts measure on it.
[ -f "$DATA/large.rxdata" ] || ruby bench/make_large.rb "$DATA/large.rxdata"

# bench_build DIR TYPE TARGET...: configures DIR with the benchmarks in the
# build type TYPE and builds the targets, quietly.
bench_build() {
  local dir=$1 type=$2
  shift 2
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DQUARNIX_BENCH=ON >/dev/null
  cmake --build "$dir" --target "$@" >/dev/null
}
