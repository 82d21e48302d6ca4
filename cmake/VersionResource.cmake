# qor_add_version_resource(TARGET DESCRIPTION): on Windows, the target's program file carries a
# VERSIONINFO resource with the project's four version numbers.
function(qor_add_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(QOR_RC_NAME ${target})
  set(QOR_RC_DESCRIPTION ${description})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
