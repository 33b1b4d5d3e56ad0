# The readers of the spreadsheet import: .xlsx (minizip and Qt's XML reader),
# .xls (libfreexl) and CSV (ICU's charset detector), into one kind of table.
# Qt Core only: the readers run off the window thread and in the fuzz build.
find_package(Qt6 REQUIRED COMPONENTS Core)
find_package(ICU REQUIRED COMPONENTS uc i18n)
find_package(ZLIB REQUIRED)
# Debian ships pkg-config files for both, no CMake ones.
find_path(MINIZIP_INCLUDE_DIR minizip/unzip.h REQUIRED)
find_library(MINIZIP_LIBRARY minizip REQUIRED)
find_path(FREEXL_INCLUDE_DIR freexl.h REQUIRED)
find_library(FREEXL_LIBRARY freexl REQUIRED)

add_library(vantorel_sheet_readers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/sheet_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zip_package.cpp
  ${CMAKE_CURRENT_LIST_DIR}/unpack_ahead.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xml_scanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xlsx_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xls_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csv_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheet_reader.cpp
)
vantorel_expose_headers(vantorel_sheet_readers)

# Result<T> comes with the records library; nothing else of it is used here.
target_include_directories(vantorel_sheet_readers PRIVATE ${MINIZIP_INCLUDE_DIR} ${FREEXL_INCLUDE_DIR})
find_package(Threads REQUIRED)
target_link_libraries(vantorel_sheet_readers PUBLIC vantorel_records Qt6::Core Threads::Threads
                      PRIVATE ICU::i18n ICU::uc ${MINIZIP_LIBRARY} ZLIB::ZLIB ${FREEXL_LIBRARY})
