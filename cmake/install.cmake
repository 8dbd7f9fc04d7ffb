# Where "cmake --install" puts orvella, orvella-convert and their desktop files, and the Debian
# package CPack makes of them (scripts/package.sh).
include(GNUInstallDirs)

set(ORVELLA_RELEASE_DATE "2026-12-08")
set(ORVELLA_RELEASE_STAMP "Tue, 08 Dec 2026 00:00:00 +0000")
set(ORVELLA_MAINTAINER "Orvella developers <orvella@example.org>")
set(ORVELLA_HOMEPAGE "https://github.com/orvella/orvella")
set(ORVELLA_APP_ID "io.github.orvella.Orvella")

# Whatever the umask of the machine that builds the package.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(data ${PROJECT_SOURCE_DIR}/data)
set(gen ${PROJECT_BINARY_DIR}/data)

install(TARGETS orvella-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET orvella)
  install(TARGETS orvella RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${data}/orvella.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY ${data}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  install(FILES ${data}/icons/orvella.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  configure_file(${data}/${ORVELLA_APP_ID}.metainfo.xml.in ${gen}/${ORVELLA_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${gen}/${ORVELLA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${data}/bash-completion/orvella DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
install(FILES ${data}/bash-completion/orvella-convert DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
# A stripped install (the package) also loses .comment, the compilers' names and versions, which
# strip keeps and Debian's own packages drop.
set(programs $<TARGET_FILE_NAME:orvella-convert>)
if(TARGET orvella)
  list(APPEND programs $<TARGET_FILE_NAME:orvella>)
endif()
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${programs})
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
endif()

# Manual pages (English, and Japanese under ja/) and the changelog, compressed as Debian wants
# them: gzip -n, so the same sources give the same bytes.
set(ORVELLA_MAN_DATE ${ORVELLA_RELEASE_DATE})
set(compressed)
set(pages orvella-convert)
if(TARGET orvella)
  list(APPEND pages orvella)
endif()
foreach(lang "" "ja/")
  foreach(page IN LISTS pages)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${lang}${page}.1.in ${gen}/man/${lang}${page}.1 @ONLY)
    list(APPEND compressed ${gen}/man/${lang}${page}.1)
    install(FILES ${gen}/man/${lang}${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${lang}man1)
  endforeach()
endforeach()
configure_file(${data}/changelog.in ${gen}/changelog @ONLY)
list(APPEND compressed ${gen}/changelog)
set(outputs)
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${file}.gz
    COMMAND gzip -9 -n -c ${file} > ${file}.gz
    DEPENDS ${file} VERBATIM)
  list(APPEND outputs ${file}.gz)
endforeach()
add_custom_target(orvella_docs ALL DEPENDS ${outputs})
install(FILES ${gen}/changelog.gz ${data}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvella)

# ---- The Debian package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvella)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ORVELLA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ORVELLA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "split a text into numbered vMessage files for a handset")
# CPack puts the summary in front as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvella turns a long plain text in Shift_JIS (code page 932), such as a novel
or notes, into a numbered series of vMessage 1.1 records that a mobile handset
takes in as received mail. The text is split line by line so that no record
passes a byte limit.
.
A small Japanese window (orvella) does the job interactively; orvella-convert
does the same from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORVELLA_HOMEPAGE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The window speaks Japanese: it needs Japanese glyphs, and Qt's dialogs its Japanese texts;
# qt6-wayland lets it open natively on a Wayland desktop (XWayland otherwise).
if(TARGET orvella)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-noto-cjk")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
endif()
include(CPack)
