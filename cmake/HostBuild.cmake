# The host side: native tools and tests of the portable core.
find_package(GTest REQUIRED)
add_compile_options(-Wall -Wextra)
foreach(dir tools tests/portable)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endforeach()
