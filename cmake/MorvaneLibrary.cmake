# morvane_library(NAME DIR [DEPS ...]): a static library of every .cpp under DIR,
# its headers reachable as "<dir-name>/<Header>.h" from src/. Position-independent, so that the
# shared server library links them in, and with hidden symbols, so that this costs nothing.
function(morvane_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)
    if(ARG_DEPS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    endif()
endfunction()

# morvane_gtest(NAME LIBS...): one test binary of every .cpp under DIR, with tests/support.
function(morvane_gtest name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} morvane_test_support_gtest GTest::gtest GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        # One test per program: each start of the emulator costs time.
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
endfunction()

# morvane_qtest(PREFIX LIBS...): one Qt Test program per .cpp under the current folder, with
# tests/support.
function(morvane_qtest prefix)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    foreach(src ${sources})
        get_filename_component(stem ${src} NAME_WE)
        set(target ${prefix}_${stem})
        add_executable(${target} ${src})
        target_link_libraries(${target} PRIVATE ${ARG_LIBS} morvane_test_support_qt Qt6::Test)
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endforeach()
endfunction()
