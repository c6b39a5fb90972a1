# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by run-demo.sh and run-tests.sh: sets `normal_build` to the CMake
# options that build/ shares. build/ compiles with the Debian package's flags,
# as debian/rules asks dpkg-buildflags for them (CPPFLAGS after CXXFLAGS, as
# debhelper passes them to CMake), so that the suite tests the code that ships
# and the package build finds build/'s objects in the compiler cache.
source tools/ccache-env.sh
debian_flags() {
    make -s -f debian/rules --no-print-directory \
        --eval 'vortalex-flags: ; @echo "$$(dpkg-buildflags --get $(WHICH))"' vortalex-flags WHICH="$1"
}
normal_build=(-DCMAKE_BUILD_TYPE=None
    -DCMAKE_CXX_FLAGS="$(debian_flags CXXFLAGS) $(debian_flags CPPFLAGS)"
    -DCMAKE_EXE_LINKER_FLAGS="$(debian_flags LDFLAGS)"
    "${launcher[@]}")
