# Fails when a source outside the door (src/model/Disk.cpp) opens, writes,
# replaces, creates, locks or removes a file or folder itself, so that every
# file the program touches gets the door's one policy (model/Disk.h).
#   cmake -DROOT=<source folder> -P CheckDiskDoor.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P CheckDiskDoor.cmake")
endif()

# The calls and classes that reach a file by its path.
set(raw_file_apis
    "QFile[^a-zA-Z:I]"            # QFile f(path), QFile::remove ... (encodeName and decodeName are kept)
    "QFile::(remove|rename|copy|link|open|resize|setPermissions|moveToTrash)"
    "QSaveFile" "QLockFile" "QTemporaryFile" "QPdfWriter" "setOutputFileName"
    "QSettings[^S]"               # the class, not QSettingsStore
    "[^a-zA-Z_]fopen\\(" "fstream"
    # the system's own calls, called as ::open( and not as a member's name
    "[^a-zA-Z_0-9]::(open|openat|creat|rename|renameat2?|unlink|unlinkat|mkdir|rmdir|remove|truncate|link|symlink|flock)\\("
    "mkpath" "removeRecursively" "\\.mkdir\\(" "\\.rmdir\\("
    "\\.save\\([^&]"              # QImage or QPixmap saved to a path, not into a device
    )

# The few places that may, each for its reason.
set(allowed
    src/model/Disk.cpp              # the door itself
    src/link/QSettingsStore.h src/link/QSettingsStore.cpp  # QSettings, handed its file once the door has looked at it
    src/shell/PdfFile.h src/shell/PdfFile.cpp  # QPdfWriter paints into memory; the door writes the bytes
    src/link/tower/TowerTransport.cpp  # the tower's serial device, opened without waiting
    app/StartupProbe.h              # /proc/self/stat, read by the start-up probe
    )

file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/app/*.cpp ${ROOT}/app/*.h)
set(found "")
foreach(source IN LISTS sources)
  if(source IN_LIST allowed)
    continue()
  endif()
  file(STRINGS ${ROOT}/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    string(REGEX REPLACE "//.*$" "" code "${line}")
    string(REGEX REPLACE "QFile::(encodeName|decodeName)" "" code "${code}")
    if(code MATCHES "^ *#include")
      continue()
    endif()
    foreach(api IN LISTS raw_file_apis)
      if(code MATCHES "${api}")
        string(APPEND found "\n  ${source}:${number}: ${line}")
        break()
      endif()
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "These reach the disk past the door (model/Disk.h):${found}")
endif()
message(STATUS "Every file is reached through the door")
