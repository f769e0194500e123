include_guard(GLOBAL)

# add_loadable_module(<target> FILE_NAME <file name> EXPORTS <symbol>... SOURCES <source>...)
#
# A shared library loaded at run time under an exact file name (no "lib"
# prefix, any suffix: "Zq_BorvanRAZ.raz", "Carapace.so"). Everything is hidden
# but the listed C symbols, which a linker version script exports.
function(add_loadable_module target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "FILE_NAME" "EXPORTS;SOURCES")
  if(NOT ARG_FILE_NAME OR NOT ARG_EXPORTS)
    message(FATAL_ERROR "add_loadable_module(${target}) needs FILE_NAME and EXPORTS")
  endif()
  string(REGEX MATCH "\\.[^.]*$" suffix "${ARG_FILE_NAME}")
  string(REGEX REPLACE "\\.[^.]*$" "" base "${ARG_FILE_NAME}")

  set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}.exports")
  list(JOIN ARG_EXPORTS ";\n    " symbols)
  file(WRITE "${script}" "{\n  global:\n    ${symbols};\n  local:\n    *;\n};\n")

  add_library(${target} MODULE ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    OUTPUT_NAME "${base}"
    SUFFIX "${suffix}"
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS "${script}")
  target_link_options(${target} PRIVATE "LINKER:--version-script=${script}" "LINKER:--no-undefined")
endfunction()
