# Extreme program texts, running out of memory, and links planted at the fixed file paths.
set(hardening_flags)
if(TARN_SANITIZE)
  list(APPEND hardening_flags --sanitized)
endif()
add_test(NAME e2e.hardening
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hardening.py
                 $<TARGET_FILE:tarn> ${hardening_flags})
set_tests_properties(e2e.hardening PROPERTIES TIMEOUT 1200)
