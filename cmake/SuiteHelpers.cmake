# Two small helpers per program keep the target lists short:
#   add_<program>_library(name SOURCES ... PUBLIC ... PRIVATE ...)
#   add_<program>_test(name SOURCES ... LIBS ... LABELS unit|gui|sound|interop [TIMEOUT s])
# A test labelled "sound" requires the sound-server fixture and has the server to itself: tests
# that play, record or turn the volume would otherwise hear one another through its one sink.

function(suite_add_library name include_root)
    cmake_parse_arguments(A "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} STATIC ${A_SOURCES})
    target_include_directories(${name} PUBLIC
        $<BUILD_INTERFACE:${include_root}>
        $<INSTALL_INTERFACE:include>)
    target_link_libraries(${name} PUBLIC ${A_PUBLIC} PRIVATE ${A_PRIVATE})
endfunction()

function(suite_add_test name test_main)
    cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${A_SOURCES} ${test_main})
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest Qt6::Test)
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "${A_LABELS}"
        TIMEOUT ${A_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SUITE_SOURCE_DIR=${CMAKE_SOURCE_DIR};SUITE_BINARY_DIR=${CMAKE_BINARY_DIR}")
    if("sound" IN_LIST A_LABELS)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED sound_server RESOURCE_LOCK sound_server)
    endif()
endfunction()

macro(add_korvo_library name)
    suite_add_library(${name} ${PROJECT_SOURCE_DIR}/player ${ARGN})
endmacro()

macro(add_korvo_test name)
    suite_add_test(${name} ${PROJECT_SOURCE_DIR}/player/tests/testmain.cpp ${ARGN})
endmacro()

macro(add_wlpro_library name)
    suite_add_library(${name} ${PROJECT_SOURCE_DIR}/editor ${ARGN})
endmacro()

macro(add_wlpro_test name)
    suite_add_test(${name} ${PROJECT_SOURCE_DIR}/editor/tests/testmain.cpp ${ARGN})
    # The editor's test entry installs the desktop's clipboard, as the program does.
    target_link_libraries(${name} PRIVATE wlpro_qtclipboard)
endmacro()
