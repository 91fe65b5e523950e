# The Debian package, built by CPack from the install rules (scripts/package).
# Its library dependencies come from dpkg-shlibdeps; what the program needs
# but does not link is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kavirel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kavirel developers")
set(CPACK_PACKAGE_CONTACT "Kavirel maintainers <maintainers@users.noreply.c-seed-d5511282.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "acoustic analysis of recorded speech and music")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KAVIREL_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The window needs a Qt platform plugin; "Arial" falls back to its metric twin.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
if(KAVIREL_PYTHON)
    # The module is built for one Python; kavirel-corpus runs on Dask.
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${KAVIREL_PYTHON_DEPENDS}")
    string(APPEND CPACK_DEBIAN_PACKAGE_RECOMMENDS ", python3-dask, python3-distributed")
endif()
# The synopsis line comes from the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kavirel opens WAV, AIFF, AU and headerless raw PCM files, shows an overview
of the whole file and lets you select any range of it. For the range, or an
instant of it, it shows the waveform and the magnitude spectrum (six window
functions, averaging, cepstral smoothing, peak search, harmonic marks), with
cursors that read time, frequency, level and the musical note, and a data
log of measurements. Any range plays through the sound card.
.
kavirel-cli runs the same analyses, and the sonagram, on the command line;
the Python module kavirel gives them as NumPy arrays, and kavirel-corpus
measures whole corpora on a Dask cluster.")
include(CPack)
