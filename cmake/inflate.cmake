# The kit's inflate back end. setup_use_inflate(<target> <mode>) links
# <target> (PUBLIC) with ISA-L and defines SETUP_HAVE_ISAL=1 when ISA-L is to
# be used; zlib, which every build links anyway, is the fallback.
#   mode isal: ISA-L, and a configure error when it is missing
#   mode auto: ISA-L when pkg-config finds libisal, else zlib
#   mode zlib: zlib only, as on a machine without ISA-L
function(setup_use_inflate target mode)
  if(NOT mode MATCHES "^(isal|auto|zlib)$")
    message(FATAL_ERROR "SETUP_INFLATE must be isal, auto or zlib, not '${mode}'")
  endif()
  if(mode STREQUAL "zlib")
    message(STATUS "${target}: inflate with zlib")
    return()
  endif()
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND AND NOT TARGET PkgConfig::ISAL)
    pkg_check_modules(ISAL QUIET IMPORTED_TARGET GLOBAL libisal)
  endif()
  if(TARGET PkgConfig::ISAL)
    target_link_libraries(${target} PUBLIC PkgConfig::ISAL)
    target_compile_definitions(${target} PUBLIC SETUP_HAVE_ISAL=1)
    message(STATUS "${target}: inflate with ISA-L")
  elseif(mode STREQUAL "isal")
    message(FATAL_ERROR "SETUP_INFLATE=isal, but ISA-L (Debian: libisal-dev) was not found; "
                        "install it or configure with -DSETUP_INFLATE=zlib")
  else()
    message(STATUS "${target}: inflate with zlib (ISA-L not found)")
  endif()
endfunction()
