# The core's layering, enforced by the compiler. A core library sees no source root: it gets an
# include folder of its own in the build tree holding links to the source folders it may include
# (its own and those of the core libraries it depends on, transitively). An include of any other
# folder fails to compile. Programs, views, tests and the like see the whole tree through
# cartena_source_root.

set(CARTENA_LAYERS_DIR ${CMAKE_BINARY_DIR}/layers)

# libmpv's headers sit in the compiler's default search path; a stand-in for each, found first,
# stops a core file that includes one. (Qt's headers are not on any core include path.)
set(CARTENA_FORBIDDEN_INCLUDES ${CARTENA_LAYERS_DIR}/forbidden)
foreach(header client.h render.h render_gl.h stream_cb.h)
  file(CONFIGURE OUTPUT ${CARTENA_FORBIDDEN_INCLUDES}/mpv/${header}
       CONTENT "#error \"the core is standard C++ only: libmpv belongs in platform/\"\n")
endforeach()

add_library(cartena_source_root INTERFACE)
target_include_directories(cartena_source_root INTERFACE ${PROJECT_SOURCE_DIR})

# cartena_core_library(target folder [SOURCES files...] [DEPENDS core targets...])
# Without sources the target is an INTERFACE library (a folder of headers, or one still empty).
function(cartena_core_library target folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  set(folders ${folder})
  foreach(dependency IN LISTS ARG_DEPENDS)
    get_target_property(dependency_folders ${dependency} CARTENA_LAYER_FOLDERS)
    if(NOT dependency_folders)
      message(FATAL_ERROR "${target}: ${dependency} is not a core library declared before it")
    endif()
    list(APPEND folders ${dependency_folders})
  endforeach()
  list(REMOVE_DUPLICATES folders)

  set(include_dir ${CARTENA_LAYERS_DIR}/${target})
  file(REMOVE_RECURSE ${include_dir})
  file(MAKE_DIRECTORY ${include_dir})
  foreach(allowed IN LISTS folders)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${allowed} ${include_dir}/${allowed} SYMBOLIC)
  endforeach()

  if(ARG_SOURCES)
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PRIVATE ${include_dir} ${CARTENA_FORBIDDEN_INCLUDES})
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
    cartena_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ${ARG_DEPENDS})
  endif()
  set_target_properties(${target} PROPERTIES CARTENA_LAYER_FOLDERS "${folders}"
                                             CARTENA_LAYER_INCLUDE_DIR ${include_dir})
endfunction()
