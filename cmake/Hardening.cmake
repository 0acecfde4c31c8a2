# The hardening of Debian's own packages: the flags come from dpkg-buildflags
# with every hardening feature on, so the package and a plain build are made
# alike. Optimisation, debug information and path mapping are left to the
# build type; only the hardening flags are taken.
find_program(QELVRIN_DPKG_BUILDFLAGS dpkg-buildflags)
if(QELVRIN_DPKG_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${QELVRIN_DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(hardening_${kind} UNIX_COMMAND "${flags}")
  endforeach()
else()
  # Not a Debian system: the same set that Debian 12 gives.
  set(hardening_CPPFLAGS -D_FORTIFY_SOURCE=2)
  set(hardening_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
  set(hardening_LDFLAGS -Wl,-z,relro -Wl,-z,now)
endif()

# Debian's next release adds these two. Control-flow protection marks a
# program only when every object in it is marked, and Debian 12's C start
# files are not, so for now it guards our own code alone.
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "QELVRIN_HAS${flag}" known)
  check_cxx_compiler_flag(${flag} ${known})
  if(${known} AND NOT flag IN_LIST hardening_CXXFLAGS)
    list(APPEND hardening_CXXFLAGS ${flag})
  endif()
endforeach()

foreach(flag IN LISTS hardening_CPPFLAGS hardening_CXXFLAGS)
  if(flag MATCHES "^-D_FORTIFY_SOURCE")
    # The checked functions exist only when optimising; without it glibc
    # warns, and warnings are errors here.
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
  elseif(flag MATCHES "^-(fstack-|fcf-protection|Wformat|Werror=format)")
    add_compile_options(${flag})
  endif()
endforeach()
foreach(flag IN LISTS hardening_LDFLAGS)
  if(flag MATCHES "^-Wl,-z,")
    add_link_options(${flag})
  endif()
endforeach()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
