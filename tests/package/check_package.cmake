# Builds consumers of vxbind the ways a user would, then runs them:
# find_package(vxbind) from a build folder (-Dvxbind_DIR), and after
# installing into a fresh prefix find_package(vxbind) and the README's
# pkg-config line.
#
#   -DSOURCE_DIR=<vxbind>  -DWORK_DIR=<scratch>  -DCONSUMER_DIR=<tests/package>
#   -DCXX=<compiler>  [-DLAUNCHER=<compiler launcher, e.g. ccache>]
#   [-DCHECK=build_tree|install|both (the default)], and either
#   -DBUILD_DIR=<a configured and built vxbind>   (used as it is), or
#   -DSHARED=ON|OFF                               (configured and built here)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

# The find_package consumer, with the package in <config_dir>: vxbind's
# checks of itself (consumer.cpp) and, when the package has vxbindc, classes
# that vxbind_generate() made from a schema.
function(find_package_consumer what config_dir)
  set(dir ${WORK_DIR}/${what}_consumer)
  run("configure the ${what} consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR}/find_package -B ${dir}
      -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER} ${ARGN})
  run("build the ${what} consumer" ${CMAKE_COMMAND} --build ${dir} -j2)
  run("run the ${what} consumer" ${dir}/consumer)
  file(READ ${config_dir}/vxbindTargets.cmake targets)
  string(FIND "${targets}" "add_executable(vxbind::vxbindc IMPORTED)" at)
  if(NOT at EQUAL -1)
    if(NOT EXISTS ${dir}/generated_consumer)
      message(FATAL_ERROR "the package has vxbindc, but vxbind_generate() made no consumer")
    endif()
    run("run the ${what} generated-classes consumer" ${dir}/generated_consumer)
  endif()
endfunction()

if(NOT CHECK)
  set(CHECK both)
endif()
file(REMOVE_RECURSE ${WORK_DIR})
if(NOT BUILD_DIR)
  set(BUILD_DIR ${WORK_DIR}/vxbind)
  run("configure vxbind" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR}
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_SHARED_LIBS=${SHARED}
      -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
      -DVXBIND_BUILD_TESTS=OFF -DVXBIND_BUILD_EXAMPLES=OFF -DVXBIND_INSTALL=ON)
  run("build vxbind" ${CMAKE_COMMAND} --build ${BUILD_DIR} -j2)
endif()

# The build folder, as it is.
if(CHECK MATCHES "build_tree|both")
  find_package_consumer(build_tree ${BUILD_DIR} -Dvxbind_DIR=${BUILD_DIR})
endif()
if(NOT CHECK MATCHES "install|both")
  return()
endif()

# The configured prefix stays the default one: the installed files must
# point into the prefix given here, not into the configured one.
set(prefix ${WORK_DIR}/prefix)
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(GLOB_RECURSE pc_files ${prefix}/*/vxbind.pc)
file(GLOB_RECURSE shared_libs ${prefix}/*/libvxbind.so)
file(GLOB_RECURSE config_files ${prefix}/*/vxbindConfig.cmake)
if(NOT pc_files OR NOT config_files)
  message(FATAL_ERROR "no vxbind.pc or no vxbindConfig.cmake under ${prefix}")
endif()
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
get_filename_component(lib_dir ${pc_dir} DIRECTORY)
list(GET config_files 0 config_file)
get_filename_component(config_dir ${config_file} DIRECTORY)

# 1. find_package, as the README's CMake lines do.
find_package_consumer(installed ${config_dir} -DCMAKE_PREFIX_PATH=${prefix})

# 2. The README's line: g++ -std=c++17 app.cpp $(pkg-config --cflags --libs vxbind)
run("pkg-config build" ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
    sh -c "${CXX} -std=c++17 ${CONSUMER_DIR}/consumer.cpp $(pkg-config --cflags --libs vxbind) \
           -DVXBIND_PACKAGE_VERSION=\\\"$(pkg-config --modversion vxbind)\\\" -o ${WORK_DIR}/pkg_consumer")
run("run the pkg-config consumer" ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${lib_dir}
    ${WORK_DIR}/pkg_consumer)

# 3. A shared vxbind exports its interface and nothing of its internals.
if(shared_libs)
  list(GET shared_libs 0 so)
  run("nm" nm -D -C --defined-only ${so})
  execute_process(COMMAND nm -D -C --defined-only ${so} OUTPUT_VARIABLE symbols)
  # Symbols named in detail:: or after internal classes (private members of
  # exported classes may mention detail types in their parameters).
  foreach(internal "VxVevAva5::detail::" "VxVevAva5::CExpatReader" "NarrowCopy")
    string(REGEX MATCH "\n[0-9a-f]+ [A-Za-z] [^\n(]*${internal}[^\n]*" hit "\n${symbols}")
    if(hit)
      message(FATAL_ERROR "${so} exports an internal symbol:${hit}")
    endif()
  endforeach()
  foreach(public "VxVevAva5::CXmlObjectBase::ToXml" "typeinfo for VxVevAva5::CVxInvalidValueException"
                 "VxVevAva5::CDecimal::ToString")
    string(FIND "${symbols}" "${public}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${so} does not export ${public}")
    endif()
  endforeach()
endif()
