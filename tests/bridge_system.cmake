# Process and directory built-ins beyond what the .cases files express, and the examples that
# use them and the mathematics built-ins.
foreach(test example.ls:listing e2e.bridge_signals:signals)
  string(REPLACE ":" ";" parts ${test})
  list(GET parts 0 name)
  list(GET parts 1 check)
  add_test(NAME ${name}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/bridge_system_checks.py
                   $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/examples ${check})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endforeach()

add_test(NAME example.reals
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/run_example.py
                 $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/examples/reals.tarn 0
                 ${CMAKE_CURRENT_SOURCE_DIR}/examples/reals.stdout)
