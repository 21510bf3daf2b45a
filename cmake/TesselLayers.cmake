# The layers of the program. A layer is a static library over one folder of
# the repository; every include names its file from the repository root
# ("json/DaDureRarireZ.h"). A layer's public file set lists the headers that
# other layers may include, and nothing else of the layer is theirs to use.

# tessel_add_layer(TARGET FOLDER SOURCES source... [PUBLIC_HEADERS header...])
#   Adds the static library TARGET over FOLDER. Sources and headers are
#   named relative to FOLDER. The repository root becomes an include
#   directory of TARGET and of everything that links it.
function(tessel_add_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "SOURCES;PUBLIC_HEADERS")
  list(TRANSFORM arg_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${folder}/)
  list(TRANSFORM arg_PUBLIC_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/${folder}/)
  add_library(${target} STATIC ${arg_SOURCES})
  target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR}
                 FILES ${arg_PUBLIC_HEADERS})
  set_target_properties(${target} PROPERTIES TESSEL_LAYER_FOLDER ${folder})
  set_property(GLOBAL APPEND PROPERTY TESSEL_LAYERS ${target})
endfunction()

# tessel_check_layer_includes(): fails the configuration when a file of one
# layer's folder includes a header of another layer's folder that is not in
# that layer's public file set. Tests, benchmarks and fuzz targets may reach
# inside a layer; the layers themselves may not.
function(tessel_check_layer_includes)
  get_property(layers GLOBAL PROPERTY TESSEL_LAYERS)
  set(folders "")
  set(public "")
  foreach(layer IN LISTS layers)
    get_target_property(folder ${layer} TESSEL_LAYER_FOLDER)
    list(APPEND folders ${folder})
    get_target_property(headers ${layer} HEADER_SET)
    foreach(header IN LISTS headers)
      file(RELATIVE_PATH header ${PROJECT_SOURCE_DIR} ${header})
      list(APPEND public ${header})
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES folders)
  foreach(folder IN LISTS folders)
    file(GLOB_RECURSE files LIST_DIRECTORIES false
         ${PROJECT_SOURCE_DIR}/${folder}/*.h ${PROJECT_SOURCE_DIR}/${folder}/*.c
         ${PROJECT_SOURCE_DIR}/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/${folder}/*.rc)
    foreach(file IN LISTS files)
      file(STRINGS ${file} includes REGEX "^#include \"[^\"]+\"")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
        string(REGEX REPLACE "/.*" "" included_folder "${included}")
        if(NOT included_folder STREQUAL folder AND included_folder IN_LIST folders
           AND NOT included IN_LIST public)
          file(RELATIVE_PATH shown ${PROJECT_SOURCE_DIR} ${file})
          message(SEND_ERROR "${shown} includes ${included}, which is private to ${included_folder}/")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()
