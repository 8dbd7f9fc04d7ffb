# The version record and icon that every Windows executable of Orvella carries.
# Include it after the version is set.
# The version reads as the product has always shown it: 1.0.1 becomes "1.00.0001". The top-level
# CMakeLists.txt may have made that form already (ORVELLA_VERSION_RECORD); it is used then.
if(DEFINED ORVELLA_VERSION_RECORD)
  set(ORVELLA_DISPLAY_VERSION "${ORVELLA_VERSION_RECORD}" CACHE INTERNAL "The version as the version record and the zip show it")
else()
  function(orvella_pad out value width)
    string(LENGTH "${value}" length)
    math(EXPR zeros "${width} - ${length}")
    if(zeros GREATER 0)
      string(REPEAT "0" ${zeros} fill)
    endif()
    set(${out} "${fill}${value}" PARENT_SCOPE)
  endfunction()
  orvella_pad(minor ${PROJECT_VERSION_MINOR} 2)
  orvella_pad(patch ${PROJECT_VERSION_PATCH} 4)
  set(ORVELLA_DISPLAY_VERSION "${PROJECT_VERSION_MAJOR}.${minor}.${patch}"
      CACHE INTERNAL "The version as the version record and the zip show it")
endif()

# Adds the resource to target; description is the file description Explorer shows.
function(orvella_windows_resources target description)
  if(NOT WIN32)
    return()
  endif()
  set(ORVELLA_RC_ICON "${PROJECT_SOURCE_DIR}/src/resources/orvella.ico")
  set(ORVELLA_RC_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,${PROJECT_VERSION_PATCH}")
  set(ORVELLA_RC_VERSION "${ORVELLA_DISPLAY_VERSION}")
  set(ORVELLA_RC_DESCRIPTION "${description}")
  set(ORVELLA_RC_NAME "${target}")
  configure_file(${PROJECT_SOURCE_DIR}/src/resources/version.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
endfunction()
