# What an installation ships besides the deliverables that vt_install() names: the read-only files
# of the program folder, manual pages, documentation, the desktop program's entry and icon, and
# the tests of the installed tree.

vt_ship_files(FILES docs/changes.txt examples/sqltools.ini)

# vt_gzip(SOURCE OUTPUT): OUTPUT is SOURCE compressed at build time, without a time stamp so that
# packages come out the same on every build.
function(vt_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${source} ${output}
        DEPENDS ${source}
        VERBATIM)
endfunction()

# Manual pages carry the project's version and install compressed.
set(vt_compressed "")
foreach(page vtconsole.1 vtconvert.1)
    configure_file(docs/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    vt_gzip(${CMAKE_BINARY_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page}.gz)
    list(APPEND vt_compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# Documentation: the copyright notice and change log in Debian's form, the README, the examples.
set(vt_docs ${CMAKE_BINARY_DIR}/doc)
configure_file(cmake/debian/copyright.in ${vt_docs}/copyright @ONLY)
configure_file(cmake/debian/changelog.in ${vt_docs}/changelog @ONLY)
vt_gzip(${vt_docs}/changelog ${vt_docs}/changelog.gz)
list(APPEND vt_compressed ${vt_docs}/changelog.gz)
add_custom_target(vt_compressed_docs ALL DEPENDS ${vt_compressed})
install(FILES ${vt_docs}/copyright ${vt_docs}/changelog.gz README.md
        DESTINATION ${VT_INSTALL_DOCDIR})
file(GLOB vt_example_scripts examples/*.rsql)
install(FILES ${vt_example_scripts} examples/sqltools.ini
        DESTINATION ${VT_INSTALL_DOCDIR}/examples)

# The desktop program, once it is built: a command in PREFIX/bin, its menu entry and icon.
if(TARGET vtdesk)
    vt_install(vtdesk LINK)
    set(vt_app ${CMAKE_SOURCE_DIR}/desktop/app)
    if(EXISTS ${vt_app}/vtdesk.desktop)
        install(FILES ${vt_app}/vtdesk.desktop
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
    endif()
    if(EXISTS ${vt_app}/vtdesk.svg)
        install(FILES ${vt_app}/vtdesk.svg
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
    endif()
    if(EXISTS ${vt_app}/vtdesk.png)
        install(FILES ${vt_app}/vtdesk.png
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/256x256/apps)
    endif()
endif()

# An installation into a temporary prefix runs a script through the command links; the Debian
# package is checked for the same files (not in the sanitizer tree, whose programs do not ship).
set(vt_install_test ${CMAKE_SOURCE_DIR}/cmake/install_test.sh)
add_test(NAME install_test
    COMMAND bash ${vt_install_test} install ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set(vt_install_test_env "VT_DESKTOP=$<BOOL:${VT_DESKTOP}>;VT_VERSION=${PROJECT_VERSION}")
set_tests_properties(install_test PROPERTIES ENVIRONMENT "${vt_install_test_env}" TIMEOUT 300)
if(NOT VT_SANITIZE)
    add_test(NAME package_test
        COMMAND bash ${vt_install_test} package ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
    set_tests_properties(package_test PROPERTIES ENVIRONMENT "${vt_install_test_env}" TIMEOUT 900
                         LABELS nosanitize)
endif()
