# The default code file "编码文件/86.txt" beside the program, generated from the Wubi 86 dictionary
# of the Debian package rime-data-wubi (see tools/gencodefile.cpp for the line order).
find_file(TAVREL_WUBI86_DICT wubi86.dict.yaml PATHS /usr/share/rime-data NO_DEFAULT_PATH)
if(NOT TAVREL_WUBI86_DICT)
    message(FATAL_ERROR "/usr/share/rime-data/wubi86.dict.yaml not found: the package rime-data-wubi is needed "
                        "for the default code file (./test.sh and ./run.sh install it)")
endif()

add_executable(tavrel_gencodefile ${CMAKE_SOURCE_DIR}/tools/gencodefile.cpp)
target_link_libraries(tavrel_gencodefile PRIVATE Qt5::Core)
# Header-only steps by character, shared with the program.
target_include_directories(tavrel_gencodefile PRIVATE ${CMAKE_SOURCE_DIR})
set_target_properties(tavrel_gencodefile PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

set(TAVREL_DEFAULT_CODE_FILE ${CMAKE_BINARY_DIR}/编码文件/86.txt)
add_custom_command(OUTPUT ${TAVREL_DEFAULT_CODE_FILE}
                   COMMAND tavrel_gencodefile ${TAVREL_WUBI86_DICT} ${TAVREL_DEFAULT_CODE_FILE}
                   DEPENDS tavrel_gencodefile ${TAVREL_WUBI86_DICT}
                   COMMENT "Generating the default code file 编码文件/86.txt")
add_custom_target(tavrel_codedata ALL DEPENDS ${TAVREL_DEFAULT_CODE_FILE})
