# `make package`: two Debian packages from one build. tessival-cli holds the headless converter and
# needs no display libraries; tessival holds the window and depends on it. Dependencies come from
# the shared libraries each executable links (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL window cli)
set(CPACK_PACKAGE_NAME tessival)
set(CPACK_PACKAGE_VENDOR Kestrane)
set(CPACK_PACKAGE_CONTACT "Kestrane <tessival@kestrane.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kestrane.com/tessival/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME tessival)
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "tessival-cli (= ${PROJECT_VERSION})")
# The help opens through the desktop's handler when there is one.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_COMPONENT_WINDOW_DESCRIPTION "batch audio converter
Tessival converts a list of audio sources, one after another: media files
(MP3, FLAC, M4A, AAC, Ogg, Opus, WMA, WAV, AIFF, WavPack, APE, Matroska,
AVI, MPEG, Video CD and DVD files), albums of cue sheets, audio CD tracks
and disc images, and audio capture devices. Each item has its own folder,
name, destination type and quality: WAVE files of any installed encoder,
or FLAC, Ogg Vorbis, Opus, M4A AAC and MP3 files with tags.

This package holds the window.")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME tessival-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_CLI_DESCRIPTION "batch audio converter for scripts and servers
tessival-cli converts the lists of the Tessival audio converter without a
window, with the same engine and texts: several workers in one process,
shards of a list over machines (GNU parallel, Slurm job arrays,
Kubernetes Indexed Jobs) and progress as JSON lines. It needs neither a
display nor Qt's GUI libraries.")
# CPack indents every line after the summary and turns empty lines into " .".
include(CPack)
