# Writes the settings file a fresh installation starts with: Czech, and the first bundled track
# remembered, so that the first new race opens on it. A settings file already there is the
# player's own and is left as it is.
#   cmake -DSETTINGS_FILE=<program dir>/Trasovky.ini -P WriteDefaultSettings.cmake
if(NOT SETTINGS_FILE)
  message(FATAL_ERROR "SETTINGS_FILE is not set")
endif()
if(NOT EXISTS "${SETTINGS_FILE}" AND NOT IS_SYMLINK "${SETTINGS_FILE}")
  file(WRITE "${SETTINGS_FILE}" "[Settings]\r\nLANG=1\r\nTRT=%tracks/Rybnik.trt\r\n")
endif()
