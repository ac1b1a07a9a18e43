# Puts the default config.ini into a working directory that has none, so a
# user's language and port choice survive every rebuild.
if(NOT EXISTS "${TARGET}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
