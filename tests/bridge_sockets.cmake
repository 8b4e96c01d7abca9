# Socket built-ins against real peers on loopback, and the socket examples driven by real clients
# and servers.
add_test(NAME e2e.bridge_sockets
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/bridge_sockets.py
                 $<TARGET_FILE:tarn>)
set_tests_properties(e2e.bridge_sockets PROPERTIES TIMEOUT 300)

foreach(example echo_server http_get)
  add_test(NAME example.${example}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/socket_examples.py
                   $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/examples ${example})
  set_tests_properties(example.${example} PROPERTIES TIMEOUT 120)
endforeach()
