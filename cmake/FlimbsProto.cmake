# Compiles protocol buffer schemas with protoc at build time (lite runtime, as the schemas
# ask) and adds the generated sources to a target.
#
#   flimbs_compile_protos(<target> <root> <schema>...)
#
# Each schema is a path below <root> (for example net/flimbsworld.proto); code includes its
# header as "net/flimbsworld.pb.h". Usable from any CMake project that includes this file.
function(flimbs_compile_protos target root)
  if(TARGET protobuf::protoc)
    set(_protoc protobuf::protoc)
  else()
    find_program(FLIMBS_PROTOC_EXECUTABLE protoc REQUIRED)
    set(_protoc "${FLIMBS_PROTOC_EXECUTABLE}")
  endif()
  set(_out "${CMAKE_BINARY_DIR}/generated")
  foreach(schema IN LISTS ARGN)
    get_filename_component(_dir "${schema}" DIRECTORY)
    get_filename_component(_name "${schema}" NAME_WE)
    set(_cc "${_out}/${_dir}/${_name}.pb.cc")
    set(_h "${_out}/${_dir}/${_name}.pb.h")
    add_custom_command(
      OUTPUT "${_cc}" "${_h}"
      COMMAND "${CMAKE_COMMAND}" -E make_directory "${_out}"
      COMMAND ${_protoc} --cpp_out=${_out} -I "${root}" "${root}/${schema}"
      DEPENDS "${root}/${schema}"
      COMMENT "protoc ${schema}"
      VERBATIM)
    # A custom command's outputs belong to its own folder; a target of that folder runs it
    # before the (possibly foreign) target compiles them.
    add_custom_target(${target}_${_name}_pb DEPENDS "${_cc}" "${_h}")
    add_dependencies(${target} ${target}_${_name}_pb)
    set_source_files_properties("${_cc}" "${_h}" TARGET_DIRECTORY ${target} PROPERTIES GENERATED TRUE)
    target_sources(${target} PRIVATE "${_cc}" "${_h}")
  endforeach()
  target_include_directories(${target} PUBLIC "${_out}")
endfunction()
