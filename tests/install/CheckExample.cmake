# The example is a program of its own: it finds the library installed in a scratch prefix (and nothing of
# this build tree), builds against it, prints its forms into PDF files offscreen, and the PDFs are read back.
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK}/prefix RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
# Configures and builds an example in WORK/<name> against the scratch prefix alone.
function(build_example name)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/${name} -B ${WORK}/${name} -G Ninja
                          -DCMAKE_PREFIX_PATH=${WORK}/prefix -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
                  RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the example ${name} does not configure against the installed library:\n${log}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/${name} RESULT_VARIABLE result OUTPUT_VARIABLE log
                  ERROR_VARIABLE log)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the example ${name} does not build against the installed library:\n${log}")
  endif()
endfunction()
build_example(form-printing)
build_example(invoice)
# Runs the example with its arguments and reads its PDF back: every text given must be in it.
function(check_printout pdf arguments)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${WORK}/form-printing/form-printing
                          ${arguments} ${WORK}/${pdf}
                  RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "the example failed printing ${pdf}: ${result}\n${log}")
  endif()
  execute_process(COMMAND pdftotext ${WORK}/${pdf} - OUTPUT_VARIABLE text)
  # The library's own PDF writer wrote it: a sound file with the text Qt's writer gives the same pages.
  execute_process(COMMAND qpdf --check ${WORK}/${pdf} RESULT_VARIABLE result OUTPUT_VARIABLE log)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "qpdf finds the example's ${pdf} unsound:\n${log}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QUENARY_PDF_WRITER=qt
                          ${WORK}/form-printing/form-printing ${arguments} ${WORK}/qt-${pdf} RESULT_VARIABLE result)
  execute_process(COMMAND pdftotext ${WORK}/qt-${pdf} - OUTPUT_VARIABLE qtText)
  if(NOT result EQUAL 0 OR NOT text STREQUAL qtText)
    message(FATAL_ERROR "the example's ${pdf} reads otherwise through Qt's writer:\n${text}\n---\n${qtText}")
  endif()
  foreach(words ${ARGN})
    string(FIND "${text}" "${words}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the example's ${pdf} lacks \"${words}\":\n${text}")
    endif()
  endforeach()
endfunction()

check_printout(order.pdf "" "Order 4711" "Counting House Ltd." "Item 1\n" "Item 120\n" "2,762.50")
# The same order as a form of Qt's stock widgets: its texts, every line of its table and the running sum.
check_printout(stock.pdf --stock "Order 4712" "Counting House Ltd." "2027-01-15" "Express delivery" "Item 1\n"
               "Item 120\n" "9,075.00" "Deliver to the back door.")
# The invoice of stock widgets, printed through FormPrinter with its letterhead on the first page only, is
# read back: every line once, each page's total and the running total, page 2 starting at the top, every word
# inside the printable area.
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${WORK}/invoice/invoice
                        ${WORK}/invoice.pdf RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the invoice example failed: ${result}\n${log}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${READBACK} ${WORK}/invoice.pdf
                RESULT_VARIABLE result OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the invoice example's PDF reads wrong:\n${log}")
endif()
file(REMOVE_RECURSE ${WORK})
