# Script of the InstalledConsumer test (see Consumer.cmake).
cmake_minimum_required(VERSION 3.20)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}\n${err}")
  endif()
  # Rows end in CR LF; compare them without the CR.
  string(REPLACE "\r" "" out "${out}")
  set(RUN_OUTPUT "${out}" PARENT_SCOPE)
endfunction()

# Configures, builds and runs the consumer project in source as `name`;
# its program must print `expected`.
function(build_and_run name source program)
  run(${CMAKE_COMMAND} -S ${source} -B ${WORK_DIR}/${name} -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
      -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS=${FLAGS}")
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/${name})
  run(${WORK_DIR}/${name}/${program})
  if(NOT RUN_OUTPUT STREQUAL expected)
    message(FATAL_ERROR "${name} consumer printed:\n${RUN_OUTPUT}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
set(config_args)
if(CONFIG)
  set(config_args --config ${CONFIG})
endif()
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_args})

# What the install holds: public headers only, the library, both packages.
foreach(f include/OrvaneNet/OrvaneNet.h include/OrvaneNet/Matrix.h)
  if(NOT EXISTS ${prefix}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
file(GLOB_RECURSE internal ${prefix}/include/*Interfaces.h ${prefix}/include/*Messages.h)
if(internal)
  message(FATAL_ERROR "internal headers installed: ${internal}")
endif()
file(GLOB_RECURSE config_files ${prefix}/*/OrvaneNetConfig.cmake ${prefix}/*/OrvaneNetConfigVersion.cmake)
file(GLOB_RECURSE pc_file ${prefix}/*/orvanenet.pc)
file(GLOB_RECURSE shared_lib ${prefix}/*/liborvanenet.so)
list(LENGTH config_files n_config)
if(NOT n_config EQUAL 2 OR NOT pc_file OR NOT shared_lib)
  message(FATAL_ERROR "missing package files: config '${config_files}' pc '${pc_file}' lib '${shared_lib}'")
endif()

set(expected "[1.0000]\n[-2.0000]\n[3.0000]\n")

# 1. find_package(OrvaneNet CONFIG REQUIRED)
build_and_run(by-cmake ${SOURCE_DIR} consumer)

# 2. pkg-config --cflags --libs orvanenet
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
run(pkg-config --cflags --libs orvanenet)
string(STRIP "${RUN_OUTPUT}" pc_flags)
if(pc_flags MATCHES "-std=")
  message(FATAL_ERROR "orvanenet.pc must leave the language standard to the user: ${pc_flags}")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
run(pkg-config --variable=libdir orvanenet)
string(STRIP "${RUN_OUTPUT}" libdir)
separate_arguments(extra_flags UNIX_COMMAND "${FLAGS}")
# A newer standard than the library's minimum (C++20) must work as well.
run(${CXX} -std=c++2b ${extra_flags} ${SOURCE_DIR}/main.cpp ${pc_flags} -Wl,-rpath,${libdir}
    -o ${WORK_DIR}/consumer-pc)
run(${WORK_DIR}/consumer-pc)
if(NOT RUN_OUTPUT STREQUAL expected)
  message(FATAL_ERROR "pkg-config consumer printed:\n${RUN_OUTPUT}")
endif()

# 3. The tool installed beside the library finds it.
if(EXISTS ${prefix}/bin/orvane)
  run(${prefix}/bin/orvane bessel j 0 0)
  if(NOT RUN_OUTPUT STREQUAL "[0.0000,1.0000]\n")
    message(FATAL_ERROR "installed orvane printed:\n${RUN_OUTPUT}")
  endif()
endif()
# 4. The Distributed component: installed, found and working with
# ORVANE_WITH_MPI; otherwise its header stays out of the install.
if(DISTRIBUTED)
  build_and_run(by-component ${SOURCE_DIR}/../distributed/consumer distributed_consumer)
elseif(EXISTS ${prefix}/include/OrvaneNet/Distributed.h)
  message(FATAL_ERROR "Distributed.h installed without the Distributed library")
endif()
message(STATUS "Consumer built and ran through find_package and pkg-config")
file(REMOVE_RECURSE ${WORK_DIR})
