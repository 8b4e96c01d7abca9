# Documentation that runs: every program of the guide, and every example as its README shows it.
add_test(NAME docs.guide
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/run_console_blocks.py
                 $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/docs/guide.md)
add_test(NAME docs.examples
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/run_console_blocks.py
                 $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/examples/README.md
                 ${PROJECT_SOURCE_DIR})
# The editor grammars load and name every built-in of the registry.
add_test(NAME docs.editors
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/check_editors.py
                 ${PROJECT_SOURCE_DIR})
set_tests_properties(docs.guide docs.examples docs.editors PROPERTIES TIMEOUT 600)
# The manual page names the version that the binary reports.
add_test(NAME docs.man_version
         COMMAND sh -c "grep -q \"\\\"$(\"$0\" --version)\\\"\" \"$1\""
                 $<TARGET_FILE:tarn> ${PROJECT_SOURCE_DIR}/man/tarn.1)
# The runner itself fails a page whose program does not do what the page shows.
add_test(NAME docs.runner_rejects_wrong_output
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/run_console_blocks.py
                 $<TARGET_FILE:tarn> ${CMAKE_CURRENT_SOURCE_DIR}/docs/wrong_output.md)
set_tests_properties(docs.runner_rejects_wrong_output PROPERTIES WILL_FAIL TRUE)
# The reference lists every built-in once with its arity.
add_test(NAME docs.reference
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/check_reference.py
                 ${PROJECT_SOURCE_DIR})
