# Adds every .cpp below the calling folder (except those named *_main.cpp) to a target.
function(flimbs_add_folder_sources target)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER _srcs EXCLUDE REGEX "_main\\.cpp$")
  target_sources(${target} PRIVATE ${_srcs})
endfunction()
