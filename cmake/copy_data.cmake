# Lays out the runnable program folder: the shipped data files and the record folder.
file(MAKE_DIRECTORY "${DST}/演奏记录" "${DST}/音效")
if(EXISTS "${SRC}")
  file(COPY "${SRC}/" DESTINATION "${DST}")
endif()
