# `make package`: a Debian package of the installed tree. Its dependencies come from the shared
# libraries the executables link (dpkg-shlibdeps), so apt pulls in Qt, FFmpeg, libcdio and libpulse.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessival)
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Kestrane <tessival@kestrane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch audio converter")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessival converts a list of audio sources, one after another, into WAVE files:
media files (MP3, WMA, WAV, AVI, MPEG, Video CD and DVD files), audio CD tracks and
audio capture devices, each to its own folder, name, type (WAV, MP3, WMA or any
installed audio compressor) and quality. tessival-cli does the same without a window.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kestrane.com/tessival/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Pages and the help open through the desktop's handler.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
