# Shared build settings and the one helper that registers tests.

# pnx_target_defaults(<target>): warnings and language settings for code of ours.
function(pnx_target_defaults target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(PNX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# pnx_qt_defaults(<target>): as above, plus the Qt string-safety switches.
function(pnx_qt_defaults target)
  pnx_target_defaults(${target})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)
endfunction()

# pnx_add_test(<name> SOURCES <files...> [LIBS <targets...>] [QT] [TIMEOUT <seconds>])
# Builds one test executable and registers it with CTest. Every test runs headless
# (offscreen platform) from its own build folder, so none can touch a real pnx.dat.
function(pnx_add_test name)
  cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    find_package(Qt6 REQUIRED COMPONENTS Test)
    pnx_qt_defaults(${name})
    target_link_libraries(${name} PRIVATE Qt6::Test)
  else()
    pnx_target_defaults(${name})
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name};XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name}/.config;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/home-${name}/.local/share")
  # Each test has a home of its own: no test reads or writes the settings or data of the user
  # who runs them, nor those of another test.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/home-${name})
endfunction()

# Installed layout (GNUInstallDirs): programs in bin/, the files they share (the fresh database,
# the manual, the translations) in share/pnx/. The build folder has the same layout (build/bin,
# build/share/pnx), and a program finds its shared files by the same relative path from its own
# folder in both (PNX_SHARE_FROM_BIN).
include(GNUInstallDirs)
set(PNX_INSTALL_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/pnx)
file(RELATIVE_PATH PNX_SHARE_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/pnx)
set(PNX_SHARE_BUILD_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${PNX_SHARE_FROM_BIN})
cmake_path(NORMAL_PATH PNX_SHARE_BUILD_DIR)
# The reverse-DNS name of the program: its desktop entry, icon and metainfo carry it.
set(PNX_APP_ID example.quarvel.pnx)
