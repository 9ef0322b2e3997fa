# varen_add_test(<name> SOURCES ... LIBS ... LABELS ... [TIMEOUT s] [QT])
#
# Builds one test program and registers it with CTest. Every test carries labels (unit, integration,
# pages, e2e) so CI and developers can pick a subset with `ctest -L`. Tests that need the unit
# simulator get its path in VAREN_UNITSIM; every test runs with its own XDG folders so it never
# touches the developer's settings or another test's ports.
function(varen_add_test name)
  cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  if(T_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE Qt5::Test)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set(sandbox "${CMAKE_CURRENT_BINARY_DIR}/${name}.xdg")
  set_tests_properties(${name} PROPERTIES
    LABELS "${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "VAREN_UNITSIM=$<TARGET_FILE:varen-unitsim>;XDG_CONFIG_HOME=${sandbox}/config;XDG_DATA_HOME=${sandbox}/data;XDG_RUNTIME_DIR=${sandbox}/run;VAREN_PORT_DIR=${sandbox}/ports")
  file(MAKE_DIRECTORY "${sandbox}/config" "${sandbox}/data" "${sandbox}/run" "${sandbox}/ports")
  # Qt insists that a runtime directory be private to its user.
  file(CHMOD "${sandbox}/run" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
