# Session support: the short date text, the safe replacement of the executable (GUI-free), and
# the termination signals delivered into the Qt loop.
target_sources(sarn_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ShortDate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileReplacement.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h)
