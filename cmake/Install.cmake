# What `cmake --install BUILD --prefix P` puts under P. The window finds its help page at
# ../share/tessival/ from its own folder, so these places stay fixed rather than following
# GNUInstallDirs.
install(TARGETS tessival tessival-cli RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/dist/com.kestrane.tessival.desktop DESTINATION share/applications)
install(FILES ${PROJECT_SOURCE_DIR}/dist/com.kestrane.tessival.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/dist/icons/hicolor DESTINATION share/icons)
install(FILES ${PROJECT_SOURCE_DIR}/src/res/tessival.hlp DESTINATION share/tessival RENAME tessival.html)
install(FILES ${PROJECT_SOURCE_DIR}/dist/completion/tessival-cli DESTINATION share/bash-completion/completions)

# Man pages, compressed as Debian ships them.
set(manpages "")
foreach(page tessival.1 tessival-cli.1)
    set(compressed ${PROJECT_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/dist/man/${page} > ${compressed}
        DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${page}
        VERBATIM)
    list(APPEND manpages ${compressed})
endforeach()
add_custom_target(manpages ALL DEPENDS ${manpages})
install(FILES ${manpages} DESTINATION share/man/man1)
