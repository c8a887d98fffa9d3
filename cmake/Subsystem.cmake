# zentrova_subsystem(<folder> SOURCES...): one object library per subsystem folder.
find_package(Threads REQUIRED)

function(zentrova_subsystem name)
  add_library(z_${name} OBJECT ${ARGN})
  target_include_directories(z_${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
