include_guard(GLOBAL)

# A cold build of the test command compiles and links the whole tree three
# times (plain, address/undefined, thread). Two things dominate it on a small
# machine: parsing the same heavy headers (GoogleTest, boost::signals2, the
# standard library) in hundreds of translation units, and linking some fifty
# test programs with their debug information.

option(RIG_PRECOMPILED_HEADERS "Precompile the headers most translation units parse" ON)

# lld links the test programs several times faster than the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" RIG_HAVE_LLD)
if(RIG_HAVE_LLD)
  add_link_options(-fuse-ld=lld)
endif()

# ccache caches a compilation that reads a precompiled header only when told
# that the header's macros and time stamps may be trusted.
if(CCACHE_PROGRAM AND RIG_PRECOMPILED_HEADERS)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_SLOPPINESS=pch_defines,time_macros
                                  ${CCACHE_PROGRAM})
endif()

# The standard headers most sources of the tree include.
set(RIG_PCH_STD_HEADERS
    <algorithm> <array> <atomic> <cmath> <cstdint> <cstring> <functional> <limits> <map> <memory>
    <string> <string_view> <vector>)

# rig_precompile_headers(<target> [<header>...]): the standard headers above
# and the given ones, parsed once for the whole target.
function(rig_precompile_headers target)
  if(RIG_PRECOMPILED_HEADERS)
    target_precompile_headers(${target} PRIVATE ${RIG_PCH_STD_HEADERS} ${ARGN})
  endif()
endfunction()
