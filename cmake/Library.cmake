# ph_add_library(NAME [INCLUDE dir...] [PUBLISH spelling=dir...] DIRS dir... DEPS lib...): a static
# library built from every .cpp in DIRS (relative to the current folder). Until a folder has code,
# the target is an interface library so that dependants can already name it.
#
# PUBLISH gives the library an include root of its own: the headers below each `dir` are offered
# as "spelling/<file>.h" from build/include/NAME, so that a file sees the headers of exactly the
# libraries its target links, even where the sources of several libraries share a folder tree.
# INCLUDE adds roots as they are (a folder only this library uses).
function(ph_add_library name)
  cmake_parse_arguments(L "" "" "INCLUDE;PUBLISH;DIRS;DEPS" ${ARGN})
  set(_inc ${L_INCLUDE})
  if(L_PUBLISH)
    ph_publish_headers(${name} ${L_PUBLISH})
    list(APPEND _inc ${CMAKE_BINARY_DIR}/include/${name})
  endif()
  set(_src "")
  foreach(d ${L_DIRS})
    file(GLOB _s CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/*.cpp)
    list(APPEND _src ${_s})
  endforeach()
  if(_src)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${_inc})
    target_link_libraries(${name} PUBLIC ${L_DEPS} PRIVATE ph_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${_inc})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

# ph_publish_headers(NAME spelling=dir...): the include root of ph_add_library's PUBLISH, made of
# links to the headers (made again at every configure, which a new or removed header triggers).
function(ph_publish_headers name)
  set(_root ${CMAKE_BINARY_DIR}/include/${name})
  file(REMOVE_RECURSE ${_root})
  file(MAKE_DIRECTORY ${_root})
  foreach(_pair ${ARGN})
    string(FIND "${_pair}" "=" _eq)
    if(_eq LESS 1)
      message(FATAL_ERROR "${name}: PUBLISH wants spelling=dir, not '${_pair}'")
    endif()
    string(SUBSTRING "${_pair}" 0 ${_eq} _spelling)
    math(EXPR _from "${_eq} + 1")
    string(SUBSTRING "${_pair}" ${_from} -1 _dir)
    set(_abs ${CMAKE_CURRENT_SOURCE_DIR}/${_dir})
    file(MAKE_DIRECTORY ${_root}/${_spelling})
    file(GLOB_RECURSE _headers CONFIGURE_DEPENDS RELATIVE ${_abs} ${_abs}/*.h ${_abs}/*.hpp
         ${_abs}/*.inl)
    foreach(_h ${_headers})
      get_filename_component(_sub ${_root}/${_spelling}/${_h} DIRECTORY)
      file(MAKE_DIRECTORY ${_sub})
      file(CREATE_LINK ${_abs}/${_h} ${_root}/${_spelling}/${_h} SYMBOLIC)
    endforeach()
  endforeach()
endfunction()
