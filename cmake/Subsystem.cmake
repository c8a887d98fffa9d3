# zentrova_subsystem(<folder> [EXCLUDE <subfolder>...]): one object library
# per subsystem folder, made of every .cpp file below it except those of
# the excluded subfolders (a new file joins at the next build).
find_package(Threads REQUIRED)

function(zentrova_subsystem name)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${excluded}/")
  endforeach()
  add_library(z_${name} OBJECT ${sources})
  target_include_directories(z_${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
