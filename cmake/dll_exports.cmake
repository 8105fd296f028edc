# trvx_dll_exports(target def-file): exports a DLL's functions under the names its .def file lists.
#
# The .def file is written for the 32-bit build: stdcall functions as Name@bytes, which the DLL
# exports undecorated (--kill-at), and decorated C++ names in double quotes ("?X@@..." = impl@bytes).
# A linker-made import library would lose the @bytes that 32-bit callers link against, so the
# import library is made by dlltool from the same file. The 64-bit test build has no stdcall
# decoration: there the @bytes are stripped from a copy of the file.
function(trvx_dll_exports target def)
  get_filename_component(def ${def} ABSOLUTE)
  set(implib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/lib${target}.a)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_sources(${target} PRIVATE ${def})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_DLLTOOL} -d ${def} -D $<TARGET_FILE_NAME:${target}> -l ${implib} -k
      BYPRODUCTS ${implib}
      COMMENT "Import library of ${target}")
    set_target_properties(${target} PROPERTIES IMPORT_SUFFIX ".dll-linker.a")
    add_library(${target}_imports INTERFACE)
    target_link_libraries(${target}_imports INTERFACE ${implib})
    add_dependencies(${target}_imports ${target})
  else()
    file(READ ${def} text)
    string(REGEX REPLACE "@[0-9]+([ \t\r]*\n)" "\\1" text "${text}")
    set(def64 ${CMAKE_CURRENT_BINARY_DIR}/${target}64.def)
    file(WRITE ${def64} "${text}")
    target_sources(${target} PRIVATE ${def64})
    add_library(${target}_imports INTERFACE)
    target_link_libraries(${target}_imports INTERFACE ${target})
  endif()
endfunction()
