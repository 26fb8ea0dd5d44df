# Run by CPack on the package's staging folder before it is packed (see
# CPACK_PRE_BUILD_SCRIPTS in Install.cmake): takes the .comment section, the
# compilers' names and versions, out of the programs, as dh_strip does.
foreach(binary IN LISTS CPACK_KANTEL_BINARIES)
    set(path ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/${binary})
    if(NOT EXISTS ${path})
        message(FATAL_ERROR "not staged: ${path}")
    endif()
    execute_process(COMMAND ${CPACK_KANTEL_OBJCOPY} --remove-section=.comment ${path}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
