# The host side: native tools and tests of the portable core.
find_package(GTest REQUIRED)
add_compile_options(-Wall -Wextra)
add_subdirectory(tools)
add_subdirectory(tests/portable)
add_subdirectory(tests/scripts)
