# Host build: tools that run at build time, and the native tests of the code
# that needs no Windows.

add_subdirectory(${GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

add_executable(native_tests
    tests/native/PathRulesTest.cpp
    tests/native/MessageTextTest.cpp
    tests/native/WindowDefinitionTest.cpp)
target_link_libraries(native_tests PRIVATE zarvo_core GTest::gtest_main)
zarvo_strict(native_tests)
gtest_discover_tests(native_tests)

# Draws the wizard's pictures and the icon; run by hand when the artwork
# changes (imagegen <repository root>), its output is committed.
add_executable(imagegen tools/imagegen/ImageGen.cpp)
zarvo_strict(imagegen)
