# Installs vxbind into a fresh prefix and builds a consumer against it, the
# two ways a user would: find_package(vxbind) and the README's pkg-config
# line. Then runs both consumers.
#
#   -DSOURCE_DIR=<vxbind>  -DWORK_DIR=<scratch>  -DCONSUMER_DIR=<tests/package>
#   -DCXX=<compiler>  and either
#   -DBUILD_DIR=<a configured and built vxbind>   (installed as it is), or
#   -DSHARED=ON|OFF                               (configured and built here)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
if(NOT BUILD_DIR)
  set(BUILD_DIR ${WORK_DIR}/vxbind)
  run("configure vxbind" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR}
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${CXX} -DBUILD_SHARED_LIBS=${SHARED}
      -DVXBIND_BUILD_TESTS=OFF -DVXBIND_BUILD_EXAMPLES=OFF -DVXBIND_INSTALL=ON)
  run("build vxbind" ${CMAKE_COMMAND} --build ${BUILD_DIR} -j2)
endif()
# The configured prefix stays the default one: the installed files must
# point into the prefix given here, not into the configured one.
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

file(GLOB_RECURSE pc_files ${prefix}/*/vxbind.pc)
file(GLOB_RECURSE shared_libs ${prefix}/*/libvxbind.so)
if(NOT pc_files)
  message(FATAL_ERROR "no vxbind.pc under ${prefix}")
endif()
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
get_filename_component(lib_dir ${pc_dir} DIRECTORY)

# 1. find_package, as the README's CMake lines do.
run("configure the find_package consumer" ${CMAKE_COMMAND} -S ${CONSUMER_DIR}/find_package
    -B ${WORK_DIR}/find_package -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix})
run("build the find_package consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/find_package)
run("run the find_package consumer" ${WORK_DIR}/find_package/consumer)
if(EXISTS ${prefix}/bin/vxbindc)
  if(NOT EXISTS ${WORK_DIR}/find_package/generated_consumer)
    message(FATAL_ERROR "vxbindc is installed, but vxbind_generate() made no consumer")
  endif()
  run("run the generated-classes consumer" ${WORK_DIR}/find_package/generated_consumer)
endif()

# 2. The README's line: g++ -std=c++17 app.cpp $(pkg-config --cflags --libs vxbind)
run("pkg-config build" ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir}
    sh -c "${CXX} -std=c++17 ${CONSUMER_DIR}/consumer.cpp $(pkg-config --cflags --libs vxbind) -o ${WORK_DIR}/pkg_consumer")
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
