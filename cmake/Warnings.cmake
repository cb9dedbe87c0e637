# Warnings for our own targets only; third-party headers are system includes.
add_library(ph_warnings INTERFACE)
target_compile_options(ph_warnings INTERFACE -Wall -Wextra)
