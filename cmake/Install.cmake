# What `cmake --install BUILD --prefix P` puts under P, split into the two packages' components:
# "window" (tessival) and "cli" (tessival-cli, which needs no display). The window finds its help
# page at ../share/tessival/ from its own folder, so these places stay fixed rather than following
# GNUInstallDirs.
install(TARGETS tessival RUNTIME DESTINATION bin COMPONENT window)
install(TARGETS tessival-cli RUNTIME DESTINATION bin COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/dist/com.kestrane.tessival.desktop DESTINATION share/applications
        COMPONENT window)
install(FILES ${PROJECT_BINARY_DIR}/dist/com.kestrane.tessival.metainfo.xml DESTINATION share/metainfo
        COMPONENT window)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dist/icons/hicolor DESTINATION share/icons COMPONENT window)
install(FILES ${PROJECT_BINARY_DIR}/docs/tessival.html DESTINATION share/tessival COMPONENT window)
install(FILES ${PROJECT_SOURCE_DIR}/dist/completion/tessival-cli DESTINATION share/bash-completion/completions
        COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/dist/completion/_tessival-cli DESTINATION share/zsh/vendor-completions
        COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/dist/completion/tessival-cli.fish DESTINATION share/fish/vendor_completions.d
        COMPONENT cli)

# The metainfo carries the one version of the top CMakeLists.txt.
configure_file(${PROJECT_SOURCE_DIR}/dist/com.kestrane.tessival.metainfo.xml
               ${PROJECT_BINARY_DIR}/dist/com.kestrane.tessival.metainfo.xml @ONLY)

# The manual pages and the help page are written at build time from one Markdown source, so that
# none of them can say something the others do not; the man pages are compressed as Debian ships them.
set(docs_dir ${PROJECT_BINARY_DIR}/docs)
add_custom_command(OUTPUT ${docs_dir}/tessival.1 ${docs_dir}/tessival-cli.1 ${docs_dir}/tessival.html
    COMMAND ${CMAKE_COMMAND} -E make_directory ${docs_dir}
    COMMAND tessival-docgen ${PROJECT_SOURCE_DIR}/docs/manual.md ${PROJECT_VERSION} ${docs_dir}
    DEPENDS tessival-docgen ${PROJECT_SOURCE_DIR}/docs/manual.md
    VERBATIM)
set(manpages_window "")
set(manpages_cli "")
foreach(page tessival.1 tessival-cli.1)
    set(compressed ${docs_dir}/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND gzip -9nc ${docs_dir}/${page} > ${compressed}
        DEPENDS ${docs_dir}/${page}
        VERBATIM)
    if(page STREQUAL "tessival.1")
        list(APPEND manpages_window ${compressed})
    else()
        list(APPEND manpages_cli ${compressed})
    endif()
endforeach()

# Each package's copyright (DEP-5) and changelog, where Debian looks for them.
configure_file(${PROJECT_SOURCE_DIR}/dist/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/debian/changelog > ${changelog}
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
    VERBATIM)
add_custom_target(manpages ALL DEPENDS ${manpages_window} ${manpages_cli} ${docs_dir}/tessival.html ${changelog})
install(FILES ${manpages_window} DESTINATION share/man/man1 COMPONENT window)
install(FILES ${manpages_cli} DESTINATION share/man/man1 COMPONENT cli)
foreach(component_package window:tessival cli:tessival-cli)
    string(REPLACE ":" ";" pair ${component_package})
    list(GET pair 0 component)
    list(GET pair 1 package)
    install(FILES ${PROJECT_SOURCE_DIR}/dist/debian/copyright ${changelog} DESTINATION share/doc/${package}
            COMPONENT ${component})
endforeach()
