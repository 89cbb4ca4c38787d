# Settings for one CPack generator at a time: the installer's file name, and a 64-bit,
# Unicode installer (NSIS makes 32-bit ones unless told otherwise).
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}-setup)
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
endif()
