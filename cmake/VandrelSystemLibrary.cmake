# vandrel_system_library(TARGET HEADER LIBRARY [LINK...]): TARGET stands for the library that a
# Debian -dev package installs: the folder of HEADER, the library LIBRARY, and what it needs.
function(vandrel_system_library target header library)
  find_path(${target}_include ${header} REQUIRED)
  find_library(${target}_library ${library} REQUIRED)
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${${target}_include})
  target_link_libraries(${target} INTERFACE ${${target}_library} ${ARGN})
endfunction()
