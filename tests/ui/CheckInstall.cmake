# Installs the build into PREFIX and checks that the program, its help pages, its icon and its
# desktop entry are there, the entry naming the installed program.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<folder> -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/planorapro share/doc/planorapro/help/mainwindow.html share/doc/planorapro/help/depthlevel.html
             share/doc/planorapro/help/rollalong.html share/icons/hicolor/scalable/apps/planorapro.svg
             share/applications/planorapro.desktop)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/planorapro.desktop" entry)
foreach(line "Exec=\"${PREFIX}/bin/planorapro\" %f" "Icon=planorapro" "Name=Planora Pro")
  string(FIND "${entry}" "${line}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "the desktop entry lacks the line ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
