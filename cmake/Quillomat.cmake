# qm_library(NAME deps...): the library qm_NAME from every source below src/NAME.
# A folder without sources yet gives an empty interface library, so later layers can
# name it already.
function(qm_library name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp
       ${CMAKE_SOURCE_DIR}/src/${name}/*.h
       ${CMAKE_SOURCE_DIR}/src/${name}/*.qrc)
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$|\\.qrc$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(qm_${name} STATIC ${sources})
    target_link_libraries(qm_${name} PUBLIC qm_settings ${ARGN})
  else()
    add_library(qm_${name} INTERFACE)
    target_link_libraries(qm_${name} INTERFACE qm_settings ${ARGN})
  endif()
endfunction()

# qm_test(NAME deps...): the test program test_NAME from the sources below tests/NAME.
function(qm_test name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp
                                              ${CMAKE_SOURCE_DIR}/tests/${name}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_link_libraries(test_${name} PRIVATE test_support ${ARGN})
  target_compile_definitions(test_${name} PRIVATE QM_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
