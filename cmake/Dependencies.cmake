# System libraries, as imported targets.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets DBus)
find_package(JPEG REQUIRED)
find_package(CURL REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)
find_package(Qt6Keychain REQUIRED)

# The Firebird client library is loaded at run time (dlopen), so only its headers are needed here.
find_path(FIREBIRD_INCLUDE_DIR firebird/Interface.h REQUIRED)
add_library(Firebird::headers INTERFACE IMPORTED)
set_target_properties(Firebird::headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${FIREBIRD_INCLUDE_DIR})
target_link_libraries(Firebird::headers INTERFACE ${CMAKE_DL_LIBS})
# The embedded engine's character sets, which the engine loads from under its root directory; the
# program gives the engine a root of its own (data/fb_client.cpp) holding a copy of this module.
find_file(FIREBIRD_INTL_MODULE libfbintl.so
  PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/firebird/3.0/intl /usr/lib/firebird/3.0/intl /opt/firebird/intl
  NO_DEFAULT_PATH REQUIRED)

# The distribution's cpp-httplib is a compiled library: its header must be read with the same feature
# definitions the library was built with, which pkg-config supplies.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
add_library(httplib::httplib INTERFACE IMPORTED)
target_link_libraries(httplib::httplib INTERFACE PkgConfig::HTTPLIB Threads::Threads)
