# The example programs that talk to the world, each with its exact output and status.
set(example_dir ${PROJECT_SOURCE_DIR}/examples)
set(expected_dir ${CMAKE_CURRENT_SOURCE_DIR}/examples)

# The arguments after the program are given to it; "--stdin FILE" first feeds it that file.
function(add_io_example name status expected program)
  add_test(NAME example.${name}
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/run_example.py
                   $<TARGET_FILE:tarn> ${example_dir}/${program} ${status} ${expected} ${ARGN})
endfunction()

add_io_example(hello 0 ${expected_dir}/hello.stdout hello.tarn)
add_io_example(echo 0 ${expected_dir}/echo.stdout echo.tarn one "two  words" three)
add_io_example(echo_nothing 0 ${expected_dir}/echo_nothing.stdout echo.tarn)
# cat of a file holding every byte value, and of a file that is not there.
add_io_example(cat 0 ${expected_dir}/all_bytes.bin cat.tarn ${expected_dir}/all_bytes.bin)
add_io_example(cat_missing 1 ${expected_dir}/empty.stdout cat.tarn ${expected_dir}/no_such_file)
add_io_example(wc 0 ${expected_dir}/wc.stdout wc.tarn --stdin ${expected_dir}/wc_input.txt)
add_io_example(wc_empty 0 ${expected_dir}/wc_empty.stdout wc.tarn)
