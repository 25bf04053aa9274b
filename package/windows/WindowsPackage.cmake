# The Windows packages, included by the Windows build after its program target exists:
#   - Ovin-<version>-win64.exe, an installer that puts ovin.exe into a router's folder for the current user, with
#     a Startup shortcut (hidden in the tray at log-on), a Start-menu shortcut that opens the window and an
#     uninstaller; silent with /S /D=<folder>;
#     The installer also puts ovin-report.exe with its manual as text beside the program, and a Start-menu shortcut
#     "Ovin – přehled (<folder>)" that writes the folder's report page and opens it in the default browser;
#   - Ovin-<version>-win64.zip with the programs, the manual, the README and the licence, for those who copy by
#     hand.
#     cpack -G NSIS / cpack -G ZIP, or plain cpack for both.
#
# OVIN_WINDOWS_PROGRAM names the program's target (default ovin); its file must be ovin.exe.
include_guard(GLOBAL)

if(NOT DEFINED OVIN_WINDOWS_PROGRAM)
  set(OVIN_WINDOWS_PROGRAM ovin)
endif()
get_filename_component(_ovinRoot "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)

# CPack looks for NSIS.template.in on the module path before its own.
list(PREPEND CMAKE_MODULE_PATH "${CMAKE_CURRENT_LIST_DIR}")

# Everything lands in the package's root: the installer takes only ovin.exe from there, the zip takes it all. The
# packages hold this component alone, whatever else the build installs.
install(TARGETS ${OVIN_WINDOWS_PROGRAM} RUNTIME DESTINATION . COMPONENT windows)
install(FILES "${_ovinRoot}/README-windows.md" DESTINATION . COMPONENT windows)
if(TARGET ovin-report)
  install(TARGETS ovin-report RUNTIME DESTINATION . COMPONENT windows)
  # The manual page as text for Windows: UTF-8 with a byte-order mark, so that Notepad takes it as such, and CR LF.
  find_program(OVIN_GROFF groff REQUIRED)
  set(_ovinReportManual "${CMAKE_BINARY_DIR}/ovin-report.txt")
  add_custom_command(OUTPUT "${_ovinReportManual}"
    COMMAND sh -c "printf '\\357\\273\\277' > \"$1\" && \"$0\" -man -Tutf8 -P-cbou \"$2\" | sed 's/$/\\r/' >> \"$1\""
      "${OVIN_GROFF}" "${_ovinReportManual}" "${_ovinRoot}/package/ovin-report.1"
    DEPENDS "${_ovinRoot}/package/ovin-report.1"
    VERBATIM)
  add_custom_target(ovin_report_manual ALL DEPENDS "${_ovinReportManual}")
  install(FILES "${_ovinReportManual}" DESTINATION . COMPONENT windows)
endif()
install(FILES "${_ovinRoot}/package/copyright" DESTINATION . RENAME copyright.txt COMPONENT windows)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};windows;/")

find_program(OVIN_MAKENSIS makensis DOC "NSIS compiler for the Windows installer")
if(OVIN_MAKENSIS)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/makensis.in" "${CMAKE_BINARY_DIR}/makensis-amd64" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CPACK_NSIS_EXECUTABLE "${CMAKE_BINARY_DIR}/makensis-amd64")
  set(CPACK_GENERATOR NSIS ZIP)
else()
  message(STATUS "makensis not found: cpack makes only the zip")
  set(CPACK_GENERATOR ZIP)
endif()

set(CPACK_PACKAGE_NAME Ovin)
set(CPACK_PACKAGE_VENDOR "Ovin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watchdog that keeps the router trovan.exe running")
set(CPACK_PACKAGE_FILE_NAME Ovin-${PROJECT_VERSION}-win64)
# Where cpack puts the installer (CPack's own name variable is the source package's once CPack is included).
set(OVIN_WINDOWS_INSTALLER "${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.exe")
set(CPACK_RESOURCE_FILE_LICENSE "${_ovinRoot}/package/copyright")
set(CPACK_STRIP_FILES ON)
# The four-part version the installer's own version resource needs.
set(_ovinVersionQuad ${PROJECT_VERSION})
foreach(_part RANGE 1 3)
  string(REGEX MATCHALL "[.]" _dots "${_ovinVersionQuad}")
  list(LENGTH _dots _dotCount)
  if(_dotCount LESS 3)
    string(APPEND _ovinVersionQuad .0)
  endif()
endforeach()
set(CPACK_OVIN_VERSION_QUAD ${_ovinVersionQuad})
# Icons for the installer and the uninstaller, when the build has drawn an .ico file.
if(DEFINED OVIN_WINDOWS_ICON)
  set(CPACK_NSIS_MUI_ICON "${OVIN_WINDOWS_ICON}")
  set(CPACK_NSIS_MUI_UNIICON "${OVIN_WINDOWS_ICON}")
endif()

include(CPack)

# The packages without building the tests first, as the built-in "package" target would.
add_custom_target(windows_packages
  COMMAND "${CMAKE_CPACK_COMMAND}" --config "${CMAKE_BINARY_DIR}/CPackConfig.cmake"
  WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
  DEPENDS ${OVIN_WINDOWS_PROGRAM}
  COMMENT "Packing Ovin-${PROJECT_VERSION}-win64"
  VERBATIM)
if(TARGET ovin-report)
  add_dependencies(windows_packages ovin-report ovin_report_manual)
endif()
