# Unity batches for the test executables: CMake compiles their files a few
# at a time as one translation unit, so the headers they share are parsed and
# their inline code generated once per batch instead of once per file.
#
# In one translation unit the file-scope names of all files of a batch meet.
# Two files that declare the same name would at best fail to compile and at
# worst add an overload that a call in the other file silently prefers; a
# `using namespace` of a test support header brings that header's names
# into the files after it. So files are batched only with files whose
# file-scope names, and the names of the support headers they include, do
# not meet theirs; a file that defines a macro is compiled alone. The names
# are read from the lines that start in the first column, where this code
# base writes its file-scope declarations; a line that only looks like one
# costs a file a place in a batch, never correctness. Batches are formed at
# configure time, so files added later find their place by themselves.

option(LORIMANT_UNITY_TESTS "Compile the test executables' files in unity batches" OFF)
set(LORIMANT_UNITY_BATCH_SIZE 8 CACHE STRING "Test files per unity batch")

# Declarations that start a line: functions and variables, types, aliases
# and using-declarations. Lines that start with a keyword declare no
# file-scope name of their own.
set(_lorimant_decl "^(template[ ]*<[^>]*>[ ]*)?[A-Za-z_][A-Za-z0-9_:<>,*& ]*[ *&]([A-Za-z_][A-Za-z0-9_]*)[ ]*(\\(|=|\\[|\\{|;|$)")
set(_lorimant_type "^(struct|class|union|enum|enum[ ]+class|enum[ ]+struct)[ ]+([A-Za-z_][A-Za-z0-9_]*)")
set(_lorimant_alias "^using[ ]+([A-Za-z_][A-Za-z0-9_]*)[ ]*=")
set(_lorimant_using "^using[ ]+[A-Za-z0-9_:]*::([A-Za-z_][A-Za-z0-9_]*)[ ]*;")
set(_lorimant_not_names "^(namespace|return|using[ ]+namespace|extern[ ]+\"C\")")

# Sets `out` to the names that the given file declares at file scope.
function(lorimant_file_scope_names out file)
  file(STRINGS ${file} lines REGEX "^[A-Za-z_]")
  set(names)
  foreach(line IN LISTS lines)
    if(line MATCHES "${_lorimant_not_names}")
      continue()
    elseif(line MATCHES "${_lorimant_type}")
      list(APPEND names ${CMAKE_MATCH_2})
    elseif(line MATCHES "${_lorimant_alias}")
      list(APPEND names ${CMAKE_MATCH_1})
    elseif(line MATCHES "${_lorimant_using}")
      list(APPEND names ${CMAKE_MATCH_1})
    elseif(line MATCHES "${_lorimant_decl}")
      list(APPEND names ${CMAKE_MATCH_2})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Sets `out` to the names of the test support headers that the file
# includes, directly or through another support header, each as
# "name=header".
function(lorimant_support_names out file)
  file(STRINGS ${file} includes REGEX "^[ ]*#[ ]*include[ ]*\"[^\"]+\"")
  get_filename_component(dir ${file} DIRECTORY)
  set(names)
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ ]*#[ ]*include[ ]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(EXISTS ${dir}/${header})
      set(header ${dir}/${header})
    else()
      set(header ${PROJECT_SOURCE_DIR}/${header})
    endif()
    if(header MATCHES "/tests/[^/]*\\.h$" AND EXISTS ${header}
       AND NOT header IN_LIST _lorimant_support_seen)
      list(APPEND _lorimant_support_seen ${header})
      lorimant_file_scope_names(declared ${header})
      list(TRANSFORM declared APPEND "=${header}")
      lorimant_support_names(included ${header})
      list(APPEND names ${declared} ${included})
    endif()
  endforeach()
  set(_lorimant_support_seen ${_lorimant_support_seen} PARENT_SCOPE)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Compiles the target's sources in unity batches of files whose file-scope
# names do not meet: a file joins the first batch where none of its names is
# declared by a member or by a support header a member includes, and where
# the names of its own support headers are neither declared by a member nor
# declared by another support header that a member includes.
function(lorimant_unity_batches target)
  if(NOT LORIMANT_UNITY_TESTS)
    return()
  endif()
  get_target_property(sources ${target} SOURCES)
  set(batches 0)
  foreach(src IN LISTS sources)
    # A macro would reach into the files after it: such a file stays alone.
    file(STRINGS ${src} defines REGEX "^[ ]*#[ ]*define[ ]")
    if(defines)
      continue()
    endif()
    lorimant_file_scope_names(own ${src})
    set(_lorimant_support_seen)
    lorimant_support_names(support ${src})
    set(chosen "")
    foreach(b RANGE ${batches})
      if(b EQUAL 0 OR size_${b} GREATER_EQUAL LORIMANT_UNITY_BATCH_SIZE)
        continue()
      endif()
      set(clash FALSE)
      foreach(name IN LISTS own)
        if(seen_${b}_${name})
          set(clash TRUE)
          break()
        endif()
      endforeach()
      foreach(entry IN LISTS support)
        string(REGEX REPLACE "=.*" "" name "${entry}")
        string(REGEX REPLACE "^[^=]*=" "" header "${entry}")
        if(clash OR own_${b}_${name} OR (DEFINED from_${b}_${name} AND NOT from_${b}_${name} STREQUAL header))
          set(clash TRUE)
          break()
        endif()
      endforeach()
      if(NOT clash)
        set(chosen ${b})
        break()
      endif()
    endforeach()
    if(chosen STREQUAL "")
      math(EXPR batches "${batches} + 1")
      set(chosen ${batches})
      set(size_${chosen} 0)
    endif()
    math(EXPR size_${chosen} "${size_${chosen}} + 1")
    foreach(name IN LISTS own)
      set(own_${chosen}_${name} TRUE)
      set(seen_${chosen}_${name} TRUE)
    endforeach()
    foreach(entry IN LISTS support)
      string(REGEX REPLACE "=.*" "" name "${entry}")
      string(REGEX REPLACE "^[^=]*=" "" header "${entry}")
      set(seen_${chosen}_${name} TRUE)
      set(from_${chosen}_${name} ${header})
    endforeach()
    set_source_files_properties(${src} TARGET_DIRECTORY ${target}
        PROPERTIES UNITY_GROUP ${target}_${chosen})
  endforeach()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
  # g++ warns of a test class whose fixture is in an anonymous namespace of
  # a file other than the main one, which in a batch is every file.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
endfunction()
