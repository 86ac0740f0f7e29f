# Checks the layering of the sources below ROOT and fails with every violation listed:
#   cmake -DROOT=<source folder> -P CheckLayers.cmake
#
# Layers from the bottom: platform < settings < render < engine < app < the front ends
# (app/console, app/qt, app/win32). A file includes headers of its own layer and the layers
# below it only, and a front end no other front end's. Nothing above the platform backends
# (platform/posix, platform/win32) includes an operating-system header or asks which system it
# is built for; only app/win32, the Win32 front end, includes the Win32 headers, and only app/qt
# a Qt header. The standard library and the processor's intrinsics headers are for everyone.

if(NOT ROOT)
  message(FATAL_ERROR "CheckLayers: ROOT is not set")
endif()

set(rank_platform 0)
set(rank_settings 1)
set(rank_render 2)
set(rank_engine 3)
set(rank_app 4)
set(rank_app/console 5)
set(rank_app/qt 5)
set(rank_app/win32 5)

# The module of a path below ROOT: its layer folder, or the front end's folder under app/.
function(module_of path out)
  if(path MATCHES "^app/(console|qt|win32)/")
    set(${out} "app/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^(platform|settings|render|engine|app)/")
    set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

set(violations "")
file(GLOB_RECURSE sources RELATIVE "${ROOT}"
     "${ROOT}/platform/*.h" "${ROOT}/platform/*.cpp" "${ROOT}/settings/*.h" "${ROOT}/settings/*.cpp"
     "${ROOT}/render/*.h" "${ROOT}/render/*.cpp" "${ROOT}/engine/*.h" "${ROOT}/engine/*.cpp"
     "${ROOT}/app/*.h" "${ROOT}/app/*.cpp")
list(SORT sources)
foreach(source IN LISTS sources)
  module_of("${source}" module)
  set(backend FALSE)
  if(source MATCHES "^platform/(posix|win32)/" OR module STREQUAL "app/win32")
    set(backend TRUE)
  endif()
  file(STRINGS "${ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*(include|if|ifdef|ifndef|elif)")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(header "${CMAKE_MATCH_1}")
      module_of("${header}" target)
      if(header MATCHES "^tests/")
        list(APPEND violations "${source}: includes the test header ${header}")
      elseif(target AND rank_${target} GREATER rank_${module})
        list(APPEND violations "${source}: ${module} reaches up to ${header}")
      elseif(target AND NOT target STREQUAL module AND rank_${target} EQUAL 5)
        list(APPEND violations "${source}: ${module} includes ${header} of another front end")
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      set(header "${CMAKE_MATCH_1}")
      if(header MATCHES "^Q")
        if(NOT module STREQUAL "app/qt")
          list(APPEND violations "${source}: only app/qt includes Qt (${header})")
        endif()
      elseif(header MATCHES "(\\.h|/)" AND NOT header MATCHES "^([a-z]*intrin\\.h|arm_[a-z0-9]+\\.h)$"
             AND NOT backend)
        list(APPEND violations "${source}: operating-system header <${header}> outside the platform backends")
      endif()
    elseif(line MATCHES "(_WIN32|_WIN64|__linux__|__unix__|__APPLE__|__MINGW32__|__CYGWIN__)"
           AND NOT backend)
      list(APPEND violations "${source}: asks which system it is built for: ${line}")
    endif()
  endforeach()
endforeach()

if(violations)
  list(JOIN violations "\n  " listed)
  message(FATAL_ERROR "Layering violations:\n  ${listed}")
endif()
