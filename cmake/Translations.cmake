# The texts the editor shows, gathered for translators: lupdate reads the
# sources of every layer the editor is built from and writes one .ts file
# into the build tree. Only English ships, so nothing is compiled from it.
#
#   BUILD/translations/kantel.ts

find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

set(KANTEL_TS_FILE ${PROJECT_BINARY_DIR}/translations/kantel.ts)
set(KANTEL_TS_SOURCES)
foreach(target kantel_framework_core kantel_framework_ui kantel_res kantel_format kantel_doc kantel_view_text
               kantel_views kantel_dialogs kantel_wave_check kantel_app kantel)
    get_target_property(directory ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        if(source MATCHES "\\.cpp$" AND NOT source MATCHES "^\\$<")
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${directory} NORMALIZE
                       OUTPUT_VARIABLE path)
            list(APPEND KANTEL_TS_SOURCES ${path})
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES KANTEL_TS_SOURCES)
list(JOIN KANTEL_TS_SOURCES "\n" lines)
set(KANTEL_TS_LIST ${PROJECT_BINARY_DIR}/translations/sources.lst)
file(CONFIGURE OUTPUT ${KANTEL_TS_LIST} CONTENT "${lines}\n")

add_custom_command(
    OUTPUT ${KANTEL_TS_FILE}
    COMMAND Qt6::lupdate -silent -no-obsolete -locations relative -source-language en
            @${KANTEL_TS_LIST} -ts ${KANTEL_TS_FILE}
    # lupdate leaves a file whose texts did not change as it was.
    COMMAND ${CMAKE_COMMAND} -E touch ${KANTEL_TS_FILE}
    DEPENDS ${KANTEL_TS_SOURCES} ${KANTEL_TS_LIST}
    COMMENT "Gathering the editor's texts into translations/kantel.ts"
    VERBATIM)
add_custom_target(kantel_translations ALL DEPENDS ${KANTEL_TS_FILE})
