# cmake -DKEY_FILE=<file> -DFLIP=<n> -DOUT=<file> -P rootkey_bytes.cmake:
# writes the initializer list the build makes of a root key file into OUT.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/RootKeys.cmake)
norbeck_rootkey_bytes("${KEY_FILE}" "${FLIP}" bytes)
file(WRITE "${OUT}" "${bytes}")
