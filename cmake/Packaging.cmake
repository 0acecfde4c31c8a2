# Installation as a Linux desktop program, and the Debian package.
include(GNUInstallDirs)

install(TARGETS qelvrin qelvrin-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The drive set-up looks for the stand-in in ../lib/qelvrin beside the program.
install(TARGETS qelvrin-sas RUNTIME DESTINATION lib/qelvrin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/qelvrin/demo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qelvrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qelvrin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qelvrin)
set(CPACK_PACKAGE_VENDOR "QELVRIN developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Front end for the three-stage batch assessment of inorganic laboratory data")
set(CPACK_PACKAGE_CONTACT "QELVRIN developers <qelvrin@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
