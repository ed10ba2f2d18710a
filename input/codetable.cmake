# The default code table "mb/五笔.txt" beside the program, generated from the Wubi 86 dictionary of
# the Debian package rime-data-wubi (see tools/gencodetable.cpp for the line order).
# The dictionary is the one typing/codedata.cmake found for the default code file.

add_executable(tavrel_gencodetable ${CMAKE_SOURCE_DIR}/tools/gencodetable.cpp)
target_link_libraries(tavrel_gencodetable PRIVATE Qt5::Core)
set_target_properties(tavrel_gencodetable PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

set(TAVREL_DEFAULT_CODE_TABLE ${CMAKE_BINARY_DIR}/mb/五笔.txt)
add_custom_command(OUTPUT ${TAVREL_DEFAULT_CODE_TABLE}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/mb
                   COMMAND tavrel_gencodetable ${TAVREL_WUBI86_DICT} ${TAVREL_DEFAULT_CODE_TABLE}
                   DEPENDS tavrel_gencodetable ${TAVREL_WUBI86_DICT}
                   COMMENT "Generating the default code table mb/五笔.txt")
add_custom_target(tavrel_codetable ALL DEPENDS ${TAVREL_DEFAULT_CODE_TABLE})
