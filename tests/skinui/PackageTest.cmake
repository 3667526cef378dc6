# The framework as a library for other programs: installs it (and skinview, its previewer) from
# the build tree into a prefix of its own, configures and builds examples/hello against that
# prefix as a separate project with the same toolchain file, and runs `hello --selftest` under
# Wine.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DTOOLCHAIN=... -DWORK_DIR=... -P PackageTest.cmake
foreach(variable BUILD_DIR SOURCE_DIR TOOLCHAIN WORK_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()
set(prefix "${WORK_DIR}/prefix")
set(hello_build "${WORK_DIR}/hello-build")
file(REMOVE_RECURSE "${prefix}" "${hello_build}")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component skinui
                        --prefix "${prefix}"
                COMMAND_ERROR_IS_FATAL ANY)
foreach(installed include/skinui/Core/UIManager.h lib/libskinui.a lib/cmake/skinui/skinuiConfig.cmake
                  bin/skinview.exe)
  if(NOT EXISTS "${prefix}/${installed}")
    message(FATAL_ERROR "the installed package lacks ${installed}")
  endif()
endforeach()
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}/examples/hello" -B "${hello_build}"
                        -G Ninja "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN}" -DCMAKE_BUILD_TYPE=Release
                        "-Dskinui_DIR=${prefix}/lib/cmake/skinui"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${hello_build}" COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND "${SOURCE_DIR}/scripts/wine-run.sh" "${hello_build}/hello.exe" --selftest
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "hello --selftest ended with ${result}")
endif()
