# Helpers shared by every folder's tests, benchmarks and fuzz targets.

if(ORVANE_BUILD_TESTS)
    enable_testing()
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()

# orvane_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# One GoogleTest executable; every TEST becomes its own ctest entry.
function(orvane_add_test name)
    if(NOT ORVANE_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # Tests find their fixture files beside their sources and the built
    # programs in the program folder.
    target_compile_definitions(${name} PRIVATE
        ORVANE_TEST_DIR="${CMAKE_CURRENT_SOURCE_DIR}" ORVANE_BIN_DIR="${ORVANE_BIN_DIR}")
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "ORVANE_BIN_DIR=${ORVANE_BIN_DIR}")
endfunction()

# orvane_add_bench(<name> SOURCES <files...> [LIBS <targets...>])
function(orvane_add_bench name)
    if(NOT ORVANE_BUILD_BENCH)
        return()
    endif()
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    find_package(benchmark REQUIRED)
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# orvane_add_fuzzer(<name> SOURCES <files...> [LIBS <targets...>] [SEEDS <dirs...>])
# Built only in the fuzz preset; the executable is a libFuzzer binary in
# build/<preset>/fuzz/. The seed folders are listed in <name>.seeds beside
# it, one per line, for scripts/fuzz-smoke.
function(orvane_add_fuzzer name)
    if(NOT ORVANE_BUILD_FUZZ)
        return()
    endif()
    cmake_parse_arguments(F "" "" "SOURCES;LIBS;SEEDS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    list(JOIN F_SEEDS "\n" seeds)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.seeds "${seeds}\n")
endfunction()

# orvane_add_tests_in_folder(<prefix> [LIBS <targets...>])
# Makes one test executable <prefix>_<File> for every *Test.cpp in the
# current folder, linked with the static Korvex and the test support code.
function(orvane_add_tests_in_folder prefix)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
    foreach(src ${tests})
        get_filename_component(stem ${src} NAME_WE)
        orvane_add_test(${prefix}_${stem} SOURCES ${src}
                        LIBS korvex_static orvane_testing ${CMAKE_DL_LIBS} ${T_LIBS})
        if(TARGET ${prefix}_${stem})
            # Some tests load the shared library or run programs from the
            # program folder; build those first.
            add_dependencies(${prefix}_${stem} korvex)
        endif()
    endforeach()
endfunction()
