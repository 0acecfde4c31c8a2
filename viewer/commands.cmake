target_sources(qelvrin_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/latin1_case.cpp ${CMAKE_CURRENT_LIST_DIR}/latin1_case.h
  ${CMAKE_CURRENT_LIST_DIR}/viewed_file.h
  ${CMAKE_CURRENT_LIST_DIR}/search_scan.cpp ${CMAKE_CURRENT_LIST_DIR}/search_scan.h
  ${CMAKE_CURRENT_LIST_DIR}/search_command.cpp ${CMAKE_CURRENT_LIST_DIR}/search_command.h
  ${CMAKE_CURRENT_LIST_DIR}/font_command.cpp ${CMAKE_CURRENT_LIST_DIR}/font_command.h
  ${CMAKE_CURRENT_LIST_DIR}/print_pages.cpp ${CMAKE_CURRENT_LIST_DIR}/print_pages.h
  ${CMAKE_CURRENT_LIST_DIR}/help_text.cpp ${CMAKE_CURRENT_LIST_DIR}/help_text.h
)
target_sources(qelvrin_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/printer_page_sink.cpp ${CMAKE_CURRENT_LIST_DIR}/printer_page_sink.h
  ${CMAKE_CURRENT_LIST_DIR}/print_command.cpp ${CMAKE_CURRENT_LIST_DIR}/print_command.h
)
