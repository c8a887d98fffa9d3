# zentrova_subsystem(<folder>): one object library per subsystem folder,
# made of every .cpp file below it (a new file joins at the next build).
find_package(Threads REQUIRED)

function(zentrova_subsystem name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(z_${name} OBJECT ${sources})
  target_include_directories(z_${name} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
