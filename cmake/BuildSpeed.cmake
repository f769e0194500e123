include_guard(GLOBAL)

# A cold build of the test command compiles and links the whole tree three
# times (plain, address/undefined, thread). Most of it is the libraries'
# sources, each parsing and instantiating the same engine and model templates
# again: compiled in batches of a few sources each, that work is done once a
# batch. The test programs do the same, with the few sources whose helpers
# share a name with a neighbour's listed in tests/CMakeLists.txt.

option(RIG_UNITY_BUILD "Compile the libraries' sources in batches (unity build)" ON)

# lld links the test programs about twice as fast as the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" RIG_HAVE_LLD)
if(RIG_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# rig_unity_build(<target> [SKIP <regex>...]): compiles the target's sources
# in batches. A source that defines a name another source of the target
# defines too (in an anonymous namespace or as a static function) goes in the
# SKIP list (patterns of paths relative to the target's folder), and so does a source that
# refers to a library above its own: in a batch it would come into programs
# that link only the batch's other sources. So does, without being
# listed, every source that includes the X11 headers, whose macros ("None",
# "Status", "Bool") would leak into the sources after it.
function(rig_unity_build target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SKIP")
  if(NOT RIG_UNITY_BUILD)
    return()
  endif()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  get_target_property(folder ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(NOT IS_ABSOLUTE ${source})
      set(source ${folder}/${source})
    endif()
    if(NOT source MATCHES "\\.cpp$" OR NOT EXISTS ${source})
      continue()
    endif()
    file(RELATIVE_PATH relative ${folder} ${source})
    set(skip OFF)
    foreach(pattern IN LISTS ARG_SKIP)
      if(relative MATCHES "^${pattern}$")
        set(skip ON)
      endif()
    endforeach()
    file(STRINGS ${source} x11 REGEX "^#include [<\"]X11/")
    if(x11 OR skip)
      set_source_files_properties(${source} TARGET_DIRECTORY ${target}
                                  PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
  endforeach()
endfunction()
