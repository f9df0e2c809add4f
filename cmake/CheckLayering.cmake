# Checks the direction of the include arrows (run by CTest, cmake -P):
# - the core (the rules of every window, the subsystems, the data of resources/, the
#   platform interfaces) includes nothing of a face: no faces/... header, no Qt header,
#   no Windows header; each face includes nothing of the other face;
# - the core, the faces, the programs and the platform interfaces include no backend
#   header (platform/<backend>/...) and no fake (platform/fake/...): they reach the
#   platform through platform/*.h alone;
# - a face includes no header of a backend's system libraries either (X11, xcb, sd-bus,
#   libblkid): what belongs to a platform stays in its backend;
# - the fakes include no backend header;
# - tests include a backend header only under tests/platform/<that backend>/.
# Usage: cmake -DSOURCE_DIR=<repo> -P CheckLayering.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(backends linux win32)
set(backend_pattern "#[ \t]*include[ \t]*[\"<]platform/(linux|win32)/")
set(fake_pattern "#[ \t]*include[ \t]*[\"<]platform/fake/")
set(failures "")

# Every C/C++ source and header below `folder` (relative to the repository).
function(sources_below folder out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.hpp"
       "${SOURCE_DIR}/${folder}/*.c" "${SOURCE_DIR}/${folder}/*.cpp")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Adds "FILE: LINE" to the failures for each line of `file` that matches `pattern`.
function(refuse file pattern why)
  file(STRINGS "${file}" lines REGEX "${pattern}")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH relative "${SOURCE_DIR}" "${file}")
    list(APPEND failures "${relative}: ${line}  (${why})")
  endforeach()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

foreach(folder windows_rules registry_store app disk playback system picture rules resources
               faces quorvelctl)
  sources_below(${folder} files)
  foreach(file IN LISTS files)
    refuse("${file}" "${backend_pattern}" "a layer above the platform includes a backend")
    refuse("${file}" "${fake_pattern}" "a layer above the platform includes a fake")
  endforeach()
endforeach()

# The core: every folder that is neither a face nor a backend, nor its tests.
set(toolkit_pattern "#[ \t]*include[ \t]*<(Q[A-Za-z]*|qt[A-Za-z]*/.*|windows\\.h|commctrl\\.h|shellapi\\.h)>")
set(face_pattern "#[ \t]*include[ \t]*[\"<]faces/")
foreach(folder windows_rules registry_store app disk playback system picture rules resources
               quorvelctl)
  sources_below(${folder} files)
  foreach(file IN LISTS files)
    refuse("${file}" "${face_pattern}" "the core includes a face")
    refuse("${file}" "${toolkit_pattern}" "the core includes a toolkit or system header")
  endforeach()
endforeach()
file(GLOB interfaces "${SOURCE_DIR}/platform/*.h" "${SOURCE_DIR}/platform/*.cpp")
foreach(file IN LISTS interfaces)
  refuse("${file}" "${face_pattern}" "a platform interface includes a face")
  refuse("${file}" "${toolkit_pattern}" "a platform interface includes a toolkit or system header")
endforeach()

# A face includes nothing of another face, and no system library of a backend.
set(backend_library_pattern "#[ \t]*include[ \t]*<(xcb|X11|systemd|blkid|libudev)[/.]")
foreach(face qt win32)
  sources_below(faces/${face} files)
  foreach(file IN LISTS files)
    refuse("${file}" "${backend_library_pattern}" "a face includes a backend's system library")
    file(STRINGS "${file}" lines REGEX "#[ \t]*include[ \t]*[\"<]faces/")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "faces/${face}/")
        file(RELATIVE_PATH relative "${SOURCE_DIR}" "${file}")
        list(APPEND failures "${relative}: ${line}  (a face includes another face)")
      endif()
    endforeach()
  endforeach()
endforeach()

file(GLOB interfaces "${SOURCE_DIR}/platform/*.h" "${SOURCE_DIR}/platform/*.cpp")
foreach(file IN LISTS interfaces)
  refuse("${file}" "${backend_pattern}" "a platform interface includes a backend")
  refuse("${file}" "${fake_pattern}" "a platform interface includes a fake")
endforeach()

sources_below(platform/fake files)
foreach(file IN LISTS files)
  refuse("${file}" "${backend_pattern}" "a fake includes a backend")
endforeach()

sources_below(tests files)
foreach(file IN LISTS files)
  file(RELATIVE_PATH relative "${SOURCE_DIR}/tests" "${file}")
  set(allowed "")
  foreach(backend IN LISTS backends)
    if(relative MATCHES "^platform/${backend}/")
      set(allowed ${backend})
    endif()
  endforeach()
  foreach(backend IN LISTS backends)
    if(NOT backend STREQUAL allowed)
      refuse("${file}" "#[ \t]*include[ \t]*[\"<]platform/${backend}/"
             "only tests/platform/${backend}/ may include this backend")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Includes against the layering:\n${text}")
endif()
message(STATUS "Layering: no face, toolkit or backend header in the core, no backend in a face, no face in another")
