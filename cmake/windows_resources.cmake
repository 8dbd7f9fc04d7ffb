# The version record, icon and manifest that every Windows executable of Orvella carries.
# Include it after the version is set.
# The version the resource shows is the record form the top-level CMakeLists.txt makes.
if(NOT DEFINED ORVELLA_VERSION_RECORD)
  message(FATAL_ERROR "windows_resources: include it after ORVELLA_VERSION_RECORD is set")
endif()

# Adds the resource to target; description is the file description Explorer shows.
function(orvella_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(ORVELLA_RC_ICON "${PROJECT_SOURCE_DIR}/src/resources/orvella.ico")
  set(ORVELLA_RC_MANIFEST "${PROJECT_SOURCE_DIR}/src/resources/orvella.manifest")
  set(ORVELLA_RC_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,${PROJECT_VERSION_PATCH}")
  set(ORVELLA_RC_VERSION "${ORVELLA_VERSION_RECORD}")
  set(ORVELLA_RC_DESCRIPTION "${description}")
  set(ORVELLA_RC_NAME "${target}")
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  # windres does not see the files the script names; a new icon or manifest must relink.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc PROPERTIES
    OBJECT_DEPENDS "${ORVELLA_RC_ICON};${ORVELLA_RC_MANIFEST}")
endfunction()
