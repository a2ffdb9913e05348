# Project-wide warning and sanitizer flags, applied through one interface target
# so third-party code pulled in later is not affected.
add_library(vellumet_flags INTERFACE)
target_compile_options(vellumet_flags INTERFACE -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor)
if(VELLUMET_WERROR)
  target_compile_options(vellumet_flags INTERFACE -Werror)
endif()
# Qt's own headers carry the deprecation attributes we do not control.
target_compile_definitions(vellumet_flags INTERFACE QT_NO_KEYWORDS)

if(VELLUMET_SANITIZE AND VELLUMET_TSAN)
  message(FATAL_ERROR "Choose either the address or the thread sanitizer, not both")
endif()
if(VELLUMET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VELLUMET_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
