# The Win32 backend of the toolkit (included by platform/CMakeLists.txt on Windows).
add_library(czasomir_platform_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/toolkit_win.cpp ${CMAKE_CURRENT_LIST_DIR}/toolkit_win.h
  ${CMAKE_CURRENT_LIST_DIR}/process_win.cpp ${CMAKE_CURRENT_LIST_DIR}/use_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/elevation_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/location_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/question_win.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dpi_win.cpp ${CMAKE_CURRENT_LIST_DIR}/dpi_win.h
  ${CMAKE_CURRENT_LIST_DIR}/picture_win.cpp ${CMAKE_CURRENT_LIST_DIR}/picture_win.h
  ${CMAKE_CURRENT_LIST_DIR}/shell_win.cpp ${CMAKE_CURRENT_LIST_DIR}/shell_win.h
  ${CMAKE_CURRENT_LIST_DIR}/chart_win.cpp ${CMAKE_CURRENT_LIST_DIR}/chart_win.h
  ${CMAKE_CURRENT_LIST_DIR}/accessible_win.cpp ${CMAKE_CURRENT_LIST_DIR}/accessible_win.h
  ${CMAKE_CURRENT_LIST_DIR}/handles_win.h)
# shell32 and ole32 are not linked: shell_win.cpp loads them when first used; so
# does use_win.cpp with wtsapi32 and powrprof, and accessible_win.cpp with oleacc
# and oleaut32.
# uuid: a static library of GUIDs (the known folders'), no DLL.
target_link_libraries(czasomir_platform_win PUBLIC czasomir_toolkit PRIVATE user32 gdi32 comctl32 advapi32 uuid)
