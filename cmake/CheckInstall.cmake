# Installs the build BUILD into the folder PREFIX (emptied first) and checks the
# layout: the program, its help where the installed program looks for it, the
# menu entry and its icon. The entry is validated where desktop-file-validate
# is installed. A build that left the program out (scripts/sanitize.sh builds
# the tests alone) is skipped.
#   cmake -DBUILD=build -DPROGRAM=build/app/quillomat -DPREFIX=dir -P cmake/CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS ${PROGRAM})
  message("Skipped: the program ${PROGRAM} is not built")
  return()
endif()
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install ${BUILD} failed: ${rc}")
endif()

set(failures "")
foreach(file bin/quillomat share/quillomat/Quillomat.html share/applications/quillomat.desktop
             share/icons/hicolor/scalable/apps/quillomat.svg)
  if(NOT EXISTS ${PREFIX}/${file} OR IS_DIRECTORY ${PREFIX}/${file})
    string(APPEND failures "\n  missing: ${file}")
  endif()
endforeach()
file(GLOB beside LIST_DIRECTORIES true RELATIVE ${PREFIX}/bin ${PREFIX}/bin/*)
if(NOT beside STREQUAL "quillomat")
  string(APPEND failures "\n  bin holds more than the program: ${beside}")
endif()
execute_process(COMMAND test -x ${PREFIX}/bin/quillomat RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  string(APPEND failures "\n  bin/quillomat can't be run")
endif()
file(STRINGS ${PREFIX}/share/applications/quillomat.desktop entry)
foreach(line "Exec=quillomat" "Icon=quillomat")
  if(NOT line IN_LIST entry)
    string(APPEND failures "\n  quillomat.desktop lacks ${line}")
  endif()
endforeach()

find_program(validate desktop-file-validate)
if(validate)
  execute_process(COMMAND ${validate} ${PREFIX}/share/applications/quillomat.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
    string(APPEND failures "\n  desktop-file-validate: ${out}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "The installed layout in ${PREFIX} is wrong:${failures}")
endif()
