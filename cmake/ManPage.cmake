# SPDX-License-Identifier: GPL-3.0-or-later
# vortalex_man_page(<target> "<one-line description>" [NO_INSTALL] [INCLUDE <file.h2m>])
#
# Generates the section-1 man page of program <target> with help2man from the
# built program's --help and --version output, gzipped as Debian wants it, and
# installs it (NO_INSTALL: for a program that is not installed; INCLUDE:
# sections of its own, in help2man's include format). GUI programs
# run on Qt's offscreen platform for that, so no display is needed. Without
# help2man the page is left out, with a note.
find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)

function(vortalex_man_page target description)
    cmake_parse_arguments(PARSE_ARGV 2 arg "NO_INSTALL" "INCLUDE" "")
    set(include_option)
    if(arg_INCLUDE)
        set(include_option --include=${arg_INCLUDE})
    endif()
    if(NOT HELP2MAN_EXECUTABLE OR NOT GZIP_EXECUTABLE)
        message(STATUS "help2man or gzip not found: no man page for ${target}")
        return()
    endif()
    set(dir ${CMAKE_BINARY_DIR}/man)
    set(page ${dir}/${target}.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        # Sanitizer builds: a program that exits from its option parser is no leak.
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${HELP2MAN_EXECUTABLE} --no-info --section=1
            --name=${description} ${include_option} --output=${page} $<TARGET_FILE:${target}>
        COMMAND ${GZIP_EXECUTABLE} -9nf ${page}
        DEPENDS ${target} ${arg_INCLUDE}
        COMMENT "Generating the man page of ${target}"
        VERBATIM)
    add_custom_target(${target}-man ALL DEPENDS ${page}.gz)
    if(NOT arg_NO_INSTALL)
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endfunction()
