# The core of the installer: every folder of src/ that knows no windowing
# toolkit, built as one static library `setupcore` that every front end,
# tool, test and benchmark links. The folders are named here and nowhere
# else; the tests mirror them (one test program per folder).
include_guard(GLOBAL)

find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

include(${CMAKE_CURRENT_LIST_DIR}/inflate.cmake)

get_filename_component(SETUP_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# Roughly in the order they depend on one another. The text console is a
# front end without a toolkit: every program carries it (--console,
# --dry-run, no display), and the shared start-up in wizard/ chooses it.
set(SETUP_CORE_DIRS text fs kit install launcher l10n platform wizard console)

# setup_core_sources(<variable> [<folder>...]): the sources of the given core
# folders (all of them when none is named), for builds that need a part of
# the core compiled their own way (the fuzzer).
function(setup_core_sources variable)
  set(dirs ${ARGN})
  if(NOT dirs)
    set(dirs ${SETUP_CORE_DIRS})
  endif()
  set(sources)
  foreach(dir ${dirs})
    if(NOT dir IN_LIST SETUP_CORE_DIRS)
      message(FATAL_ERROR "setup_core_sources: ${dir} is not a core folder")
    endif()
    file(GLOB dir_sources CONFIGURE_DEPENDS ${SETUP_SOURCE_ROOT}/src/${dir}/*.cpp)
    list(APPEND sources ${dir_sources})
  endforeach()
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()

# setup_add_core([APPLICATION_BUNDLE]): defines `setupcore`, inflating kits
# with the back end SETUP_INFLATE names. With APPLICATION_BUNDLE the program
# looks for its kit beside the application bundle that holds it (setup-mac,
# also on the GNUstep stand-in).
function(setup_add_core)
  cmake_parse_arguments(CORE "APPLICATION_BUNDLE" "" "" ${ARGN})
  setup_core_sources(sources)
  add_library(setupcore STATIC ${sources})
  target_include_directories(setupcore PUBLIC ${SETUP_SOURCE_ROOT}/src)
  target_link_libraries(setupcore PUBLIC ZLIB::ZLIB OpenSSL::Crypto Threads::Threads)
  setup_use_inflate(setupcore ${SETUP_INFLATE})
  if(CORE_APPLICATION_BUNDLE)
    target_compile_definitions(setupcore PRIVATE SETUP_APPLICATION_BUNDLE)
  endif()
endfunction()
