# One place for the compile policy of every target of ours.
# Warnings are errors with the compilers the project is built with (g++ 12, clang 14); someone
# building with another compiler, whose new warnings are no fault of the code, can turn that off.
option(QUOR_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" ON)
add_library(quor_policy INTERFACE)
target_compile_features(quor_policy INTERFACE cxx_std_20)
target_compile_options(quor_policy INTERFACE
    -Wall -Wextra -pedantic -Wnon-virtual-dtor -Woverloaded-virtual -Wshadow
    $<$<BOOL:${QUOR_WARNINGS_AS_ERRORS}>:-Werror>)
target_compile_definitions(quor_policy INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QUOR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    QUOR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    QUOR_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    QUOR_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})

# Every target compiles eight of its files at a time (unity batches): most of the build's time
# went into parsing the same Qt headers over again for each small file. Helpers in anonymous
# namespaces must therefore have names of their own across the files of a target. g++ takes
# the files joined so for headers and warns of classes in anonymous namespaces (test fixtures
# among them), which are meant.
set(CMAKE_UNITY_BUILD ON)
set(CMAKE_UNITY_BUILD_BATCH_SIZE 8)
target_compile_options(quor_policy INTERFACE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)

# With g++ the optimized build keeps line tables as its debug information (a crash or a
# debugger still names the function, file and line; a Debug build has everything), and links
# with gold: the build took far longer than the tests, most of it writing and linking debug
# information.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -g1 -DNDEBUG")
    target_link_options(quor_policy INTERFACE -fuse-ld=gold)
endif()

# Checked builds, run by scripts/sanitize.sh and scripts/fuzz.sh: every target of ours (the
# tests included) with the address and undefined-behaviour sanitizers, stopping at the first
# finding; with QUOR_FUZZ also instrumented for the libFuzzer targets in fuzz/ (clang only).
option(QUOR_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(QUOR_FUZZ "Build the libFuzzer targets (clang; implies QUOR_SANITIZE)" OFF)
if(QUOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QUOR_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    set(QUOR_SANITIZE ON)
    target_compile_options(quor_policy INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(QUOR_SANITIZE)
    set(QUOR_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(quor_policy INTERFACE ${QUOR_SANITIZER_FLAGS})
    target_link_options(quor_policy INTERFACE ${QUOR_SANITIZER_FLAGS})
endif()
