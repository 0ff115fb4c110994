cmake_minimum_required(VERSION 3.22)

# Installs the build into a scratch prefix and checks what a desktop needs:
# the program, its menu entry, the ".kstx" type and the icons in every size.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DICON_SIZES="16;22;..." -P InstallCheck.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

function(require_file path)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endfunction()

function(require_line path line)
  file(STRINGS ${PREFIX}/${path} lines ENCODING UTF-8)
  if(NOT line IN_LIST lines)
    message(FATAL_ERROR "${path} has no line \"${line}\"")
  endif()
endfunction()

require_file(bin/kostimer)

set(desktop share/applications/kostimer.desktop)
require_file(${desktop})
foreach(line "[Desktop Entry]" "Type=Application" "Name=Kostimer" "Exec=kostimer %f" "Icon=kostimer"
             "MimeType=application/x-kostimer-project;")
  require_line(${desktop} "${line}")
endforeach()
file(STRINGS ${PREFIX}/${desktop} comment REGEX "^Comment=" ENCODING UTF-8)
if(NOT comment MATCHES "Výpočty .*antropologie")
  message(FATAL_ERROR "the desktop entry's comment is not the Czech one: ${comment}")
endif()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/${desktop} RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate: ${out}")
  endif()
endif()

set(mime share/mime/packages/kostimer.xml)
require_file(${mime})
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
  # The database built from our file alone maps "*.kstx" to our type.
  execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${PREFIX}/share/mime RESULT_VARIABLE result
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0 OR out MATCHES "[Ee]rror")
    message(FATAL_ERROR "update-mime-database: ${out}")
  endif()
  file(STRINGS ${PREFIX}/share/mime/globs2 globs REGEX "kstx")
  if(NOT globs MATCHES "application/x-kostimer-project:\\*\\.kstx")
    message(FATAL_ERROR "globs2 does not map *.kstx: ${globs}")
  endif()
else()
  file(READ ${PREFIX}/${mime} xml)
  if(NOT xml MATCHES "type=\"application/x-kostimer-project\"" OR NOT xml MATCHES "pattern=\"\\*\\.kstx\"")
    message(FATAL_ERROR "${mime} does not declare *.kstx")
  endif()
endif()

# A PNG's size is in its IHDR chunk: 4 bytes of width, then of height, from byte 16.
foreach(size IN LISTS ICON_SIZES)
  set(icon share/icons/hicolor/${size}x${size}/apps/kostimer.png)
  require_file(${icon})
  file(READ ${PREFIX}/${icon} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR expected "${size}" OUTPUT_FORMAT HEXADECIMAL)
  string(REPLACE "0x" "" expected "${expected}")
  string(LENGTH "${expected}" digits)
  math(EXPR pad "8 - ${digits}")
  string(REPEAT "0" ${pad} zeros)
  set(expected "${zeros}${expected}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width STREQUAL expected OR NOT height STREQUAL expected)
    message(FATAL_ERROR "${icon} is no ${size} x ${size} PNG (${header})")
  endif()
endforeach()
