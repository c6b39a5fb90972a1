# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the build scripts: when ccache is installed, sets `launcher` to
# the CMake option that compiles through it, with paths relative to the
# source tree, so that a fresh clone inside it (the quick-start check) finds
# the objects of the build before. Otherwise `launcher` stays empty.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR=true
fi
