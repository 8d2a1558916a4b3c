# The core's subsystems are libraries of their own, each naming the
# subsystems below it that it uses. An include of a subsystem it does not
# use, directly or through those, stops the configuration with the file and
# the line, so that the layers hold without anybody watching for them.
#
#   mvr_core_subsystem(<name> USES <subsystem>... SOURCES <file>...)
#   mvr_check_core_includes(<name> <folder> <allowed subsystem>...)

function(mvr_check_core_includes name folder)
  set(allowed ${ARGN})
  file(GLOB files "${folder}/*.h" "${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^#include \"core/[a-z]+/")
    foreach(line IN LISTS includes)
      string(REGEX MATCH "core/([a-z]+)/" _ "${line}")
      if(NOT CMAKE_MATCH_1 IN_LIST allowed)
        message(FATAL_ERROR "${file}: ${line}\n"
          "core/${name} does not use core/${CMAKE_MATCH_1} (it uses: ${allowed})")
      endif()
    endforeach()
  endforeach()
endfunction()

function(mvr_core_subsystem name)
  cmake_parse_arguments(ARG "" "" "USES;SOURCES" ${ARGN})
  set(allowed ${name})
  set(libraries mvrcore_base)
  foreach(used IN LISTS ARG_USES)
    get_property(reach GLOBAL PROPERTY MVR_CORE_REACH_${used} SET)
    if(NOT reach)
      message(FATAL_ERROR "core/${name} uses core/${used}, which is not declared below it")
    endif()
    get_property(reach GLOBAL PROPERTY MVR_CORE_REACH_${used})
    list(APPEND allowed ${reach})
    list(APPEND libraries mvr_${used})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY MVR_CORE_REACH_${name} ${allowed})
  mvr_check_core_includes(${name} "${CMAKE_CURRENT_SOURCE_DIR}/${name}" ${allowed})

  list(TRANSFORM ARG_SOURCES PREPEND "${name}/")
  add_library(mvr_${name} STATIC ${ARG_SOURCES})
  target_link_libraries(mvr_${name} PUBLIC ${libraries})
endfunction()
