# Writes a C++ file that holds text files as string literals, so that the one program carries its
# migrations and its style sheet: cmake -DOUT=file.cpp -DFUNCTION=name -DFILES="a;b" -P embed_text.cmake
# The function returns the files as {file name, text} pairs in the order given.
set(body "// Made from source files by embed_text.cmake when the program is built; edit those instead.\n")
string(APPEND body "#include \"embedded.h\"\n\nnamespace results {\n\nconst std::vector<EmbeddedFile> &${FUNCTION}() {\n")
string(APPEND body "    static const std::vector<EmbeddedFile> files = {\n")
foreach(file ${FILES})
  file(READ ${file} text)
  get_filename_component(name ${file} NAME)
  if(text MATCHES "\\)embedded\"")
    message(FATAL_ERROR "${file} holds the literal's closing delimiter")
  endif()
  string(APPEND body "        {\"${name}\", R\"embedded(${text})embedded\"},\n")
endforeach()
string(APPEND body "    };\n    return files;\n}\n\n} // namespace results\n")
file(WRITE ${OUT}.new "${body}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
