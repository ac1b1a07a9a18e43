# The Debian package: `cmake --build build --target package` writes
# build/package/velmora-tool_<version>_<arch>.deb from the install rules.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora drive tool maintainers <maintainers@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service and operating tool for the Velmora drive controller")
# The long description; CPack indents each line, kept under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Operates, configures and services the Velmora drive controller, an inverter"
  "for high-speed spindle motors, over one serial port: speed, start and stop,"
  "live values and faults, every parameter group, motor and remote-control"
  "files, memory slots, run-in programs and firmware updates."
  "."
  "Includes velmora-cli for scripts and production lines and velmora-sim, a"
  "simulated drive for demonstrations and tests.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps names the libraries' packages (Qt, libstdc++, ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# velmora-cli serve, line and runin --mqtt link libmosquitto (named by
# shlibdeps); the broker itself may run on another machine.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS mosquitto)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Control files with the permissions Debian's policy asks for.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
