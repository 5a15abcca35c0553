# Settings for ccache, which CMake puts in front of the compilers when it is
# installed. Sourced, not run, from the folder of the checkout:
#
#   source scripts/lib/ccache.sh
#
# CI builds every run in a fresh clone, so the cache lives in one folder of
# the machine (not in the clone) and paths are made relative to the clone,
# which lets a later clone in another folder hit what an earlier one built.

if [[ $(id -u) -eq 0 ]]; then
    export CCACHE_DIR=${CCACHE_DIR:-/var/cache/kandor/ccache}
else
    export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/kandor/ccache}
fi
mkdir -p "$CCACHE_DIR"
export CCACHE_BASEDIR=$PWD
# Debug information names the build folder; the clone's folder must not be
# part of the key.
export CCACHE_NOHASHDIR=true
# The precompiled headers: ccache hashes the .gch itself, and a fresh clone's
# files are all newer than the cache.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
# Three builds (plain, sanitized, fuzz) of a project that may double.
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
