# Helpers shared by every folder's CMakeLists.txt.
include(GoogleTest)

# The tests' XDG_RUNTIME_DIR: private to the user, as Qt expects (it warns when the variable
# is unset). Tests that need a folder of their own (a game folder) point it elsewhere.
# GoogleTest's discovered tests get it as a property of its own: their properties are passed
# on as a flat list, so a second ENVIRONMENT entry would split from the first.
set(ZRT_TEST_RUNTIME_DIR ${CMAKE_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${ZRT_TEST_RUNTIME_DIR})
file(CHMOD ${ZRT_TEST_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

# zrt_gtest(<name> SOURCES <files...> LIBS <targets...> [LOCK <resource>]): a GoogleTest
# executable registered with CTest; LOCK keeps its tests from running beside other tests that
# hold the same resource (a fixed port).
function(zrt_gtest name)
  cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS" ${ARGN})
  set(lock_property)
  if(ARG_LOCK)
    set(lock_property RESOURCE_LOCK ${ARG_LOCK})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    ZRT_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    ZRT_GAME_DIR="${ZRT_GAME_DIR}"
    ZRT_SCREENSHOT_DIR="${ZRT_SCREENSHOT_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "XDG_RUNTIME_DIR=set:${ZRT_TEST_RUNTIME_DIR}" TIMEOUT 300 ${lock_property})
endfunction()

# zrt_qtest(<name> SOURCES <files...> LIBS <targets...>): a QtTest executable run offscreen.
function(zrt_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    ZRT_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}"
    ZRT_GAME_DIR="${ZRT_GAME_DIR}"
    ZRT_SCREENSHOT_DIR="${ZRT_SCREENSHOT_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${ZRT_TEST_RUNTIME_DIR};ZRT_SCREENSHOT_DIR=${ZRT_SCREENSHOT_DIR}"
    TIMEOUT 300)
endfunction()

# zrt_folder_library(<name> [QT] LIBS <targets...>): the one library of a source folder, made of
# every .cpp file in it. QT turns on moc for the folder's QObject classes.
function(zrt_folder_library name)
  cmake_parse_arguments(ARG "QT" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    if(ARG_QT)
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()
