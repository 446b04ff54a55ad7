# The HTML5 parser gumbo 0.10.1 for the Windows builds. Debian has it for this
# machine only; the npm package gumbo-parser 0.3.0 carries its C sources
# (Apache-2.0). The package is fetched once into a cache that both Windows
# builds share, checked against the integrity the registry gave for it (in
# gumbo-parser-0.3.0.integrity beside this file), unpacked into this build's
# tree and built as a static library: the target velumor_gumbo. While the
# checked package is in the cache nothing is fetched, so a configure without
# network works from then on.
set(VELUMOR_THIRD_PARTY_CACHE ${PROJECT_SOURCE_DIR}/build/third_party CACHE PATH
    "Where fetched third-party packages are kept for all builds")

set(gumbo_package gumbo-parser)
set(gumbo_package_version 0.3.0)
set(gumbo_tarball ${VELUMOR_THIRD_PARTY_CACHE}/${gumbo_package}-${gumbo_package_version}.tgz)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/${gumbo_package}-${gumbo_package_version}.integrity gumbo_integrity
     LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_LIST_DIR}/${gumbo_package}-${gumbo_package_version}.integrity)

# A file's checksum as the npm registry writes it: "sha512-" and the digest in base64.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(velumor_npm_integrity file result)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c
            "import base64, hashlib, sys; print('sha512-' + base64.b64encode(hashlib.sha512(open(sys.argv[1], 'rb').read()).digest()).decode())"
            ${file}
    OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# Both Windows builds may configure at once: one fetches, the other waits.
file(MAKE_DIRECTORY ${VELUMOR_THIRD_PARTY_CACHE})
file(LOCK ${VELUMOR_THIRD_PARTY_CACHE}/${gumbo_package}.lock GUARD PROCESS TIMEOUT 900)
set(gumbo_checked FALSE)
if(EXISTS ${gumbo_tarball})
  velumor_npm_integrity(${gumbo_tarball} found)
  if(found STREQUAL gumbo_integrity)
    set(gumbo_checked TRUE)
  else()
    message(STATUS "${gumbo_tarball} ist nicht das geprüfte Paket (${found}); es wird neu geholt.")
    file(REMOVE ${gumbo_tarball})
  endif()
endif()
if(NOT gumbo_checked)
  find_program(VELUMOR_NPM npm)
  if(NOT VELUMOR_NPM)
    message(FATAL_ERROR "npm fehlt (Debian-Paket npm): ohne ${gumbo_package} ${gumbo_package_version} hat die "
                        "Windows-Ausgabe keinen HTML-Parser für --rewrite. Alternativ die Datei nach "
                        "${gumbo_tarball} legen.")
  endif()
  set(download ${VELUMOR_THIRD_PARTY_CACHE}/download)
  file(REMOVE_RECURSE ${download})
  file(MAKE_DIRECTORY ${download})
  message(STATUS "Hole ${gumbo_package}@${gumbo_package_version} mit npm pack")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env npm_config_update_notifier=false
                          ${VELUMOR_NPM} pack ${gumbo_package}@${gumbo_package_version} --ignore-scripts --loglevel=error
                  WORKING_DIRECTORY ${download} RESULT_VARIABLE npm_result OUTPUT_VARIABLE npm_output
                  ERROR_VARIABLE npm_output TIMEOUT 600)
  set(fetched ${download}/${gumbo_package}-${gumbo_package_version}.tgz)
  if(NOT npm_result EQUAL 0 OR NOT EXISTS ${fetched})
    file(REMOVE_RECURSE ${download})
    message(FATAL_ERROR "npm pack ${gumbo_package}@${gumbo_package_version} ist fehlgeschlagen (${npm_result}):\n"
                        "${npm_output}\nOhne Netz genügt die Datei in ${gumbo_tarball}.")
  endif()
  velumor_npm_integrity(${fetched} found)
  if(NOT found STREQUAL gumbo_integrity)
    file(REMOVE_RECURSE ${download})
    message(FATAL_ERROR "Das geholte ${gumbo_package}-${gumbo_package_version}.tgz ist nicht das geprüfte Paket und "
                        "wird nicht benutzt.\n  erwartet: ${gumbo_integrity}\n  erhalten: ${found}")
  endif()
  file(RENAME ${fetched} ${gumbo_tarball})
  file(REMOVE_RECURSE ${download})
endif()
file(LOCK ${VELUMOR_THIRD_PARTY_CACHE}/${gumbo_package}.lock RELEASE)

# Only the parser's sources and its licence, unpacked again when the package changes.
set(gumbo_dir ${CMAKE_BINARY_DIR}/third_party/gumbo-0.10.1)
set(gumbo_stamp ${gumbo_dir}/unpacked-from)
set(unpacked "")
if(EXISTS ${gumbo_stamp})
  file(READ ${gumbo_stamp} unpacked)
endif()
if(NOT unpacked STREQUAL gumbo_integrity)
  file(REMOVE_RECURSE ${gumbo_dir} ${gumbo_dir}.unpacking)
  file(ARCHIVE_EXTRACT INPUT ${gumbo_tarball} DESTINATION ${gumbo_dir}.unpacking
       PATTERNS package/deps/gumbo-parser/src package/deps/gumbo-parser/COPYING)
  file(RENAME ${gumbo_dir}.unpacking/package/deps/gumbo-parser ${gumbo_dir})
  file(REMOVE_RECURSE ${gumbo_dir}.unpacking)
  file(WRITE ${gumbo_stamp} "${gumbo_integrity}")
endif()

set(gumbo_sources attribute.c char_ref.c error.c parser.c string_buffer.c string_piece.c tag.c tokenizer.c utf8.c
                  util.c vector.c)
list(TRANSFORM gumbo_sources PREPEND ${gumbo_dir}/src/)
add_library(velumor_gumbo STATIC ${gumbo_sources})
target_include_directories(velumor_gumbo SYSTEM INTERFACE ${gumbo_dir}/src)
# Its warnings are the parser's own business; ours stay on.
target_compile_options(velumor_gumbo PRIVATE -w)
set_target_properties(velumor_gumbo PROPERTIES VELUMOR_LICENSE_FILE ${gumbo_dir}/COPYING)
