# Installs the already built library into a private prefix, then configures,
# builds and runs a consumer that finds it with find_package(vxbind).
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
if(NOT EXISTS ${WORK_DIR}/prefix/lib/pkgconfig/vxbind.pc AND
   NOT EXISTS ${WORK_DIR}/prefix/lib/x86_64-linux-gnu/pkgconfig/vxbind.pc)
  file(GLOB_RECURSE pcs ${WORK_DIR}/prefix/*.pc)
  if(NOT pcs)
    message(FATAL_ERROR "no pkg-config file installed")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${CONSUMER} -B ${WORK_DIR}/build
                        -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer configure failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer build failed")
endif()
execute_process(COMMAND ${WORK_DIR}/build/consumer RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "consumer run failed")
endif()
