# Host build: tools that run at build time, and the native tests of the code
# that needs no Windows.

add_subdirectory(${GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

find_package(ZLIB REQUIRED)
target_link_libraries(zarvo_payload PUBLIC ZLIB::ZLIB)

# The packing side of the containers, for the build-time tools and their
# tests: libdeflate writes the streams and zlib checks them. The installer
# only inflates, with zlib, and links no compressor.
find_path(ZARVO_LIBDEFLATE_INCLUDE libdeflate.h REQUIRED)
find_library(ZARVO_LIBDEFLATE deflate REQUIRED)
add_library(zarvo_packing STATIC payload/Container.cpp)
target_include_directories(zarvo_packing PRIVATE ${ZARVO_LIBDEFLATE_INCLUDE})
target_link_libraries(zarvo_packing PUBLIC zarvo_core PRIVATE ${ZARVO_LIBDEFLATE})
zarvo_strict(zarvo_packing)

add_executable(native_tests
    tests/native/CatalogueTest.cpp
    tests/native/ClosingRuleTest.cpp
    tests/native/CommandLineTest.cpp
    tests/native/ContainerTest.cpp
    tests/native/DecompressStreamTest.cpp
    tests/native/ExitCodeTest.cpp
    tests/native/PathRulesTest.cpp
    tests/native/PlanTest.cpp
    tests/native/JournalTest.cpp
    tests/native/ProductTest.cpp
    tests/native/MessageTextTest.cpp
    tests/native/PayloadFilesTest.cpp
    tests/native/ProcessNameRuleTest.cpp
    tests/native/ReleaseVersionTest.cpp
    tests/native/RunNamesTest.cpp
    tests/native/StartRouteTest.cpp
    tests/native/UpgradeFolderTest.cpp
    tests/native/WindowDefinitionTest.cpp)
target_link_libraries(native_tests PRIVATE zarvo_packing GTest::gtest_main)
target_compile_definitions(native_tests PRIVATE ZARVO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
zarvo_strict(native_tests)
gtest_discover_tests(native_tests)

# The folders' libraries see no header against the arrows.
add_test(NAME layers COMMAND sh ${PROJECT_SOURCE_DIR}/tests/native/LayersTest.sh ${CMAKE_CXX_COMPILER} ${ZARVO_LAYERS}
                             ${ZARVO_GENERATED})

# The README's and docs/' links reach their files and headings, and their
# commands programs that a fresh clone has.
add_test(NAME docs COMMAND sh ${PROJECT_SOURCE_DIR}/tests/native/DocsTest.sh ${PROJECT_SOURCE_DIR})

# Packs one payload file into its container; the installer's build runs it.
add_executable(pack tools/pack/Pack.cpp)
target_link_libraries(pack PRIVATE zarvo_packing)
zarvo_strict(pack)
add_test(NAME pack COMMAND sh ${PROJECT_SOURCE_DIR}/tests/native/PackTest.sh $<TARGET_FILE:pack>)

# The set-up's install step against a stand-in apt-get whose mirror is in the
# middle of a sync.
add_test(NAME apt_mirror_in_sync COMMAND bash ${PROJECT_SOURCE_DIR}/tests/native/AptTest.sh)

# The fuzzers: libFuzzer with AddressSanitizer, each with its own
# instrumented copy of the code it reads, run by the tests for a bounded time
# from its seeds alone, in a fresh corpus of its own; the tests run two at a
# time, so the three short ones take their turns beside the decoder's.
set(fuzz_dir ${CMAKE_BINARY_DIR}/fuzz)
add_test(NAME fuzz_corpus_reset COMMAND ${CMAKE_COMMAND} -E rm -rf ${fuzz_dir}/corpus ${fuzz_dir}/artifacts)
set_tests_properties(fuzz_corpus_reset PROPERTIES FIXTURES_SETUP fuzz_corpus)
function(zarvo_fuzzer name seconds seeds)
    add_executable(${name} ${ARGN} system/Error.cpp system/MessageText.cpp system/Texts.cpp)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${ZARVO_GENERATED})
    target_compile_options(${name} PRIVATE -g -fsanitize=fuzzer,address)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address)
    zarvo_strict(${name})
    add_test(NAME ${name}
        COMMAND ${name} -max_total_time=${seconds} -timeout=10 -detect_leaks=1 -malloc_limit_mb=2048
            -rss_limit_mb=2048 -create_missing_dirs=1 -artifact_prefix=${fuzz_dir}/artifacts/${name}-
            -print_final_stats=1 ${fuzz_dir}/corpus/${name} ${seeds})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED fuzz_corpus TIMEOUT 90)
