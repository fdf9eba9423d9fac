# SUITE_UDEV_RULES_DIR: where the udev rule for the readers is installed.
# udev reads rules only from its own folders, so this path is absolute and
# does not follow CMAKE_INSTALL_PREFIX: a rule under /usr/local is never
# applied. It is udev's own rules folder (pkg-config's udevdir), or
# /usr/lib/udev/rules.d where udev's pkg-config file is not installed.
if(NOT DEFINED SUITE_UDEV_RULES_DIR)
  set(_udevdir "")
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_get_variable(_udevdir udev udevdir)
  endif()
  if(NOT _udevdir)
    set(_udevdir /usr/lib/udev)
  endif()
  set(SUITE_UDEV_RULES_DIR "${_udevdir}/rules.d" CACHE PATH
      "Folder the udev rule is installed to (absolute; udev's own rules folder)")
endif()
