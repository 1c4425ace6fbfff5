# velta_application(): one team's product as one Debian package (a CPack
# component): the host, the team's app.config.xml, server and web application,
# a name and an icon.
#
#   velta_application(
#     NAME        velta-demo           # package, command, program folder, window class
#     APPID       org.example.VeltaDemo # reverse-DNS id: desktop entry, icon, AppStream
#     TITLE       "Velta Demo"         # the name users see in their menus
#     SUMMARY     "One line"           # package synopsis, menu comment, AppStream summary
#     DESCRIPTION "Paragraphs"         # package and AppStream description (blank line: new paragraph)
#     CONFIG      app.config.xml       # the team's configuration, installed beside the host
#     [CONFIG_REPLACE FROM TO ...]     # text replaced in CONFIG for the installed layout
#     ICON        icon.svg | icon.png  # hicolor theme icon (PNG: square, its size read from the file)
#     [DATA dir ...]                   # architecture-independent folders (web application, pages):
#                                      #   share/NAME/<dir>, linked from the program folder
#     [SERVER_DIRECTORY appserver]     # the server's folder below the program folder (default: server)
#     [SERVER_TARGETS target ...]      # programs built in this project, installed there stripped
#     [SERVER_PROGRAMS file ...]       # prebuilt programs and scripts, installed there executable
#     [SERVER_FILES file-or-dir ...]   # anything else the server needs (folders keep their modes)
#     [VERSION 1.2]                    # the package's version (default: the project's)
#     [URL_SCHEMES scheme ...]         # link schemes of its own: x-scheme-handler/<scheme>
#     [MIME_TYPES type ...]            # file types it opens (the desktop entry's MimeType=)
#     [MIME_GLOBS type=*.ext ...]      # types of its own, defined for shared-mime-info
#     [CATEGORIES "Office;"] [KEYWORDS "a;b;"] [HOMEPAGE url]
#     [DEVELOPER name] [DEVELOPER_ID rdns]  # default: TITLE, APPID without its last part
#     [LICENSE SPDX-expression] [SECTION misc] [DEPENDS "deb, deb"] [RECOMMENDS "deb"]
#     [COPYRIGHT file] [MAINTAINER "Name <mail>"])
#
# Installed (prefix /usr in the package):
#   bin/NAME                                a launcher: execs the host in the program folder
#   lib/NAME/NAME                           the host (a copy named after the product, so that
#                                           ps and the window class say NAME)
#   lib/NAME/app.config.xml                 CONFIG with CONFIG_REPLACE applied
#   lib/NAME/<SERVER_DIRECTORY>/            SERVER_TARGETS, SERVER_PROGRAMS, SERVER_FILES
#   lib/NAME/<dir> -> ../../share/NAME/<dir> for each DATA folder
#   share/applications/APPID.desktop, share/metainfo/APPID.metainfo.xml,
#   share/mime/packages/APPID.xml (with MIME_GLOBS),
#   share/icons/hicolor/{scalable,SIZExSIZE}/apps/APPID.{svg,png}, share/man/man1/NAME.1.gz,
#   share/doc/NAME/{copyright,changelog.gz}
#
# The host reads app.config.xml in the folder of the path it was started with
# (argv[0], not the file a link points to), so the launcher execs it by its
# path in the program folder. The launcher's path and the links are relative:
# the tree works under any prefix (cmake --install --prefix DIR).

