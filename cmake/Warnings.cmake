# Warnings for our own targets only; third-party headers are system includes. CI builds turn them
# into errors (PH_WERROR, on in test.sh).
option(PH_WERROR "Treat compiler warnings as errors" OFF)
add_library(ph_warnings INTERFACE)
target_compile_options(ph_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
                                             -Woverloaded-virtual)
if(PH_WERROR)
  target_compile_options(ph_warnings INTERFACE -Werror)
endif()
