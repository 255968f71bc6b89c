# Shared build rules: warnings, sanitizers and the one-library-per-subsystem helper.

set(FV_WARNINGS -Wall -Wextra -Wno-unused-parameter)
if(FV_WERROR)
  list(APPEND FV_WARNINGS -Werror)
endif()
set(FV_ROOT ${CMAKE_SOURCE_DIR})

if(FV_SANITIZE)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=address,undefined;-fno-sanitize-recover=undefined;-fno-omit-frame-pointer;-g>")
  add_link_options(-fsanitize=address,undefined)
endif()
if(FV_FUZZ)
  # Coverage instrumentation for every library, so the fuzz targets see into them.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-fsanitize=fuzzer-no-link>")
endif()

# fv_add_subsystem(NAME [DEPS lib...] [EXCLUDE regex...] [LIBS target...])
# Builds every .cpp below the current folder into the static library fv_<NAME>.
# A folder without sources yet becomes an interface library with the same links.
function(fv_add_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE;LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(pattern IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  set(target fv_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${FV_ROOT})
    target_compile_options(${target} PRIVATE ${FV_WARNINGS})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS} ${ARG_LIBS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${FV_ROOT})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS} ${ARG_LIBS})
  endif()
endfunction()
