# SPDX-License-Identifier: GPL-3.0-or-later
# vortalex_man_page(<target> "<one-line description>" [NO_INSTALL] [INCLUDE <file.h2m>])
#
# Generates the section-1 man page of program <target> with help2man from the
# built program's --help and --version output, gzipped as Debian wants it, and
# installs it (NO_INSTALL: for a program that is not installed). GUI programs
# run on Qt's offscreen platform for that, so no display is needed. The
# sections --help does not give (EXAMPLES, SEE ALSO) come from
# packaging/man/<target>.h2m when it exists. Without help2man the build stops
# here: a package without its man pages is not one to ship.
find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)
if(NOT HELP2MAN_EXECUTABLE OR NOT GZIP_EXECUTABLE)
    message(FATAL_ERROR "help2man and gzip make the man pages: sudo apt-get install help2man gzip")
endif()

function(vortalex_man_page target description)
    cmake_parse_arguments(PARSE_ARGV 2 arg "NO_INSTALL" "" "")
    set(dir ${CMAKE_BINARY_DIR}/man)
    set(include ${PROJECT_SOURCE_DIR}/packaging/man/${target}.h2m)
    set(include_args)
    set(include_depends)
    if(EXISTS ${include})
        set(include_args --include=${include})
        set(include_depends ${include})
    endif()
    set(page ${dir}/${target}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        # Sanitizer builds: a program that exits from its option parser is no leak.
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${HELP2MAN_EXECUTABLE} --no-info --section=1
            --name=${description} ${include_args} --output=${page} $<TARGET_FILE:${target}>
        COMMAND ${GZIP_EXECUTABLE} -9nf ${page}
        DEPENDS ${target} ${include_depends}
        COMMENT "Generating the man page of ${target}"
        VERBATIM)
    add_custom_target(${target}-man ALL DEPENDS ${page}.gz)
    if(NOT arg_NO_INSTALL)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()