set(VELTA_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

# Text for a manual page: backslashes and lines that would be requests escaped;
# with MINUS, hyphens become minus signs (names, paths, options).
function(velta_roff out text)
  string(REPLACE "\\" "\\e" text "${text}")
  if(ARGN STREQUAL "MINUS")
    string(REPLACE "-" "\\-" text "${text}")
  endif()
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text for XML: the markup characters as entities.
function(velta_xml out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Gzips IN into OUT as Debian wants it (gzip -9n: no name, no time stamp).
function(velta_gzip_file in out)
  add_custom_command(OUTPUT ${out}
    COMMAND gzip -9nc ${in} > ${out}
    DEPENDS ${in} VERBATIM)
  file(RELATIVE_PATH name ${CMAKE_BINARY_DIR} ${out})
  string(MAKE_C_IDENTIFIER "gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS ${out})
endfunction()

# A Debian changelog for a package built here (native: no Debian revision).
function(velta_debian_changelog package version maintainer out)
  set(PACKAGE ${package})
  set(VERSION ${version})
  set(MAINTAINER ${maintainer})
  set(HOST_VERSION ${PROJECT_VERSION})
  set(CHANGELOG_DATE ${VELTA_PACKAGE_DATE})
  string(REGEX REPLACE "\\.gz$" "" text ${out})
  configure_file(${VELTA_PACKAGING_DIR}/templates/changelog.in ${text} @ONLY)
  velta_gzip_file(${text} ${out})
endfunction()

function(velta_application)
  set(one NAME TITLE SUMMARY DESCRIPTION CONFIG ICON SERVER_DIRECTORY VERSION CATEGORIES KEYWORDS
      APPID DEVELOPER DEVELOPER_ID HOMEPAGE LICENSE SECTION DEPENDS RECOMMENDS COPYRIGHT MAINTAINER)
  set(multi CONFIG_REPLACE DATA SERVER_TARGETS SERVER_PROGRAMS SERVER_FILES URL_SCHEMES MIME_TYPES
      MIME_GLOBS)
  cmake_parse_arguments(PARSE_ARGV 0 APP "" "${one}" "${multi}")
  foreach(required NAME APPID TITLE SUMMARY DESCRIPTION CONFIG ICON)
    if(NOT APP_${required})
      message(FATAL_ERROR "velta_application: ${required} is required")
    endif()
  endforeach()
  if(NOT APP_NAME MATCHES "^[a-z0-9][a-z0-9.+-]+$")
    message(FATAL_ERROR "velta_application: NAME '${APP_NAME}' is no Debian package name")
  endif()
  if(NOT APP_APPID MATCHES "^[A-Za-z][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)+$")
    message(FATAL_ERROR "velta_application: APPID '${APP_APPID}' is no reverse-DNS name (com.example.MyApp)")
  endif()
  macro(velta_default key)
    if(NOT DEFINED APP_${key})
      set(APP_${key} "${ARGN}")
    endif()
  endmacro()
  velta_default(SERVER_DIRECTORY server)
  velta_default(VERSION ${PROJECT_VERSION})
  if(NOT DEFINED APP_CATEGORIES)
    set(APP_CATEGORIES "Utility;")
  endif()
  velta_default(DEVELOPER "${APP_TITLE}")
  velta_default(LICENSE LicenseRef-proprietary)
  velta_default(SECTION misc)
  velta_default(RECOMMENDS xdg-utils)
  velta_default(COPYRIGHT ${VELTA_PACKAGING_DIR}/copyright)
  velta_default(MAINTAINER "${VELTA_PACKAGE_MAINTAINER}")

  set(name ${APP_NAME})
  string(MAKE_C_IDENTIFIER ${name} component)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(progdir lib/${name})
  set(datadir ${CMAKE_INSTALL_DATADIR}/${name})
  set(install_root "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY ${out})

  # The host, named after the product.
  install(PROGRAMS $<TARGET_FILE:velta-host> DESTINATION ${progdir} RENAME ${name} COMPONENT ${component})
  install(PROGRAMS $<TARGET_FILE:velta-watchdog> DESTINATION ${progdir} COMPONENT ${component})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" \"${install_root}/${progdir}/${name}\" \"${install_root}/${progdir}/velta-watchdog\")
endif()" COMPONENT ${component})

  # The configuration for the installed layout.
  get_filename_component(config ${APP_CONFIG} ABSOLUTE)
  file(READ ${config} text)
  set(replace ${APP_CONFIG_REPLACE})
  while(replace)
    list(POP_FRONT replace from to)
    string(FIND "${text}" "${from}" found)
    if(found EQUAL -1)
      message(WARNING "velta_application(${name}): '${from}' is not in ${config}")
    endif()
    string(REPLACE "${from}" "${to}" text "${text}")
  endwhile()
  file(WRITE ${out}/app.config.xml.new "${text}")
  configure_file(${out}/app.config.xml.new ${out}/app.config.xml COPYONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${config})
  install(FILES ${out}/app.config.xml DESTINATION ${progdir} COMPONENT ${component})

  # Where the log goes, for the manual page.
  set(LOG_FILE "the file that app.config.xml's Logging and AppDataDirectory name")
  if(text MATCHES "<object name=\"AppDataDirectory\" class=\"configuration\">([^<]+)<")
    set(log_dir ${CMAKE_MATCH_1})
    set(log_name wxHostApp.log)
    if(text MATCHES "<object name=\"Logging\"[^>]* file=\"([^\"]+)\"")
      set(log_name ${CMAKE_MATCH_1})
    endif()
    set(LOG_FILE "${log_dir}/${log_name}")
  endif()

  # The server.
  set(serverdir ${progdir}/${APP_SERVER_DIRECTORY})
  if(APP_SERVER_TARGETS)
    install(TARGETS ${APP_SERVER_TARGETS} RUNTIME DESTINATION ${serverdir} COMPONENT ${component})
  endif()
  if(APP_SERVER_PROGRAMS)
    install(PROGRAMS ${APP_SERVER_PROGRAMS} DESTINATION ${serverdir} COMPONENT ${component})
  endif()
  foreach(item IN LISTS APP_SERVER_FILES)
    if(IS_DIRECTORY ${item})
      install(DIRECTORY ${item} DESTINATION ${serverdir} USE_SOURCE_PERMISSIONS COMPONENT ${component})
    else()
      install(FILES ${item} DESTINATION ${serverdir} COMPONENT ${component})
    endif()
  endforeach()

  # Architecture-independent folders in share/, linked from the program folder.
  file(RELATIVE_PATH up /prefix/${progdir} /prefix/${datadir})
  foreach(dir IN LISTS APP_DATA)
    get_filename_component(base ${dir} NAME)
    install(DIRECTORY ${dir} DESTINATION ${datadir} COMPONENT ${component}
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    install(CODE "set(link \"${install_root}/${progdir}/${base}\")
message(STATUS \"Installing: \${link} -> ${up}/${base}\")
file(CREATE_LINK \"${up}/${base}\" \"\${link}\" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")" COMPONENT ${component})
  endforeach()

  # The launcher, the desktop entry, the AppStream metadata, the manual page.
  set(NAME ${name})
  set(TITLE "${APP_TITLE}")
  set(SUMMARY "${APP_SUMMARY}")
  set(CATEGORIES "${APP_CATEGORIES}")
  set(APPID ${APP_APPID})
  set(DEVELOPER "${APP_DEVELOPER}")
  string(REGEX REPLACE "\\.[^.]*$" "" DEVELOPER_ID ${APP_APPID})
  if(DEFINED APP_DEVELOPER_ID)
    set(DEVELOPER_ID ${APP_DEVELOPER_ID})
  endif()
  set(LICENSE ${APP_LICENSE})
  set(VERSION ${APP_VERSION})
  set(HOST_VERSION ${PROJECT_VERSION})
  set(RELEASE_DATE ${VELTA_PACKAGE_DAY})
  file(RELATIVE_PATH PROGRAM_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${progdir}/${name})
  set(PROGRAM_DIR /usr/${progdir}) # the manual page tells the package's paths
  set(SERVER_DIR ${PROGRAM_DIR}/${APP_SERVER_DIRECTORY})
  # Paragraphs: a blank line in DESCRIPTION.
  velta_xml(TITLE_XML "${APP_TITLE}")
  velta_xml(SUMMARY_XML "${APP_SUMMARY}")
  velta_xml(DEVELOPER_XML "${APP_DEVELOPER}")
  velta_xml(paragraphs "${APP_DESCRIPTION}")
  string(REGEX REPLACE "\n[ \t]*\n" "</p>\n    <p>" paragraphs "${paragraphs}")
  set(DESCRIPTION_XML "<p>${paragraphs}</p>")
  string(TOUPPER ${name} NAME_UPPER)
  velta_roff(NAME_ROFF "${name}" MINUS)
  velta_roff(TITLE_ROFF "${APP_TITLE}")
  velta_roff(SUMMARY_ROFF "${APP_SUMMARY}")
  velta_roff(PROGRAM_DIR_ROFF "${PROGRAM_DIR}" MINUS)
  velta_roff(SERVER_DIR_ROFF "${SERVER_DIR}" MINUS)
  string(REGEX REPLACE "^(\\$\\{HOME\\}|\\$HOME)/" "~/" LOG_FILE "${LOG_FILE}")
  velta_roff(LOG_FILE_ROFF "${LOG_FILE}" MINUS)
  velta_roff(DESCRIPTION_ROFF "${APP_DESCRIPTION}")
  string(REGEX REPLACE "\n[ \t]*\n" "\n.PP\n" DESCRIPTION_ROFF "${DESCRIPTION_ROFF}")
  set(HOMEPAGE_XML "")
  if(APP_HOMEPAGE)
    set(HOMEPAGE_XML "\n  <url type=\"homepage\">${APP_HOMEPAGE}</url>")
  endif()
  set(KEYWORDS_LINE "")
  if(APP_KEYWORDS)
    set(KEYWORDS_LINE "\nKeywords=${APP_KEYWORDS}")
  endif()
  # Links and files from the desktop: the host takes them after its switches
  # and hands them to the application's OpenUrl.
  set(mimetypes "")
  foreach(scheme IN LISTS APP_URL_SCHEMES)
    if(NOT scheme MATCHES "^[A-Za-z][A-Za-z0-9+.-]*$")
      message(FATAL_ERROR "velta_application: URL_SCHEMES '${scheme}' is no URL scheme")
    endif()
    string(TOLOWER ${scheme} scheme)
    string(APPEND mimetypes "x-scheme-handler/${scheme};")
  endforeach()
  set(mime_xml "")
  foreach(definition IN LISTS APP_MIME_GLOBS)
    if(NOT definition MATCHES "^([a-z0-9.+-]+/[A-Za-z0-9.+-]+)=(.+)$")
      message(FATAL_ERROR "velta_application: MIME_GLOBS '${definition}' is no type=*.ext")
    endif()
    string(APPEND mime_xml "  <mime-type type=\"${CMAKE_MATCH_1}\">\n    <comment>${TITLE_XML}</comment>\n    <glob pattern=\"${CMAKE_MATCH_2}\"/>\n  </mime-type>\n")
    list(APPEND APP_MIME_TYPES ${CMAKE_MATCH_1})
  endforeach()
  list(REMOVE_DUPLICATES APP_MIME_TYPES)
  foreach(type IN LISTS APP_MIME_TYPES)
    if(NOT type MATCHES "^[a-z0-9.+-]+/[A-Za-z0-9.+-]+$")
      message(FATAL_ERROR "velta_application: MIME_TYPES '${type}' is no MIME type")
    endif()
    string(APPEND mimetypes "${type};")
  endforeach()
  set(EXEC_ARGS "")
  set(MIMETYPE_LINE "")
  if(mimetypes)
    set(EXEC_ARGS " %U")
    set(MIMETYPE_LINE "\nMimeType=${mimetypes}")
  endif()
  if(mime_xml)
    file(WRITE ${out}/${APP_APPID}.mime.xml "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n${mime_xml}</mime-info>\n")
    install(FILES ${out}/${APP_APPID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
            RENAME ${APP_APPID}.xml COMPONENT ${component})
  endif()
  configure_file(${VELTA_PACKAGING_DIR}/templates/launcher.sh.in ${out}/${name} @ONLY)
  configure_file(${VELTA_PACKAGING_DIR}/templates/app.desktop.in ${out}/${APPID}.desktop @ONLY)
  configure_file(${VELTA_PACKAGING_DIR}/templates/app.metainfo.xml.in ${out}/${APPID}.metainfo.xml @ONLY)
  configure_file(${VELTA_PACKAGING_DIR}/templates/app.1.in ${out}/${name}.1 @ONLY)
  velta_gzip_file(${out}/${name}.1 ${out}/${name}.1.gz)
  install(PROGRAMS ${out}/${name} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  install(FILES ${out}/${APPID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${component})
  install(FILES ${out}/${APPID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ${component})
  install(FILES ${out}/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})

  # The icon in the hicolor theme.
  get_filename_component(icon ${APP_ICON} ABSOLUTE)
  if(icon MATCHES "\\.svg$")
    set(icondir ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    set(iconext svg)
  elseif(icon MATCHES "\\.png$")
    file(READ ${icon} width OFFSET 16 LIMIT 4 HEX)
    math(EXPR width "0x${width}")
    set(icondir ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${width}x${width}/apps)
    set(iconext png)
  else()
    message(FATAL_ERROR "velta_application(${name}): ICON must be .svg or .png")
  endif()
  install(FILES ${icon} DESTINATION ${icondir} RENAME ${APP_APPID}.${iconext} COMPONENT ${component})

  # Debian's documentation files.
  velta_debian_changelog(${name} ${APP_VERSION} "${APP_MAINTAINER}" ${out}/changelog.gz)
  install(FILES ${out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name} COMPONENT ${component})
  install(FILES ${APP_COPYRIGHT} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name} RENAME copyright
    COMPONENT ${component})

  # The Debian package.
  string(TOUPPER ${component} upper)
  set(VELTA_PACKAGE_COMPONENTS ${VELTA_PACKAGE_COMPONENTS} ${component} PARENT_SCOPE)
  set(CPACK_VELTA_${upper}_VERSION ${APP_VERSION} PARENT_SCOPE)
  set(CPACK_VELTA_${upper}_MAINTAINER "${APP_MAINTAINER}" PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_FILE_NAME DEB-DEFAULT PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${APP_SECTION} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_RECOMMENDS "${APP_RECOMMENDS}" PARENT_SCOPE)
  if(APP_DEPENDS)
    set(CPACK_DEBIAN_${upper}_PACKAGE_DEPENDS "${APP_DEPENDS}" PARENT_SCOPE)
  endif()
  if(APP_HOMEPAGE)
    set(CPACK_VELTA_${upper}_HOMEPAGE "${APP_HOMEPAGE}" PARENT_SCOPE)
  endif()
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${APP_SUMMARY}\n${APP_DESCRIPTION}" PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DISPLAY_NAME "${APP_TITLE}" PARENT_SCOPE)
endfunction()
