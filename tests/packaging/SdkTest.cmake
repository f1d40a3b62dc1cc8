# The control library's SDK as an outside host meets it: a DESTDIR install of this build, then
# either the example host configured with find_package(VantileCtl), built and run against it
# (MODE example), or the pkg-config file asked for the flags (MODE pkgconfig); and the split of
# the install into the program's and the SDK's components (MODE components).
# HOST_FLAGS, when not empty, are added to the host's compile and link (a sanitized build's
# library needs its hosts built with the same runtime).
#   cmake -DMODE=... -DBINARY_DIR=... -DSOURCE_DIR=... -DBUILD_TYPE=... [-DHOST_FLAGS=...]
#         -P SdkTest.cmake
set(stage ${BINARY_DIR}/sdk-test/${MODE}/stage)
set(prefix ${stage}/usr)
file(REMOVE_RECURSE ${BINARY_DIR}/sdk-test/${MODE})

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "components")
  # The Debian packages are the components: the program's (installs without a component) holds
  # no SDK file, and the SDK's holds nothing else (but its copyright and changelog).
  foreach(component Unspecified dev)
    run("installing ${component}" ${CMAKE_COMMAND} -E env DESTDIR=${stage}/${component}
        ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix /usr --component ${component})
    file(GLOB_RECURSE files RELATIVE ${stage}/${component}/usr ${stage}/${component}/usr/*)
    foreach(file IN LISTS files)
      string(REGEX MATCH
             "^(include/vantile/|lib/cmake/VantileCtl/|lib/pkgconfig/vantilectl.pc$|share/doc/quorvane-vantile-dev/)"
             sdk "${file}")
      if(component STREQUAL "dev" AND NOT sdk)
        message(FATAL_ERROR "the SDK component holds ${file}")
      elseif(component STREQUAL "Unspecified" AND sdk)
        message(FATAL_ERROR "the program's component holds the SDK file ${file}")
      endif()
    endforeach()
    if(NOT files)
      message(FATAL_ERROR "the ${component} component is empty")
    endif()
  endforeach()
  return()
endif()

run("installing" ${CMAKE_COMMAND} -E env DESTDIR=${stage}
    ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix /usr)
foreach(file include/vantile/Vantile.h include/vantile/ComponentHost.h
             include/vantile/vantilectl_export.h lib/cmake/VantileCtl/VantileCtlConfig.cmake
             lib/pkgconfig/vantilectl.pc)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the SDK lacks ${file}")
  endif()
endforeach()

if(MODE STREQUAL "pkgconfig")
  # The file finds the prefix from its own place, so the staged tree needs nothing but the path.
  run("pkg-config" ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${prefix}/lib/pkgconfig
      pkg-config --cflags --libs vantilectl)
  message(STATUS "pkg-config --cflags --libs vantilectl: ${output}")
  string(STRIP "${output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # A program that uses the control library, compiled and linked with those flags alone.
  set(program ${BINARY_DIR}/sdk-test/${MODE}/uses_vantile)
  file(WRITE ${program}.cpp "#include <vantile/Vantile.h>
int main() { return vantile::FontFromDesc({\"Sans\", 8.0, true, false, 0}).bold() ? 0 : 1; }
")
  separate_arguments(host_flags UNIX_COMMAND "${HOST_FLAGS}")
  run("compiling with the pkg-config flags" c++ -std=c++20 -fPIC ${host_flags} ${program}.cpp
      -o ${program} ${flags})
  run("running the program" ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib
      QT_QPA_PLATFORM=offscreen ${program})
  return()
endif()

set(example ${BINARY_DIR}/sdk-test/${MODE}/vantile-host)
run("configuring the example" ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/vantile-host
    -B ${example} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    "-DCMAKE_CXX_FLAGS=-Werror ${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_FLAGS}")
run("building the example" ${CMAKE_COMMAND} --build ${example} --parallel 2)
# The host finds the control through the registry, as on an installed system; the staged
# library is registered in a registry of the test's own.
set(registry ${example}/components.ini)
run("registering the control" ${CMAKE_COMMAND} -E env VANTILE_REGISTRY=${registry}
    QT_QPA_PLATFORM=offscreen ${prefix}/lib/quorvane/quorvane-regsvr ${prefix}/lib/libVantileCtl.so.1)
run("running the example" ${CMAKE_COMMAND} -E env VANTILE_REGISTRY=${registry}
    QT_QPA_PLATFORM=offscreen ${example}/vantile-host)
message(STATUS "${output}")
string(FIND "${output}" "Created VantileCtl.Vantile from ${prefix}/lib/libVantileCtl.so.1" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the example did not use the installed library")
endif()
