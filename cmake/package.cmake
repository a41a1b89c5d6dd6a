# The Debian package: the installation under /usr, built with CPack by scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VT_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ${VT_COMPANY})
set(CPACK_PACKAGE_CONTACT "${VT_COMPANY} <${VT_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "apply versioned SQL update scripts to databases")
set(CPACK_PACKAGE_DESCRIPTION
"Vantrel Utilities apply versioned update scripts (rSQL files) to SQLite
databases and PostgreSQL servers. Each database keeps its version in the table
R_VERSION; a script runs only on the version it was written for, and an
interrupted run resumes at the first command that did not complete.
.
This package holds the console runner vtconsole, the script converter
vtconvert, the plug-in vtutils.so with its C header, and the memory holder
library libvtmemhold.so.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VT_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
