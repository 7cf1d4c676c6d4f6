# Builds the Debian package from the build folder and reads it back: its name, the files a user's desktop
# needs, and Depends worked out from the libraries the programs link.
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUTPUT}
                RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${log}")
endif()
file(GLOB packages ${OUTPUT}/quenary_${VERSION}_*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one quenary_${VERSION}_<arch>.deb, found: ${packages}")
endif()
execute_process(COMMAND dpkg-deb --contents ${packages} OUTPUT_VARIABLE contents)
foreach(file usr/bin/quenary usr/bin/quenary-ledger usr/share/quenary/qnynumb.html
             usr/share/icons/hicolor/scalable/apps/quenary.svg usr/share/applications/quenary.desktop
             usr/share/metainfo/io.example.quenary.metainfo.xml usr/share/man/man1/quenary.1.gz
             usr/share/man/man1/quenary-ledger.1.gz usr/share/applications/quenary-ledger.desktop
             usr/share/doc/quenary/changelog.gz usr/share/doc/quenary/copyright)
  if(NOT contents MATCHES "\\./${file}\n")
    message(FATAL_ERROR "the package lacks ${file}:\n${contents}")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb --field ${packages} Depends OUTPUT_VARIABLE depends)
foreach(dependency libqt6core6 libqt6widgets6 libqt6printsupport6 libqt6sql6 libqt6sql6-sqlite libcups2
                   libjpeg qt6-qpa-plugins fonts-liberation2)
  if(NOT depends MATCHES "${dependency}")
    message(FATAL_ERROR "Depends lacks ${dependency}: ${depends}")
  endif()
endforeach()
# Installed with dpkg into a scratch root (its dependencies are this machine's own), the program is on the
# path and answers; removed again, nothing of it is left.
set(root ${OUTPUT}/root)
file(MAKE_DIRECTORY ${root}/var/lib/dpkg/updates ${root}/var/lib/dpkg/info)
file(TOUCH ${root}/var/lib/dpkg/status)
execute_process(COMMAND dpkg --root=${root} --log=/dev/null --force-depends -i ${packages}
                RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg -i into a scratch root failed:\n${log}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "PATH=${root}/usr/bin:$ENV{PATH}"
                        quenary --total Ada
                RESULT_VARIABLE result OUTPUT_VARIABLE answer ERROR_VARIABLE log)
if(NOT result EQUAL 0 OR NOT answer MATCHES "^6\n")
  message(FATAL_ERROR "the installed quenary --total Ada answered ${result}: ${answer}${log}")
endif()
execute_process(COMMAND dpkg --root=${root} --log=/dev/null -r quenary RESULT_VARIABLE result OUTPUT_QUIET
                ERROR_QUIET)
file(GLOB_RECURSE left LIST_DIRECTORIES false ${root}/usr/*)
if(NOT result EQUAL 0 OR left)
  message(FATAL_ERROR "dpkg -r left: ${left}")
endif()
# The library's package holds the library, its headers and its CMake package.
file(GLOB development ${OUTPUT}/quenary-dev_${VERSION}_*.deb)
execute_process(COMMAND dpkg-deb --contents ${development} OUTPUT_VARIABLE contents)
foreach(file QuenaryPrint/QuenaryPrintConfig.cmake QuenaryPrint/QuenaryPrintConfigVersion.cmake
             include/quenary/print/engine/DBPrnWin.h include/quenary/platform/Printers.h
             libquenary_print_engine.a doc/quenary-dev/changelog.gz doc/quenary-dev/copyright)
  if(NOT contents MATCHES "${file}\n")
    message(FATAL_ERROR "the library's package lacks ${file}:\n${contents}")
  endif()
endforeach()
# Debian's own checker finds no error and no warning in either package (where it is installed).
find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND ${LINTIAN} --fail-on error,warning ${packages} ${development}
                  RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lintian finds fault with the packages:\n${log}${errors}")
  endif()
endif()
file(REMOVE_RECURSE ${OUTPUT})
