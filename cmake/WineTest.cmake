# Test programs are Windows executables; ctest runs them under Wine through
# scripts/wine-run.sh, which needs the session started by scripts/wine-session.sh.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh")
set(QUILL_TEST_WORK_ROOT "${CMAKE_BINARY_DIR}/test-work")

# quill_add_test(<name> SOURCES ... [LIBS ...] [ISOLATED] [OWN_DISPLAY] [CJK_FALLBACK] [ATTEMPTS n] [TIMEOUT s]
#                [LABELS ...] [RESOURCE_LOCK ...] [ARGS ...] [DPI d ...])
#   ISOLATED  the program changes machine state (registry, ProgramData, installed
#             packages) and runs in a fresh copy of the template prefix.
#   OWN_DISPLAY  the program sends real keyboard or mouse input, or needs its windows to keep
#             the focus (drop-downs and edit windows close when they lose it): it runs isolated on an X display of its own, so windows of tests
#             running beside it cannot take the focus away.
#   CJK_FALLBACK  the program shows the installer's windows: it runs isolated in a prefix whose
#             default fonts fall back to the Chinese font, as on a Chinese desktop.
#   DPI       the program runs once per value, as test <name>_<d>, isolated in a prefix whose
#             screen has d dots per inch (set before it starts, in QUILL_WINE_DPI too).
#   ATTEMPTS  with ISOLATED: a failed run is repeated in a new prefix, up to n runs in all.
#             Only for programs that drive Wine's own Windows Installer, whose rare
#             failures under load are Wine's; every failed run's output stays in the log.
# Each test runs in a working folder of its own (the setup log lands in the current folder).
function(quill_add_test name)
  cmake_parse_arguments(T "ISOLATED;OWN_DISPLAY;CJK_FALLBACK" "TIMEOUT;ATTEMPTS" "SOURCES;LIBS;LABELS;RESOURCE_LOCK;ARGS;DPI" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE quill_test_support GTest::gtest GTest::gmock ${T_LIBS})
  set(env "")
  if(T_CJK_FALLBACK)
    set(T_ISOLATED ON)
    list(APPEND env "QUILL_WINE_TEMPLATE=template-cjk")
  endif()
  if(T_OWN_DISPLAY)
    set(T_ISOLATED ON)
    list(APPEND env "QUILL_WINE_OWN_DISPLAY=1")
  endif()
  if(T_DPI)
    set(T_ISOLATED ON)
  endif()
  if(T_ISOLATED)
    list(APPEND env "QUILL_WINE_ISOLATE=1")
    if(T_ATTEMPTS)
      list(APPEND env "QUILL_TEST_ATTEMPTS=${T_ATTEMPTS}")
    endif()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # One run, or one per DPI ("-": the screen as the template has it).
  set(dpis "${T_DPI}")
  if(NOT dpis)
    set(dpis "-")
  endif()
  foreach(dpi IN LISTS dpis)
    set(test ${name})
    set(run_env ${env})
    if(NOT dpi STREQUAL "-")
      set(test ${name}_${dpi})
      list(APPEND run_env "QUILL_WINE_DPI=${dpi}")
    endif()
    add_test(NAME ${test} COMMAND ${name} ${T_ARGS})
    set(work "${QUILL_TEST_WORK_ROOT}/${test}")
    file(MAKE_DIRECTORY "${work}")
    list(APPEND run_env "QUILL_TEST_WORK=${work}")
    set_tests_properties(${test} PROPERTIES
      WORKING_DIRECTORY "${work}"
      ENVIRONMENT "${run_env}"
      TIMEOUT ${T_TIMEOUT}
      LABELS "${T_LABELS}")
    if(T_RESOURCE_LOCK)
      set_tests_properties(${test} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
    endif()
  endforeach()
endfunction()
