# A runtime directory of the test's own, private as the system's are, in <var>.
function(qelvrin_runtime_dir var name)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${name}.runtime)
  file(MAKE_DIRECTORY ${dir})
  file(CHMOD ${dir} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(${var} ${dir} PARENT_SCOPE)
endfunction()

# qelvrin_add_test(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>])
# One QtTest executable per test, registered with CTest, run offscreen with a
# private runtime directory so Qt stays quiet.
function(qelvrin_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE qelvrin_testsupport Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  qelvrin_runtime_dir(runtime_dir ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${runtime_dir};QELVRIN_END_PAUSE_MS=50;QELVRIN_STANDIN=$<$<TARGET_EXISTS:qelvrin-sas>:$<TARGET_FILE:qelvrin-sas>>"
    TIMEOUT 300)
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# qelvrin_add_x11_test(<name> <label> <timeout> <script> [args...])
# A script run as bash BIN_DIR ARTIFACTS_DIR args...; both programs must be built.
function(qelvrin_add_x11_test name label timeout script)
  add_test(NAME ${name} COMMAND bash ${script} $<TARGET_FILE_DIR:qelvrin> ${CMAKE_BINARY_DIR}/e2e-artifacts/${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT ${timeout}
                       REQUIRED_FILES "$<TARGET_FILE:qelvrin>;$<TARGET_FILE:qelvrin-sas>")
endfunction()

# qelvrin_add_script_test(<name> <label> <timeout> <script> [args...])
# A script that runs the built backlog tool, batch runner and stand-in, with a
# runtime directory of its own.
function(qelvrin_add_script_test name label timeout script)
  add_test(NAME ${name} COMMAND ${script} ${ARGN})
  qelvrin_runtime_dir(runtime_dir ${name})
  set_tests_properties(${name} PROPERTIES LABELS ${label} TIMEOUT ${timeout}
    ENVIRONMENT "XDG_RUNTIME_DIR=${runtime_dir};QELVRIN_END_PAUSE_MS=50;QELVRIN_STANDIN=$<TARGET_FILE:qelvrin-sas>"
    REQUIRED_FILES "$<TARGET_FILE:qelvrin-backlog>;$<TARGET_FILE:qelvrin-batch>;$<TARGET_FILE:qelvrin-sas>")
endfunction()
