# The simulated meter behind a pseudo-terminal and behind a TCP listener, and metersim, the
# program that starts it by hand.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Network)
target_sources(planora_meter_sim PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MeterPtyHost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PtyLineSpeed.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MeterTcpHost.cpp)
target_link_libraries(planora_meter_sim PUBLIC Qt6::Core Qt6::Network util)

add_executable(metersim ${CMAKE_CURRENT_LIST_DIR}/metersim.cpp)
target_link_libraries(metersim PRIVATE planora_meter_sim Qt6::Core)
set_target_properties(metersim PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
