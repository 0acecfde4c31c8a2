# Installation as a Linux desktop program, and the Debian package.
include(GNUInstallDirs)

set(QELVRIN_RELEASE_DATE 2026-12-07)
set(QELVRIN_MAINTAINER "QELVRIN developers <qelvrin@example.org>" CACHE STRING
    "Maintainer of the Debian package (name <mail>)")
set(QELVRIN_HOMEPAGE "https://qelvrin.example.org" CACHE STRING
    "Home page; the AppStream screenshot is looked for under it")

install(TARGETS qelvrin qelvrin-batch qelvrin-backlog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The drive set-up looks for the stand-in in ../lib/qelvrin beside the program.
install(TARGETS qelvrin-sas RUNTIME DESTINATION lib/qelvrin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/qelvrin/demo)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qelvrin-batch-result.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/qelvrin)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qelvrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/qelvrin.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the changelog, compressed as Debian wants them: the
# greatest compression, no name and no time stamp, so builds are repeatable.
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
set(compressed)
foreach(page qelvrin qelvrin-batch qelvrin-backlog)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/man/${page}.1.in ${packaging_out}/${page}.1 @ONLY)
  list(APPEND compressed ${packaging_out}/${page}.1)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog ${packaging_out}/changelog COPYONLY)
list(APPEND compressed ${packaging_out}/changelog)
set(compressed_gz)
foreach(file ${compressed})
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9 -n -c ${file} > ${file}.gz
    DEPENDS ${file} VERBATIM)
  list(APPEND compressed_gz ${file}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${compressed_gz})
install(FILES ${packaging_out}/qelvrin.1.gz ${packaging_out}/qelvrin-batch.1.gz ${packaging_out}/qelvrin-backlog.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_out}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

configure_file(${PROJECT_SOURCE_DIR}/packaging/org.example.qelvrin.metainfo.xml.in
               ${packaging_out}/org.example.qelvrin.metainfo.xml @ONLY)
install(FILES ${packaging_out}/org.example.qelvrin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qelvrin)
set(CPACK_PACKAGE_VENDOR "QELVRIN developers")
set(CPACK_PACKAGE_CONTACT "${QELVRIN_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QELVRIN_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The first line is the synopsis, the rest the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "front end for the batch assessment of inorganic laboratory data
An operator loads a sample delivery group (SDG) of laboratory data from
diskettes or a folder, runs the Data Load, Initial Assessment and Full
Assessment stages as jobs of an external batch processor, watches a
completion bar, is told whether each stage ended normally, and reads,
searches and prints the logs and defect reports in a built-in viewer.
.
qelvrin-batch runs the same stages without a window, one SDG per drive,
and can report each run as JSON. qelvrin-backlog runs, resumes and reports
many SDGs through GNU parallel or a Slurm job array. A stand-in batch
processor and sample SDGs are included.")
# The backlog runs its lines through GNU parallel; Slurm is the cluster's own.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "parallel")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "slurm-client")
set(CPACK_STRIP_FILES ON)
include(CPack)
