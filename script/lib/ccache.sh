# script/lib/ccache.sh - compiles through ccache when it is installed (script/setup
# installs it), so that a build of an unchanged file, in any build directory or a
# fresh clone, takes its object from the cache: CI's second run and the sanitized
# pass's unchanged sources cost little. Sourced by the scripts that configure CMake:
#
#   . script/lib/ccache.sh
#   cmake -S . -B build "${ccache_args[@]}" ...
#
# The cache is $CCACHE_DIR, else /var/cache/vexa-ccache as root, else ccache's own
# (~/.cache/ccache). VEXA_CCACHE=0 compiles without it.
ccache_args=()
if [ "${VEXA_CCACHE:-1}" != 0 ] && command -v ccache >/dev/null; then
  if [ -z "${CCACHE_DIR:-}" ] && [ "$(id -u)" -eq 0 ]; then
    export CCACHE_DIR=/var/cache/vexa-ccache
  fi
  # Objects compiled in another clone's directory count as the same.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
  ccache_args=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
