# Debian's build flags, every hardening feature on (dpkg-buildflags with
# hardening=+all: fortified functions, stack protector, read-only
# relocations bound at start-up), which lintian looks for in the package.
# On by default in an optimised build where dpkg-buildflags is installed;
# the sanitizer and fuzzing builds keep their own instrumentation, and a
# Debug build its -O0 (fortified functions need the optimiser). -O and -g
# are left to the build type.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
set(hardening_default OFF)
if(DPKG_BUILDFLAGS AND NOT UPDATER_SANITIZE AND NOT UPDATER_FUZZ AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(hardening_default ON)
endif()
option(UPDATER_DPKG_BUILDFLAGS "Compile and link with the hardening flags of dpkg-buildflags" ${hardening_default})
if(UPDATER_DPKG_BUILDFLAGS)
  if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "UPDATER_DPKG_BUILDFLAGS needs dpkg-buildflags (package dpkg-dev)")
  endif()
  foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind}
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE flags
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.*|g)$")
    # A plain build only shows warnings (UPDATER_WERROR), Debian's included.
    if(NOT UPDATER_WERROR)
      list(TRANSFORM flags REPLACE "^-Werror=" "-W")
    endif()
    if(kind STREQUAL "CPPFLAGS")
      add_compile_options(${flags})
    elseif(kind STREQUAL "CFLAGS")
      add_compile_options("$<$<COMPILE_LANGUAGE:C>:${flags}>")
    elseif(kind STREQUAL "CXXFLAGS")
      add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:${flags}>")
    else()
      add_link_options(${flags})
    endif()
  endforeach()
endif()
