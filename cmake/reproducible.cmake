# The same sources give the same bytes, wherever and whenever they are built.
# The linker writes 0 as the PE header's time stamp instead of the time of the
# link (the shipped program is stripped by the link itself, -s, so no later
# strip stamps it again); __DATE__, __TIME__ and __TIMESTAMP__ are errors;
# file names that reach the program (__FILE__, debug information) are written
# relative to the source and build folders.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror=date-time>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>
                    $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>)
