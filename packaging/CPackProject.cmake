# Read by cpack before it packages (CPACK_PROJECT_CONFIG_FILE). CPack keeps the
# version, the maintainer and the home page for all the packages of one run;
# when one package is made at a time (cpack -D CPACK_COMPONENTS_ALL=COMPONENT,
# as packaging/make-packages.sh does), that package's own values apply.
list(LENGTH CPACK_COMPONENTS_ALL velta_count)
if(velta_count EQUAL 1)
  string(TOUPPER "${CPACK_COMPONENTS_ALL}" velta_component)
  if(DEFINED CPACK_VELTA_${velta_component}_VERSION)
    set(CPACK_PACKAGE_VERSION "${CPACK_VELTA_${velta_component}_VERSION}")
  endif()
  if(DEFINED CPACK_VELTA_${velta_component}_MAINTAINER)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_VELTA_${velta_component}_MAINTAINER}")
  endif()
  if(DEFINED CPACK_VELTA_${velta_component}_HOMEPAGE)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_VELTA_${velta_component}_HOMEPAGE}")
  endif()
else()
  foreach(velta_component IN LISTS CPACK_COMPONENTS_ALL)
    string(TOUPPER "${velta_component}" velta_upper)
    if(DEFINED CPACK_VELTA_${velta_upper}_VERSION
       AND NOT CPACK_VELTA_${velta_upper}_VERSION STREQUAL CPACK_PACKAGE_VERSION)
      message(WARNING "${velta_component} would get version ${CPACK_PACKAGE_VERSION}, not its "
        "own ${CPACK_VELTA_${velta_upper}_VERSION}: make one package at a time with "
        "packaging/make-packages.sh")
    endif()
  endforeach()
endif()
