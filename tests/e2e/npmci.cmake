# Installs the end-to-end tests' node packages into the build tree with `npm ci`, exactly as
# package-lock.json pins them. Runs npm only when node_modules is missing or the lock file has
# changed since the last install, so a build that has its packages works without a network.
#   cmake -DNPM=<npm> -DSOURCE_DIR=<tests/e2e> -DINSTALL_DIR=<dir> -P npmci.cmake
foreach(variable NPM SOURCE_DIR INSTALL_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "npmci.cmake needs -D${variable}=...")
  endif()
endforeach()

set(lock ${SOURCE_DIR}/package-lock.json)
set(stamp ${INSTALL_DIR}/node_modules/.varen-package-lock.json)
if(EXISTS ${stamp})
  file(SHA256 ${lock} wanted)
  file(SHA256 ${stamp} installed)
  if(wanted STREQUAL installed)
    message(STATUS "node packages are up to date in ${INSTALL_DIR}")
    return()
  endif()
endif()

file(MAKE_DIRECTORY ${INSTALL_DIR})
configure_file(${SOURCE_DIR}/package.json ${INSTALL_DIR}/package.json COPYONLY)
configure_file(${lock} ${INSTALL_DIR}/package-lock.json COPYONLY)
execute_process(
  COMMAND ${NPM} ci --ignore-scripts --no-audit --no-fund
  WORKING_DIRECTORY ${INSTALL_DIR}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "npm ci failed (${result}) in ${INSTALL_DIR}")
endif()
configure_file(${lock} ${stamp} COPYONLY)
