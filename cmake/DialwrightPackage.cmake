# `make package`: a Debian package (dialwright_<version>_amd64.deb) of what the install
# rules install, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dialwright)
set(CPACK_PACKAGE_VENDOR "The Dialwright developers")
set(CPACK_PACKAGE_CONTACT "The Dialwright developers <dialwright@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "designer and code generator for telephone voice applications")
set(CPACK_PACKAGE_DESCRIPTION "Dialwright builds a call flow (interactive voice response) as a \
tree of call functions and writes the telephony pages that carry it out: Web Telephony Engine \
pages, a voice-mail page, CallXML and a spoken narration. It keeps the database of mailbox \
members the voice-mail page uses.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_STRIP_FILES ON)
# The libraries the program links (Qt among them) are found by dpkg-shlibdeps, with their
# versions; what is loaded at run time as a plugin or run as a program has to be named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-speech-flite-plugin, \
gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, espeak-ng")
include(CPack)
