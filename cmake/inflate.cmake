# The kit's inflate back end. setup_use_inflate(<target> <mode>) gives
# <target> (PUBLIC) ISA-L's header and defines SETUP_HAVE_ISAL=1 when ISA-L
# is to be used. The library is not linked: the program looks it up by its
# soname when it runs (src/kit/isal_library.h), so that it starts on a
# machine without ISA-L and inflates with zlib there.
#   mode isal: ISA-L's header, and a configure error when it is missing
#   mode auto: ISA-L's header when pkg-config finds libisal, else zlib only
#   mode zlib: zlib only, as on a machine without ISA-L
function(setup_use_inflate target mode)
  if(NOT mode MATCHES "^(isal|auto|zlib)$")
    message(FATAL_ERROR "SETUP_INFLATE must be isal, auto or zlib, not '${mode}'")
  endif()
  target_link_libraries(${target} PUBLIC ${CMAKE_DL_LIBS})
  if(mode STREQUAL "zlib")
    message(STATUS "${target}: inflate with zlib")
    return()
  endif()
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND AND NOT ISAL_FOUND)
    pkg_check_modules(ISAL QUIET libisal)
  endif()
  if(ISAL_FOUND)
    target_include_directories(${target} PUBLIC ${ISAL_INCLUDE_DIRS})
    target_compile_definitions(${target} PUBLIC SETUP_HAVE_ISAL=1)
    message(STATUS "${target}: inflate with ISA-L when libisal.so.2 is found at run time, else zlib")
  elseif(mode STREQUAL "isal")
    message(FATAL_ERROR "SETUP_INFLATE=isal, but ISA-L (Debian: libisal-dev) was not found; "
                        "install it or configure with -DSETUP_INFLATE=zlib")
  else()
    message(STATUS "${target}: inflate with zlib (ISA-L not found)")
  endif()
endfunction()