endfunction()

# The decoder, seeded with the text payloads' containers; zlib is the
# system's. Any claimed plain size up to 2 GiB is legitimate and is allocated
# before inflating, but AddressSanitizer takes some 0.2 s to map and unmap
# 2 GiB; claims above 64 MiB, which no fuzzed input of a few kilobytes can
# fill, are therefore refused by the allocator, so that the decoder's
# "Out of memory" path is fuzzed too instead of the run crawling.
file(GLOB fuzz_seed_plains CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/payloads/*.txt ${PROJECT_SOURCE_DIR}/payloads/*.ini)
set(fuzz_seeds)
foreach(plain IN LISTS fuzz_seed_plains)
    get_filename_component(name ${plain} NAME)
    set(seed ${fuzz_dir}/seeds/${name}.container)
    add_custom_command(OUTPUT ${seed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${fuzz_dir}/seeds
        COMMAND pack ${plain} ${seed}
        DEPENDS pack ${plain}
        VERBATIM)
    list(APPEND fuzz_seeds ${seed})
endforeach()
add_custom_target(fuzz_seeds ALL DEPENDS ${fuzz_seeds})
zarvo_fuzzer(decompress_stream_fuzzer 30 ${fuzz_dir}/seeds tests/fuzz/DecompressStreamFuzzer.cpp
    payload/DecompressStream.cpp)
target_link_libraries(decompress_stream_fuzzer PRIVATE ZLIB::ZLIB)
set_tests_properties(decompress_stream_fuzzer PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=64:detect_leaks=1")

# The command line, the folder text rules and the journal with its check
# against the product, each seeded with a few inputs of its own kind.
set(fuzz_sources ${PROJECT_SOURCE_DIR}/tests/fuzz)
zarvo_fuzzer(command_line_fuzzer 15 ${fuzz_sources}/seeds/command-line tests/fuzz/CommandLineFuzzer.cpp
    app/CommandLine.cpp)
zarvo_fuzzer(path_rules_fuzzer 15 ${fuzz_sources}/seeds/path-rules tests/fuzz/PathRulesFuzzer.cpp
    install/PathRules.cpp payload/Catalogue.cpp)
zarvo_fuzzer(journal_fuzzer 15 ${fuzz_sources}/seeds/journal tests/fuzz/JournalFuzzer.cpp install/Journal.cpp install/Texts.cpp
    install/PathRules.cpp payload/Catalogue.cpp)

# Decoder speed against bare zlib and its peak memory; run by hand
# (bench/run.sh), never as a test.
add_executable(payload_bench bench/PayloadBench.cpp)
target_link_libraries(payload_bench PRIVATE zarvo_packing)
zarvo_strict(payload_bench)

# Draws the wizard's pictures for each scale and the icon in each size, written
# as JPEG by libjpeg and PNG by libdeflate; run by hand when the artwork
# changes (imagegen <repository root>), its output is committed.
find_path(ZARVO_JPEG_INCLUDE jpeglib.h REQUIRED)
find_library(ZARVO_JPEG jpeg REQUIRED)
add_executable(imagegen tools/imagegen/ImageGen.cpp tools/imagegen/Art.cpp tools/imagegen/Encode.cpp)
target_include_directories(imagegen PRIVATE ${PROJECT_SOURCE_DIR} ${ZARVO_JPEG_INCLUDE} ${ZARVO_LIBDEFLATE_INCLUDE})
target_link_libraries(imagegen PRIVATE ${ZARVO_JPEG} ${ZARVO_LIBDEFLATE})
zarvo_strict(imagegen)
add_test(NAME artwork COMMAND sh ${PROJECT_SOURCE_DIR}/tests/native/ArtworkTest.sh $<TARGET_FILE:imagegen>
                                 ${PROJECT_SOURCE_DIR})
