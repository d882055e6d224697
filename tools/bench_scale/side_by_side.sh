# Sourced by the benchmarks that run the side-by-side comparison with the NSIS
# peer: checks that the shared benchmark is in $bench and installs Debian's
# nsis package when makensis is missing.
if [ ! -f "$bench/run_bench.sh" ] || [ ! -f "$bench/make_nsis_peer.py" ]; then
  echo "no side-by-side benchmark in $bench (PIXELMOOR_BENCH_DIR names its folder)" >&2
  exit 1
fi
if ! command -v makensis >/dev/null; then
  as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  echo "installing nsis"
  as_root apt-get update -q >/dev/null
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends nsis >/dev/null
fi
