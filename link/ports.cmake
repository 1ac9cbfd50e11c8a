# The ports of the program: serial (QSerialPort), USB (libftdi1), TCP/IP (QTcpSocket), and the
# one port object made for the chosen port number.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Network SerialPort)
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBFTDI1 REQUIRED IMPORTED_TARGET libftdi1)
add_library(planora_ports STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Eventpump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Portctl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Portcom.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ftdidevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Portusb.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Portip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ports.cpp)
target_link_libraries(planora_ports
  PUBLIC planora_portvirt Qt6::Core
  PRIVATE Qt6::Network Qt6::SerialPort PkgConfig::LIBFTDI1)
target_link_libraries(planora_link INTERFACE planora_ports)
