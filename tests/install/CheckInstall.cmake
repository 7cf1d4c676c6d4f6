cmake_policy(SET CMP0057 NEW)
# Installs the build into a scratch prefix and checks that each file lands where the desktop looks for it.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected bin/quenary share/quenary/qnynumb.html share/icons/hicolor/scalable/apps/quenary.svg
             share/applications/quenary.desktop share/metainfo/io.example.quenary.metainfo.xml
             share/man/man1/quenary.1.gz bin/quenary-ledger share/man/man1/quenary-ledger.1.gz
             share/applications/quenary-ledger.desktop)
foreach(file ${expected})
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "missing after installation: ${file}")
  endif()
endforeach()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
foreach(program quenary quenary-ledger)
  file(STRINGS ${PREFIX}/share/applications/${program}.desktop entry)
  if(NOT "Icon=quenary" IN_LIST entry OR NOT "Exec=${program}" IN_LIST entry)
    message(FATAL_ERROR "the desktop entry of ${program} does not name the installed program and icon")
  endif()
  if(DESKTOP_FILE_VALIDATE)
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${PREFIX}/share/applications/${program}.desktop
                    RESULT_VARIABLE valid)
    if(NOT valid EQUAL 0)
      message(FATAL_ERROR "desktop-file-validate refuses the installed entry of ${program}")
    endif()
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
