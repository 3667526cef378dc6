# Flags shared by every target of ours (not by the third-party libraries).
add_library(quill_build_settings INTERFACE)
target_compile_definitions(quill_build_settings INTERFACE
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800
  $<$<CONFIG:Debug>:_DEBUG>)
target_compile_options(quill_build_settings INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wno-missing-field-initializers>)
# Everything linked in statically, so the exe needs no MinGW runtime DLLs next to it.
target_link_options(quill_build_settings INTERFACE -static -static-libgcc -static-libstdc++)
# Release: every user downloads the installer, so code nothing reaches is left out of it and the
# rest is built for size (the bulk work, hashing, inflating and the transfer, runs in the
# system's and the libraries' code; the UI thread mostly waits).
target_compile_options(quill_build_settings INTERFACE
  $<$<AND:$<CONFIG:Release>,$<COMPILE_LANGUAGE:C,CXX>>:-Os -ffunction-sections -fdata-sections>)
target_link_options(quill_build_settings INTERFACE $<$<CONFIG:Release>:-Wl,--gc-sections>)
