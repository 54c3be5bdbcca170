# Installs the build into a temporary prefix and checks what arrived: the two programs (and the
# card maker and the evidence maker the command runs beside it), a valid .desktop entry and the
# icon in every hicolor size, each PNG as large as its folder says. Run with -DBUILD=... -DPREFIX=... -DSIZES=16;24;...
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

file(GLOB_RECURSE arrived RELATIVE ${PREFIX} ${PREFIX}/*)
list(SORT arrived)
string(REPLACE ";" "\n  " listing "${arrived}")
message(STATUS "installed:\n  ${listing}")

set(expected bin/cartena bin/cartena-evidence bin/cartena-make-sample-card bin/cartena-manager share/applications/cartena-manager.desktop)
foreach(size IN LISTS SIZES)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/cartena-manager.png)
endforeach()
list(SORT expected)
if(NOT arrived STREQUAL expected)
  message(FATAL_ERROR "expected:\n  ${expected}\ngot:\n  ${arrived}")
endif()

foreach(program cartena cartena-evidence cartena-make-sample-card cartena-manager)
  execute_process(COMMAND test -x ${PREFIX}/bin/${program} RESULT_VARIABLE notExecutable)
  if(notExecutable)
    message(FATAL_ERROR "bin/${program} is not executable")
  endif()
endforeach()

execute_process(COMMAND desktop-file-validate ${PREFIX}/share/applications/cartena-manager.desktop
                RESULT_VARIABLE invalid OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
if(invalid OR complaints)
  message(FATAL_ERROR "desktop-file-validate: ${complaints}")
endif()

# A PNG's width and height are the two big-endian words after its IHDR tag.
foreach(size IN LISTS SIZES)
  file(READ ${PREFIX}/share/icons/hicolor/${size}x${size}/apps/cartena-manager.png header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 32 16 dimensions)
  string(SUBSTRING "${dimensions}" 0 8 widthHex)
  string(SUBSTRING "${dimensions}" 8 8 heightHex)
  math(EXPR width "0x${widthHex}")
  math(EXPR height "0x${heightHex}")
  if(NOT width EQUAL size OR NOT height EQUAL size OR NOT header MATCHES "^89504e47")
    message(FATAL_ERROR "the ${size}x${size} icon is ${width}x${height} (${header})")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
