# The kit key a front end requires. setup_require_kit_key(TARGET KEY SIGNER)
# links src/keys/program_kit_key.cpp into TARGET with KEY, which is either the
# 64 hex digits of an Ed25519 public key or the path of a public key file made
# by `mkkit keygen` ("kit-public-key ed25519 <hex>"). SIGNER names the key's
# owner in the message about an unsigned kit (empty: the key id). An empty KEY
# adds nothing: the program then requires no signature.

# A key file given relative to the folder cmake was started in (PWD), as a
# user types it, is made absolute in the cache once: the file is then read
# from the same place by every target and by any later re-run of cmake.
if(SETUP_KIT_PUBLIC_KEY AND NOT IS_ABSOLUTE "${SETUP_KIT_PUBLIC_KEY}" AND
   NOT SETUP_KIT_PUBLIC_KEY MATCHES "^[0-9a-fA-F]+$" AND NOT "$ENV{PWD}" STREQUAL "")
  get_filename_component(setup_key_file "${SETUP_KIT_PUBLIC_KEY}" ABSOLUTE BASE_DIR "$ENV{PWD}")
  if(EXISTS "${setup_key_file}")
    set_property(CACHE SETUP_KIT_PUBLIC_KEY PROPERTY VALUE "${setup_key_file}")
  endif()
endif()

function(setup_require_kit_key target key signer)
  if(key STREQUAL "")
    return()
  endif()
  set(hex "${key}")
  if(EXISTS "${key}")
    file(STRINGS "${key}" lines LIMIT_COUNT 1)
    string(REGEX REPLACE "^kit-public-key ed25519 ([0-9a-fA-F]+)[ \t]*$" "\\1" hex "${lines}")
  endif()
  if(NOT hex MATCHES "^[0-9a-fA-F]+$")
    message(FATAL_ERROR "SETUP_KIT_PUBLIC_KEY: ${key} is neither 64 hex digits nor a public key "
                        "file made by mkkit keygen")
  endif()
  string(LENGTH "${hex}" length)
  if(NOT length EQUAL 64)
    message(FATAL_ERROR "SETUP_KIT_PUBLIC_KEY: an Ed25519 public key has 64 hex digits, not "
                        "${length}")
  endif()
  string(REPLACE "\\" "\\\\" signer "${signer}")
  string(REPLACE "\"" "\\\"" signer "${signer}")
  # An object library of its own, so that two programs of one build can
  # require different keys; its object goes straight into the program.
  get_filename_component(root ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.. ABSOLUTE)
  add_library(${target}_kit_key OBJECT ${root}/src/keys/program_kit_key.cpp)
  target_include_directories(${target}_kit_key PRIVATE ${root}/src)
  target_compile_definitions(${target}_kit_key PRIVATE
    SETUP_KIT_PUBLIC_KEY_HEX="${hex}" SETUP_KIT_SIGNER="${signer}")
  target_link_libraries(${target} PRIVATE ${target}_kit_key)
  message(STATUS "${target} requires kits signed by the key ${hex}")
endfunction()
