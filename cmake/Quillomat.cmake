# qm_library(NAME deps...): the library qm_NAME from every source below src/NAME,
# except those of its widget-free core src/NAME/core (see qm_core).
# A folder without sources yet gives an empty interface library, so later layers can
# name it already.
function(qm_library name)
  qm_add_library(qm_${name} ${name} ${ARGN})
endfunction()

# qm_core(NAME deps...): the library qm_NAME_core from every source below src/NAME/core,
# the logic of a window folder without its windows.
function(qm_core name)
  qm_add_library(qm_${name}_core ${name}/core ${ARGN})
endfunction()

function(qm_add_library target folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  if(NOT folder MATCHES "/core$")
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/src/${folder}/core/")
  endif()
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${target} STATIC ${sources})
    target_link_libraries(${target} PUBLIC qm_settings ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE qm_settings ${ARGN})
  endif()
endfunction()

# qm_pictures(TARGET NAME PREFIX FOLDER): every SVG picture in src/FOLDER compiled into
# TARGET as the resource NAME, each read as ":PREFIX/<file>.svg". Qt links the resource's
# object into every program that links TARGET, so nothing needs to ask for it.
function(qm_pictures target name prefix folder)
  file(GLOB pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.svg)
  qt_add_resources(${target} ${name} PREFIX ${prefix} BASE ${CMAKE_SOURCE_DIR}/src/${folder}
                   FILES ${pictures})
endfunction()

# qm_test(NAME deps... [PLATFORM platform]): the test program test_NAME from the
# sources below tests/NAME, run on the offscreen platform unless another is given.
function(qm_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PLATFORM" "")
  if(NOT arg_PLATFORM)
    set(arg_PLATFORM offscreen)
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp
                                              ${CMAKE_SOURCE_DIR}/tests/${name}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE test_support ${arg_UNPARSED_ARGUMENTS})
  target_compile_definitions(test_${name} PRIVATE QM_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=${arg_PLATFORM}")
endfunction()
