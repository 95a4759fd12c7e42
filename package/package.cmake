# The release packages, made by CPack: build/dist/Lumvora-<version>-win32.zip and -win64.zip, each holding
# Lumvora.exe and 说明.txt side by side. Only Release builds are packaged (scripts/package.sh).

# 说明.txt for Windows 7's Notepad: UTF-8 with a byte order mark (kept from the source) and CR LF.
set(LUMVORA_README "${CMAKE_BINARY_DIR}/package/说明.txt")
configure_file("${CMAKE_CURRENT_LIST_DIR}/说明.txt.in" "${LUMVORA_README}" @ONLY NEWLINE_STYLE CRLF)

# One component per file: CPack adds the components in the order of their names, whereas the files of one
# component come in the order the file system lists them, which differs between machines.
install(TARGETS Lumvora RUNTIME DESTINATION . COMPONENT program)
install(FILES "${LUMVORA_README}" DESTINATION . COMPONENT readme)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_PACKAGE_FILE_NAME "Lumvora-${PROJECT_VERSION}-win64")
else()
  set(CPACK_PACKAGE_FILE_NAME "Lumvora-${PROJECT_VERSION}-win32")
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGE_VENDOR LumvoSoft)

# The times in the zip: CPack's archiver takes every file's time from SOURCE_DATE_EPOCH when it is set. When
# the caller sets none, the time of the last commit (or a fixed one, outside git) is set inside cpack.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(LUMVORA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
                  OUTPUT_VARIABLE LUMVORA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0 OR LUMVORA_SOURCE_DATE_EPOCH STREQUAL "")
    set(LUMVORA_SOURCE_DATE_EPOCH 1735689600)  # 2025-01-01 00:00 UTC
  endif()
endif()
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_BINARY_DIR}/package/cpack-options.cmake")
file(WRITE "${CPACK_PROJECT_CONFIG_FILE}"
  "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})\n  set(ENV{SOURCE_DATE_EPOCH} ${LUMVORA_SOURCE_DATE_EPOCH})\nendif()\n")
include(CPack)
